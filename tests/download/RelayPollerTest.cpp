// The relay poller against a scripted relay on loopback: the order of its requests, the wait steps
// between them (counted, not timed), its answers, and how it ends.
#include "Archicad.hpp"
#include "HTTPHost.hpp"
#include "HostText.hpp"
#include "RecordingServer.hpp"
#include "SimpleHttpPoller.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>

namespace {

using brixlab::SimpleHttpPoller;
using Velmar::Testing::RecordedRequest;
using Velmar::Testing::RecordingServer;

const GS::Guid Channel = [] {
    GS::Guid guid;
    guid.ConvertFromString("0A1B2C3D-0000-4000-8000-00000000C0DE");
    return guid;
}();
const std::string ChannelPath = "/Relay/0A1B2C3D-0000-4000-8000-00000000C0DE/VelData";
const std::string Key = "5E574197-D720-922F-D4F6-67DEAAE0A8DB";

struct Reply {
    int status;
    std::string body;
};

// One line per request: "POST /register", "GET", "POST key {...}", with the wait steps done before it.
std::string Describe(const RecordedRequest& request)
{
    std::string line = request.method;
    if (request.method == "POST" && request.target == ChannelPath)
        line += " register";
    else if (request.method == "POST")
        line += " " + request.target.substr(ChannelPath.size() + 1) + " " + request.body;
    else if (request.target != ChannelPath)
        line += " " + request.target;
    return line + " @" + std::to_string(request.mark);
}

class RelayPoller : public ::testing::Test {
protected:
    // Polls answer `polls` in turn, then {} (no message); registrations answer `registrations`, then 200.
    void StartRelay(std::deque<Reply> polls, std::deque<Reply> registrations = {}, int port = 0)
    {
        polls_ = std::move(polls);
        registrations_ = std::move(registrations);
        relay_ = std::make_unique<RecordingServer>(
            [this](const httplib::Request& request, httplib::Response& response) {
                std::unique_lock<std::mutex> lock(mutex_);
                if (request.method == "GET")  // a stalled relay holds its polls until the test lets go
                    released_.wait(lock, [this] { return !stallPolls_; });
                std::deque<Reply>* script = nullptr;
                if (request.method == "GET")
                    script = &polls_;
                else if (request.path == ChannelPath)
                    script = &registrations_;
                Reply reply{200, "{}"};
                if (script != nullptr && !script->empty()) {
                    reply = script->front();
                    script->pop_front();
                }
                response.status = reply.status;
                if (reply.status == 302)
                    response.set_header("Location", "file:///etc/passwd");
                response.set_content(reply.body, "application/json");
            },
            [this] { return poller_ ? poller_->GetWaitSteps() : 0; }, port);
        ASSERT_GT(relay_->Port(), 0);
        ASSERT_EQ(HTTP::SetRoute("relay.velmar.example", relay_->Base()), NoError);
    }

    void StartPoller(std::chrono::milliseconds step = std::chrono::milliseconds(20))
    {
        poller_ = std::make_unique<SimpleHttpPoller>(step);
        poller_->Start(
            "https://relay.velmar.example/Relay",
            [this](const GS::UniString& payload) {
                std::lock_guard<std::mutex> lock(mutex_);
                handled_.push_back(HostText::Utf8(payload));
                return HostText::Utf8(payload) != "reject me";
            },
            [] { return Channel; });
    }

    std::vector<std::string> Lines(std::size_t count)
    {
        std::vector<std::string> lines;
        for (const auto& request : relay_->WaitFor(count))
            lines.push_back(Describe(request));
        lines.resize(count);
        return lines;
    }

    std::vector<std::string> Handled()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return handled_;
    }

    void ReleasePolls()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stallPolls_ = false;
        }
        released_.notify_all();
    }

    ~RelayPoller() override
    {
        poller_.reset();  // stopped before the relay it talks to
        ReleasePolls();
        relay_.reset();
        HTTP::ClearRoutes();
    }

    static std::string Message(const std::string& key, const std::string& payload)
    {
        return R"({"dataKey":")" + key + R"(","payload":")" + payload + R"("})";
    }

    Velmar::Testing::TempFolder folder_;
    Sim::Archicad host_{folder_ / "data"};
    std::mutex mutex_;
    std::condition_variable released_;
    bool stallPolls_ = false;
    std::deque<Reply> polls_, registrations_;
    std::vector<std::string> handled_;
    std::unique_ptr<RecordingServer> relay_;
    std::unique_ptr<SimpleHttpPoller> poller_;
};

TEST_F(RelayPoller, FollowsTheRelaysAnswersStepByStep)
{
    const std::string accepted = R"({"ok":true})";
    const std::string rejected = R"({"ok":false,"message":"Failed to download product"})";
    struct Case {
        const char* what;
        std::deque<Reply> polls;
        std::vector<std::string> lines;
        std::vector<std::string> handled = {};
        std::deque<Reply> registrations = {};
    } cases[] = {
        {"an empty poll waits a step", {}, {"POST register @1", "GET @1", "GET @2", "GET @3"}},
        {"registration is retried every step until it answers 200",
         {},
         {"POST register @1", "POST register @2", "POST register @3", "GET @3"},
         {},
         {{500, "{}"}, {404, "{}"}}},
        {"an accepted message is answered ok and the next poll follows at once",
         {{200, Message(Key, "VELMAR-MS75-1x12.5")}},
         {"POST register @1", "GET @1", "POST " + Key + " " + accepted, "GET @1", "GET @2"},
         {"VELMAR-MS75-1x12.5"}},
        {"a rejected message is answered with the failure",
         {{200, Message(Key, "reject me")}},
         {"POST register @1", "GET @1", "POST " + Key + " " + rejected, "GET @1"},
         {"reject me"}},
        {"401 waits twice, then registers again",
         {{401, R"({"error":"Unknown channel"})"}},
         {"POST register @1", "GET @1", "POST register @3", "GET @3"}},
        {"garbage, an array, a redirect to file: and a 500 are empty polls",
         {{200, "<html>"}, {200, "[1]"}, {302, ""}, {500, "{}"}},
         {"POST register @1", "GET @1", "GET @2", "GET @3", "GET @4", "GET @5"}},
        {"a message whose key is no GUID is neither handed over nor answered",
         {{200, Message("not-a-guid", "VELMAR-MS75-1x12.5")}, {200, R"({"payload":"no key"})"}},
         {"POST register @1", "GET @1", "GET @2", "GET @3"}},
        {"a replayed message is handed over and answered each time, a step apart",
         {{200, Message(Key, "P")}, {200, Message(Key, "P")}},
         {"POST register @1", "GET @1", "POST " + Key + " " + accepted, "GET @1", "POST " + Key + " " + accepted,
          "GET @2"},
         {"P", "P"}},
    };
    for (auto& c : cases) {
        StartRelay(c.polls, c.registrations);
        StartPoller();
        std::vector<std::string> lines = Lines(c.lines.size());
        for (auto& line : lines) {  // answers carry no wait-step mark that matters
            if (line.rfind("POST " + Key, 0) == 0)
                line = line.substr(0, line.rfind(" @"));
        }
        EXPECT_EQ(lines, c.lines) << c.what;
        EXPECT_EQ(Handled(), c.handled) << c.what;
        poller_.reset();
        relay_.reset();
        handled_.clear();
    }
}

TEST_F(RelayPoller, KeepsRegisteringWhileTheRelayIsDownAndCarriesOnWhenItIsBack)
{
    int port = 0;
    {
        RecordingServer probe([](const httplib::Request&, httplib::Response&) {});
        port = probe.Port();
    }
    ASSERT_EQ(HTTP::SetRoute("relay.velmar.example", "http://127.0.0.1:" + std::to_string(port)), NoError);
    StartPoller();
    while (poller_->GetWaitSteps() < 4)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    StartRelay({{200, Message(Key, "after the outage")}}, {}, port);
    const auto lines = Lines(2);
    EXPECT_EQ(lines[0].substr(0, 13), "POST register");
    relay_->WaitFor(3);
    EXPECT_EQ(Handled(), std::vector<std::string>{"after the outage"});
    // On the debug output, one line per change; the log is the main thread's. A loaded machine may turn a
    // refused connection into a timeout, which is a change of its own.
    std::vector<std::string> debug;
    for (const auto& line : host_.DebugLines())
        debug.push_back(line.substr(0, line.find_first_of(":\n", std::string("Velmar: ").size())));
    debug.erase(std::unique(debug.begin(), debug.end()), debug.end());
    EXPECT_EQ(debug, (std::vector<std::string>{"Velmar: Relay not reachable", "Velmar: Relay reachable again"}));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "data/user/velmar/archicad/log.txt"));
}

// The one timed check: a lower bound, which a busy machine cannot break.
TEST_F(RelayPoller, AnEmptyPollIsFollowedByTheNextHalfASecondLater)
{
    StartRelay({});
    const auto start = std::chrono::steady_clock::now();
    StartPoller(SimpleHttpPoller::Step);
    // A poller that stopped would reach the bound by the wait's own time-out: the polls must have come.
    ASSERT_GE(relay_->WaitFor(3, std::chrono::seconds(30)).size(), 3u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000))
        << "a step before registering and one after the first empty poll";
}

// Destroyed while it waits, or while the relay holds a poll unanswered, the thread ends then: before the
// wait step or the host library's own time-outs would end what it is doing (bench_relay measures how soon).
TEST_F(RelayPoller, StopsAtOnceWhenDestroyedWhileWaitingOrWhileAPollIsStalled)
{
    const struct {
        const char* what;
        std::chrono::milliseconds step;
        bool stalled;
        std::size_t requests;
        std::chrono::milliseconds naturalEnd;
    } cases[] = {
        {"waiting", std::chrono::minutes(10), false, 0, std::chrono::minutes(10)},
        {"stalled poll", std::chrono::milliseconds(20), true, 2, HTTP::Client::ConnectionLimits{}.lowSpeedTime},
    };
    for (const auto& c : cases) {
        stallPolls_ = c.stalled;
        StartRelay({});
        StartPoller(c.step);
        relay_->WaitFor(c.requests);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // into its wait, or its poll in flight
        const auto start = std::chrono::steady_clock::now();
        poller_.reset();
        EXPECT_LT(std::chrono::steady_clock::now() - start, c.naturalEnd / 2) << c.what;
        EXPECT_EQ(relay_->Requests().size(), c.requests) << c.what;
        ReleasePolls();
        relay_.reset();
    }
}

}  // namespace
