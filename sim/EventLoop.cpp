#include "EventLoop.hpp"

namespace Sim {

void EventLoop::Post(Task task)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
}

bool EventLoop::HasPendingTasks() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return !tasks_.empty();
}

void EventLoop::Quit()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quitting_ = true;
    }
    posted_.notify_all();
}

bool EventLoop::IsQuitting() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return quitting_;
}

bool EventLoop::RunOne()
{
    Task task;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (tasks_.empty())
            return false;
        task = std::move(tasks_.front());
        tasks_.pop_front();
    }
    task();
    return true;
}

void EventLoop::Run(const std::function<bool()>& done)
{
    ++depth_;
    while (!IsQuitting() && !done()) {
        if (RunOne())
            continue;
        if (idle_ && idle_())
            continue;
        std::unique_lock<std::mutex> lock(mutex_);
        posted_.wait(lock, [this] { return quitting_ || !tasks_.empty(); });
    }
    --depth_;
}

void EventLoop::RunUntilIdle()
{
    while (!IsQuitting() && RunOne()) {
    }
}

bool EventLoop::RunFor(std::chrono::milliseconds limit, const std::function<bool()>& met)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (met())
            return true;
        if (IsQuitting())
            return false;
        if (RunOne())
            continue;
        std::unique_lock<std::mutex> lock(mutex_);
        if (!posted_.wait_until(lock, deadline, [this] { return quitting_ || !tasks_.empty(); }))
            return met();
    }
}

}  // namespace Sim
