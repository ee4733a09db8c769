// The simulated Archicad as the workbench page drives it. The main thread runs the host's event loop; the
// HTTP server's threads hand it work through the loop's queue and wait for the answers, never the other
// way round, so a modal dialog's nested loop keeps serving the pages while it runs.
#pragma once

#include "Archicad.hpp"
#include "RouteTable.hpp"
#include "ScriptSession.hpp"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Sim::Workbench {

// What an action throws to be answered with {"ok":false,"error":message}.
struct ActionError {
    std::string message;
};

class Workbench {
public:
    Workbench(Archicad& host, RouteTable routes);

    // Main thread: runs the event loop until Quit.
    void Run();
    // Any thread: ends Run at every nesting level; requests still waiting are answered with an error.
    void Quit();
    bool IsQuitting() const;

    // The HTTP threads' side. Each blocks its caller until the main thread answers; each answer is a JSON
    // object text, {"ok":true,...} or {"ok":false,"error":"..."}.

    // A user's action, which answers a JSON object text or throws ActionError. It is answered once the event
    // loop next goes idle after it started: with its answer when it has finished, or with
    // {"ok":true,"modal":true} when it opened a modal dialog that is running now.
    using Action = std::function<std::string()>;
    std::string RunUserAction(Action action);
    std::string Choose(int menu, int item);
    std::string ResizeWindow(int window, int width, int height);
    std::string CloseWindow(int window);
    // A velmar-sim command (docs/velmar-sim.md) as the user's action: what the page's plan view, info panel,
    // attribute panel and File and Edit menus do goes through the one protocol the scenario tests use.
    std::string Script(const std::string& command);
    // The user's click on the open process window's Cancel; answered at once, the work sees it when it next
    // asks the host.
    std::string CancelProcess();

    // The plan view's elements that changed (DescribeModel); answered as soon as the main thread is free.
    std::string Model(std::uint64_t identity, std::uint64_t since);

    // A page's call of a function of its window's registered objects; answered when the function returns.
    // `argumentJson` is the argument's JSON text; none for a call without one.
    std::string Call(int window, const std::string& function, const std::optional<std::string>& argumentJson);

    // {"version":N,"state":{...}} once the state's version is past `since`, or as it is after `wait`.
    std::string State(std::uint64_t since, std::chrono::milliseconds wait);

private:
    struct Request;

    std::shared_ptr<Request> NewRequest();
    // Answers the request unless it was answered already (by the main thread or by Quit).
    void Answer(const std::shared_ptr<Request>& request, const std::string& text);
    std::string Await(const std::shared_ptr<Request>& request);
    // Runs `work` on the main thread and answers what it answers.
    std::string OnMainThread(std::function<std::string()> work);
    // Shows a process window's progress while the work holds the event loop: every open, phase and close,
    // and the values between at a display's rate, never slowing the work but for a window's first moments.
    void OnProcessWindowChanged();
    bool OnIdle();
    void PublishState();

    Archicad& host_;
    const RouteTable routes_;

    mutable std::mutex mutex_;
    std::condition_variable stateChanged_;
    bool quitting_ = false;
    std::set<std::shared_ptr<Request>> waiting_;  // posted and not answered yet
    std::string state_;
    std::uint64_t stateVersion_ = 0;

    // Main thread only: user actions that have started and wait for the loop to go idle.
    std::vector<std::shared_ptr<Request>> startedActions_;
    // Main thread only: what the last published state showed of the process windows.
    struct ProgressShown {
        std::size_t window = 0;  // how many windows there had been when the shown one opened
        bool open = false;
        Int32 phase = 0;
        std::chrono::steady_clock::time_point opened;
        std::chrono::steady_clock::time_point published;
    };
    ProgressShown progressShown_;
    ScriptState script_;
};

}  // namespace Sim::Workbench
