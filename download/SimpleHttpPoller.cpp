#include "SimpleHttpPoller.hpp"

#include "GSDebug.hpp"
#include "GSException.hpp"
#include "HttpExchange.hpp"
#include "RelayRecords.hpp"
#include "Utf8Text.hpp"

#include <mutex>

namespace brixlab {

namespace {

using Velmar::Services::Exchange;
using Velmar::Services::HttpAnswer;
using Method = HTTP::MessageHeader::Method;

// Held while the instance is made and during every wait step.
std::mutex PollerMutex;
std::shared_ptr<SimpleHttpPoller> pollerInstance;

constexpr Int32 UnknownChannel = 401;

}  // namespace

SimpleHttpPoller::SimpleHttpPoller(std::chrono::milliseconds step) : step_(step) {}

SimpleHttpPoller::~SimpleHttpPoller()
{
    {
        std::lock_guard<std::mutex> lock(PollerMutex);
        stopRequested_ = true;
    }
    interrupt_.Raise();
    wakeUp_.notify_all();
    // The poll loop holds no owner of the poller, so this never runs on its thread (where join would raise).
    if (thread_ != nullptr && thread_->joinable())
        thread_->join();
    thread_.reset();
}

std::shared_ptr<SimpleHttpPoller> SimpleHttpPoller::instance()
{
    if (auto existing = std::atomic_load(&pollerInstance))
        return existing;
    std::lock_guard<std::mutex> lock(PollerMutex);
    if (auto existing = std::atomic_load(&pollerInstance))
        return existing;
    auto created = std::make_shared<SimpleHttpPoller>();
    std::atomic_store(&pollerInstance, created);
    return created;
}

void SimpleHttpPoller::Start(const GS::UniString& baseUrl, PayloadHandler payloadHandler,
                             ChannelSupplier channelSupplier)
{
    if (thread_ != nullptr)
        return;
    baseUrl_ = baseUrl;
    payloadHandler_ = std::move(payloadHandler);
    channelSupplier_ = std::move(channelSupplier);
    const GS::Guid channel = channelSupplier_();
    thread_ = std::make_shared<std::thread>(&SimpleHttpPoller::PollLoop, this, channel, payloadHandler_);
}

bool SimpleHttpPoller::WaitStep()
{
    std::unique_lock<std::mutex> lock(PollerMutex);
    // A stop asked for while no one waited has no notification left to wake this wait.
    if (stopRequested_)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + step_;
    while (wakeUp_.wait_until(lock, deadline) == std::cv_status::timeout) {
        if (std::chrono::steady_clock::now() >= deadline) {
            ++waitSteps_;
            return true;
        }
    }
    ++waitSteps_;
    return !stopRequested_;
}

bool SimpleHttpPoller::StopRequested()
{
    std::lock_guard<std::mutex> lock(PollerMutex);
    return stopRequested_;
}

void SimpleHttpPoller::NoteTransport(const std::string& error)
{
    // A request the stop interrupted says nothing about the relay.
    if (error == lastTransportError_ || StopRequested())
        return;
    if (error.empty())
        DBPrintf("Velmar: Relay reachable again\n");
    else
        DBPrintf("Velmar: Relay not reachable: %s\n", error.c_str());
    lastTransportError_ = error;
}

void SimpleHttpPoller::PollLoop(GS::Guid channel, PayloadHandler handler)
{
    // Nothing may leave a thread's function: the process would end. What does ends the loop, reported.
    try {
        RunLoop(channel, handler);
    } catch (const GS::Exception& error) {
        DBPrintf("Velmar: the relay poller ended: %s\n", Velmar::Utf8Of(error.GetMessage()).c_str());
    } catch (const std::exception& error) {
        DBPrintf("Velmar: the relay poller ended: %s\n", error.what());
    }
}

void SimpleHttpPoller::RunLoop(const GS::Guid& channel, const PayloadHandler& handler)
{
    std::optional<GS::Guid> lastKey;
    for (;;) {
        do {
            if (!WaitStep())
                return;
        } while (!RegisterChannel(channel));
        for (;;) {
            if (StopRequested())
                return;
            std::optional<GS::Guid> dataKey;
            std::optional<GS::UniString> payload;
            const Int32 status = PollPayload(channel, dataKey, payload);
            // A key that is not a GUID reads as the null GUID, which no answer could reach.
            if (dataKey && *dataKey != GS::NULLGuid && payload) {
                AnswerPayload(channel, *dataKey, handler(*payload));
                // A relay that serves one message again right after its answer would otherwise be
                // asked, and the host handed the product, as fast as the network allows.
                const bool replayed = lastKey == dataKey;
                lastKey = dataKey;
                if (replayed && !WaitStep())
                    return;
                continue;
            }
            if (status == UnknownChannel) {
                WaitStep();
                break;
            }
            if (!WaitStep())
                return;
        }
    }
}

GS::UniString SimpleHttpPoller::ChannelAddress(const GS::Guid& channel) const
{
    return baseUrl_ + "/" + channel.ToUniString() + "/VelData";
}

bool SimpleHttpPoller::RegisterChannel(const GS::Guid& channel)
{
    const HttpAnswer answer = Exchange(Method::Post, IO::URI::URI(ChannelAddress(channel)), {}, &interrupt_);
    NoteTransport(answer.error);
    return answer.IsOk();
}

Int32 SimpleHttpPoller::PollPayload(const GS::Guid& channel, std::optional<GS::Guid>& dataKey,
                                    std::optional<GS::UniString>& payload)
{
    const HttpAnswer answer = Exchange(Method::Get, IO::URI::URI(ChannelAddress(channel)), {}, &interrupt_);
    NoteTransport(answer.error);
    if (!answer.IsOk())
        return answer.status;
    Velmar::Json::rj::Document document;
    if (!Velmar::Json::ParseDocument(answer.body.data(), answer.body.size(), document) || !document.IsObject())
        return answer.status;
    models::VelPayload message;
    message.ReadFrom(document);
    dataKey = message.dataKey.Optional();
    payload = message.payload.Optional();
    return answer.status;
}

void SimpleHttpPoller::AnswerPayload(const GS::Guid& channel, const GS::Guid& dataKey, bool accepted)
{
    models::VelPayloadResponse response;
    response.ok.Set(accepted);
    if (!accepted)
        response.message.Set(RejectedMessage);
    const GS::UniString address = ChannelAddress(channel) + "/" + dataKey.ToUniString();
    // The relay's answer carries nothing the add-on needs; a failure shows as the message coming again.
    const HttpAnswer answer = Exchange(Method::Post, IO::URI::URI(address),
                                       Velmar::Utf8Of(Velmar::Json::RecordToText(response, false)), &interrupt_);
    NoteTransport(answer.error);
}

}  // namespace brixlab
