// The host's main-thread event loop: a task queue that any thread may post to, run by the main thread,
// nested while a modal dialog runs. When the queue is empty the loop calls its idle handler (the
// script driver or the user), so input is taken at whatever nesting level is current.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace Sim {

class EventLoop {
public:
    using Task = std::function<void()>;
    // Answers false when there is nothing more to do at the moment (no input).
    using IdleHandler = std::function<bool()>;

    // Thread-safe; the task runs later on the main thread.
    void Post(Task task);

    // Runs tasks until `done` answers true. Between tasks, when the queue is empty, the idle handler runs;
    // if it has nothing to do either, the loop waits for a posted task.
    void Run(const std::function<bool()>& done);
    // Runs queued tasks (including ones they post) until the queue is empty; no idle handler.
    void RunUntilIdle();
    // Runs tasks until `met` answers true or the time is up; answers whether it was met.
    bool RunFor(std::chrono::milliseconds limit, const std::function<bool()>& met);

    void SetIdleHandler(IdleHandler handler) { idle_ = std::move(handler); }
    bool HasPendingTasks() const;
    int Depth() const { return depth_; }

    // Ends every level of the loop (the host is quitting).
    void Quit();
    bool IsQuitting() const;

private:
    bool RunOne();

    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<Task> tasks_;
    IdleHandler idle_;
    int depth_ = 0;
    bool quitting_ = false;
};

}  // namespace Sim
