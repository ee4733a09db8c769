// Quitting the host while the relay poller's request hangs: how long destroying the poller takes when the
// relay holds its poll unanswered, against destroying one that is idle in its wait step. Goal: under 0.2 s.
#include "HTTPHost.hpp"
#include "HostGuid.hpp"
#include "RatioReporter.hpp"
#include "SimpleHttpPoller.hpp"

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using brixlab::SimpleHttpPoller;

constexpr int Quits = 20;

// A relay that registers every channel and holds every poll until it is let go.
class StalledRelay {
public:
    StalledRelay()
    {
        server_.Post(".*", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("{}", "application/json");
        });
        server_.Get(".*", [this](const httplib::Request&, httplib::Response& response) {
            std::unique_lock<std::mutex> lock(mutex_);
            const std::uint64_t round = round_;
            ++held_;
            changed_.notify_all();
            changed_.wait(lock, [this, round] { return round_ != round; });
            response.set_content("{}", "application/json");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~StalledRelay()
    {
        LetGo();
        server_.stop();
        thread_.join();
    }

    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // Waits until a poll is held; false when none came within 5 s.
    bool WaitForHeldPoll()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5), [this] { return held_ > 0; });
    }

    void LetGo()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++round_;
        held_ = 0;
        changed_.notify_all();
    }

private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t round_ = 0;
    int held_ = 0;
};

StalledRelay* relay = nullptr;

std::unique_ptr<SimpleHttpPoller> StartPoller(std::chrono::milliseconds step)
{
    auto poller = std::make_unique<SimpleHttpPoller>(step);
    poller->Start(
        "https://relay.velmar.example/Relay", [](const GS::UniString&) { return true; },
        [] { return HostGuid::New(); });
    return poller;
}

double TimeDestruction(std::unique_ptr<SimpleHttpPoller>& poller)
{
    const auto start = Clock::now();
    poller.reset();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The poller waits its first step before it registers, so right after its start it is idle in that wait.
void QuitWithIdlePoller(benchmark::State& state)
{
    for (auto _ : state) {
        auto poller = StartPoller(SimpleHttpPoller::Step);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        state.SetIterationTime(TimeDestruction(poller));
    }
}

void QuitDuringStalledPoll(benchmark::State& state)
{
    for (auto _ : state) {
        auto poller = StartPoller(std::chrono::milliseconds(1));
        if (!relay->WaitForHeldPoll()) {
            state.SkipWithError("no poll reached the relay");
            break;
        }
        state.SetIterationTime(TimeDestruction(poller));
        relay->LetGo();
    }
}

BENCHMARK(QuitWithIdlePoller)->Iterations(Quits)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(QuitDuringStalledPoll)->Iterations(Quits)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (HTTP::InitializeHostLibrary() != NoError) {
        std::fprintf(stderr, "bench_relay: the HTTP library did not initialise\n");
        return 1;
    }
    StalledRelay stalled;
    if (HTTP::SetRoute("relay.velmar.example", stalled.Base()) != NoError) {
        std::fprintf(stderr, "bench_relay: no route to %s\n", stalled.Base().c_str());
        return 1;
    }
    relay = &stalled;
    Velmar::Bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    relay = nullptr;
    const std::string stalledName = "QuitDuringStalledPoll";
    const bool complete = reporter.PrintRatios(
        {{stalledName, "QuitWithIdlePoller", "quit during a stalled poll / quit with an idle poller"}});
    if (const auto milliseconds = reporter.Time(stalledName))
        std::printf("quit during a stalled poll: %.2f ms (goal: under 200 ms)\n", *milliseconds);
    return complete ? 0 : 1;
}
