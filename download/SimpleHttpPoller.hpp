// brixlab::SimpleHttpPoller: the one background thread of the add-on. It registers a relay channel, polls
// it, hands every payload to a handler and acknowledges it to the relay. It never touches host data.
#pragma once

#include "Guid.hpp"
#include "HTTPClient.hpp"
#include "UniString.hpp"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace brixlab {

class SimpleHttpPoller {
public:
    // Runs on the poller thread; true when the payload was accepted.
    using PayloadHandler = std::function<bool(const GS::UniString& payload)>;
    using ChannelSupplier = std::function<GS::Guid()>;

    static constexpr std::chrono::milliseconds Step{500};
    static constexpr const char* RejectedMessage = "Failed to download product";

    // `step` is the wait between polls; only tests choose another one.
    explicit SimpleHttpPoller(std::chrono::milliseconds step = Step);
    // Stops the loop, interrupting a request in flight, and joins the thread.
    ~SimpleHttpPoller();
    SimpleHttpPoller(const SimpleHttpPoller&) = delete;
    SimpleHttpPoller& operator=(const SimpleHttpPoller&) = delete;

    // The process-wide poller, made on first use and kept until the module is unloaded.
    static std::shared_ptr<SimpleHttpPoller> instance();

    bool HasThread() const { return thread_ != nullptr; }
    // Starts the poll loop against `baseUrl` (the relay's ".../Relay" address). Main thread, once.
    void Start(const GS::UniString& baseUrl, PayloadHandler payloadHandler, ChannelSupplier channelSupplier);

    // Waits one step; false when the poller is being stopped.
    bool WaitStep();
    // How many wait steps have ended so far, so a test can follow the loop's rhythm without a clock.
    std::uint64_t GetWaitSteps() const { return waitSteps_.load(); }

private:
    void PollLoop(GS::Guid channel, PayloadHandler handler);
    void RunLoop(const GS::Guid& channel, const PayloadHandler& handler);
    // The relay endpoint + "/" + channel + "/VelData".
    GS::UniString ChannelAddress(const GS::Guid& channel) const;
    bool RegisterChannel(const GS::Guid& channel);
    // Answers the status (0 when no answer came) and, when a message came, fills its key and text.
    Int32 PollPayload(const GS::Guid& channel, std::optional<GS::Guid>& dataKey, std::optional<GS::UniString>& payload);
    void AnswerPayload(const GS::Guid& channel, const GS::Guid& dataKey, bool accepted);
    bool StopRequested();
    // Reports a failure to reach the relay once, not every step, and reports when the relay is back, on the
    // host's debug output: the log belongs to the main thread.
    void NoteTransport(const std::string& error);

    std::shared_ptr<std::thread> thread_;
    GS::UniString baseUrl_;
    PayloadHandler payloadHandler_;
    ChannelSupplier channelSupplier_;
    std::condition_variable wakeUp_;
    bool stopRequested_ = false;
    // Raised with stopRequested_, so that a stalled request does not hold the unloading host.
    HTTP::Client::InterruptFlag interrupt_;
    std::chrono::milliseconds step_;
    std::atomic<std::uint64_t> waitSteps_{0};
    std::string lastTransportError_;
};

}  // namespace brixlab
