#include "HTTPClient.hpp"

#include "HTTPHost.hpp"
#include "HostText.hpp"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <new>

namespace HTTP {

namespace {
std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trim(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// What the libcurl callbacks write into during one transfer.
struct Transfer {
    std::vector<char>* body = nullptr;
    MessageHeader::HeaderFieldCollection* headers = nullptr;
    std::size_t maxBodySize = 0;
    bool tooLarge = false;
    bool outOfMemory = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t length = size * count;
    if (transfer.body->size() + length > transfer.maxBodySize) {
        transfer.tooLarge = true;
        return 0;  // makes libcurl end the transfer with CURLE_WRITE_ERROR
    }
    try {
        transfer.body->insert(transfer.body->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        transfer.outOfMemory = true;
        return 0;
    }
    return length;
}

size_t WriteHeader(char* data, size_t size, size_t count, void* user)
{
    auto& transfer = *static_cast<Transfer*>(user);
    const std::string line(data, size * count);
    // A new status line (after an interim 1xx) starts the header fields over.
    if (line.rfind("HTTP/", 0) == 0) {
        *transfer.headers = {};
        return line.size();
    }
    const auto colon = line.find(':');
    if (colon != std::string::npos)
        transfer.headers->Add(HostText::Uni(Trim(line.substr(0, colon))), HostText::Uni(Trim(line.substr(colon + 1))));
    return line.size();
}
}  // namespace

namespace MessageHeader {

void HeaderFieldCollection::Add(const GS::UniString& name, const GS::UniString& value)
{
    fields_.emplace_back(HostText::Utf8(name), HostText::Utf8(value));
}

void HeaderFieldCollection::Set(const GS::UniString& name, const GS::UniString& value)
{
    const std::string key = Lower(HostText::Utf8(name));
    fields_.erase(
        std::remove_if(fields_.begin(), fields_.end(), [&key](const auto& field) { return Lower(field.first) == key; }),
        fields_.end());
    Add(name, value);
}

bool HeaderFieldCollection::Get(const GS::UniString& name, GS::UniString& value) const
{
    const std::string key = Lower(HostText::Utf8(name));
    for (const auto& field : fields_) {
        if (Lower(field.first) == key) {
            value = HostText::Uni(field.second);
            return true;
        }
    }
    return false;
}

bool HeaderFieldCollection::Contains(const GS::UniString& name) const
{
    return GetCount(name) > 0;
}

std::size_t HeaderFieldCollection::GetCount(const GS::UniString& name) const
{
    const std::string key = Lower(HostText::Utf8(name));
    return static_cast<std::size_t>(
        std::count_if(fields_.begin(), fields_.end(), [&key](const auto& field) { return Lower(field.first) == key; }));
}

}  // namespace MessageHeader

namespace Client {

ClientConnection::ClientConnection(const IO::URI::URI& uri) : uri_(uri) {}

ClientConnection::~ClientConnection()
{
    Close();
}

GSErrCode ClientConnection::Fail(GSErrCode code, std::string message)
{
    lastError_ = std::move(message);
    return code;
}

GSErrCode ClientConnection::Route(const IO::URI::URI& uri)
{
    effectiveUrl_ = ApplyRoute(uri.ToUtf8());
    const IO::URI::URI target{HostText::Uni(effectiveUrl_)};
    if (!target.IsValid())
        return Fail(ErrParam, "not a valid address: " + effectiveUrl_);
    const bool loopback = IsLoopbackHost(target.GetHost());
    if (target.GetScheme() != "https" && !(target.GetScheme() == "http" && loopback))
        return Fail(ErrNotAllowed, "only https is allowed (http only to loopback): " + effectiveUrl_);
    return NoError;
}

GSErrCode ClientConnection::Connect()
{
    lastError_.clear();
    if (state_ != State::Closed)
        return Fail(ErrState, "the connection is already open");
    if (!IsHostLibraryInitialized())
        return Fail(ErrNotAllowed, "the HTTP library was not initialised by the host");
    if (!uri_.IsValid())
        return Fail(ErrParam, "not a valid address: " + uri_.ToUtf8());
    const GSErrCode allowed = Route(uri_);
    if (allowed != NoError)
        return allowed;
    CURL* curl = curl_easy_init();
    if (curl == nullptr)
        return Fail(ErrMemoryFull, "could not create a transfer");
    curl_ = curl;
    state_ = State::Connected;
    return NoError;
}

GSErrCode ClientConnection::Send(const MessageHeader::Request& request, const char* body, std::size_t bodySize)
{
    lastError_.clear();
    if (state_ != State::Connected)
        return Fail(ErrState, "Send needs a connection just connected");
    const IO::URI::URI& uri = request.GetURI();
    if (!uri.IsValid() || uri.GetScheme() != uri_.GetScheme() || uri.GetHost() != uri_.GetHost() ||
        uri.GetPort() != uri_.GetPort())
        return Fail(ErrParam, "the request's address is not on this connection: " + uri.ToUtf8());
    if (body == nullptr && bodySize > 0)
        return Fail(ErrParam, "a body size without a body");
    // The request's own path and query, sent to the connection's (routed) origin.
    // The table may have changed since Connect, so the request's own address is checked again.
    const GSErrCode allowed = Route(uri);
    if (allowed != NoError)
        return allowed;
    post_ = request.GetMethod() == MessageHeader::Method::Post;
    headers_ = request.GetRequestHeaderFieldCollection().GetFields();
    body_.assign(body == nullptr ? "" : body, bodySize);
    state_ = State::Sent;
    return NoError;
}

GSErrCode ClientConnection::BeginReceive(MessageHeader::IncomingResponse& response)
{
    lastError_.clear();
    if (state_ != State::Sent)
        return Fail(ErrState, "BeginReceive needs a request sent");
    CURL* curl = static_cast<CURL*>(curl_);
    response = {};
    Transfer transfer;
    transfer.body = &response.body_;
    transfer.headers = &response.headers_;
    transfer.maxBodySize = limits_.maxBodySize;

    curl_slist* headerList = nullptr;
    bool listFailed = false;
    const auto append = [&headerList, &listFailed](const std::string& line) {
        curl_slist* next = curl_slist_append(headerList, line.c_str());
        if (next == nullptr)
            listFailed = true;
        else
            headerList = next;
    };
    for (const auto& field : headers_)
        append(field.first + ": " + field.second);
    // libcurl would otherwise add these of its own; the request carries only what the caller set.
    append("Accept:");
    append("Expect:");
    bool hasType = false;
    for (const auto& field : headers_)
        hasType = hasType || Lower(field.first) == "content-type";
    if (post_ && !hasType)
        append("Content-Type:");
    if (listFailed) {
        curl_slist_free_all(headerList);
        return Fail(ErrMemoryFull, "could not build the header list");
    }

    const IO::URI::URI target{HostText::Uni(effectiveUrl_)};
    curl_easy_setopt(curl, CURLOPT_URL, effectiveUrl_.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    // Signals would reach whichever thread libcurl happens to run on (a module's background poller).
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.totalTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits_.lowSpeedBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits_.lowSpeedTime.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxBodySize));
    // A proxy from the environment must not carry loopback traffic elsewhere.
    if (IsLoopbackHost(target.GetHost()))
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, WriteHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    if (post_) {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body_.data());
    } else {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    }
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);

    bool interrupted = false;
    const auto result = static_cast<CURLcode>(Perform(interrupted));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_slist_free_all(headerList);
    state_ = State::Received;

    if (interrupted) {
        response = {};
        return Fail(ErrInterrupted, "the request to " + effectiveUrl_ + " was interrupted");
    }
    const std::string detail = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(result);
    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        response = {};
        return Fail(ErrBodyTooLarge, "the response body exceeds " + std::to_string(limits_.maxBodySize) + " bytes");
    }
    if (transfer.outOfMemory) {
        response = {};
        return Fail(ErrMemoryFull, "out of memory reading the response body");
    }
    if (result == CURLE_OPERATION_TIMEDOUT)
        return Fail(ErrTimeout, "timed out: " + detail);
    if (result != CURLE_OK)
        return Fail(ErrIO, "request to " + effectiveUrl_ + " failed: " + detail);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    response.statusCode_ = static_cast<Int32>(status);
    return NoError;
}

int ClientConnection::Perform(bool& interrupted)
{
    // The multi interface, not curl_easy_perform: its wait can be woken from another thread.
    CURL* curl = static_cast<CURL*>(curl_);
    CURLM* multi = curl_multi_init();
    if (multi == nullptr)
        return CURLE_OUT_OF_MEMORY;
    CURLMcode state = curl_multi_add_handle(multi, curl);
    interrupted = state == CURLM_OK && interruptFlag_ != nullptr && !interruptFlag_->Watch(multi);
    int running = 1;
    while (state == CURLM_OK && !interrupted) {
        state = curl_multi_perform(multi, &running);
        if (state != CURLM_OK || running == 0)
            break;
        // Returns on traffic, on libcurl's own time-outs, or when the flag wakes it.
        state = curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
        interrupted = interruptFlag_ != nullptr && interruptFlag_->IsRaised();
    }
    if (interruptFlag_ != nullptr)
        interruptFlag_->Unwatch(multi);
    CURLcode result = state == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_FAILED_INIT;
    int left = 0;
    for (CURLMsg* message; (message = curl_multi_info_read(multi, &left)) != nullptr;) {
        if (message->msg == CURLMSG_DONE)
            result = message->data.result;
    }
    curl_multi_remove_handle(multi, curl);
    curl_multi_cleanup(multi);
    return result;
}

void InterruptFlag::Raise()
{
    std::lock_guard<std::mutex> lock(mutex_);
    raised_ = true;
    for (void* multi : transfers_)
        curl_multi_wakeup(static_cast<CURLM*>(multi));
}

bool InterruptFlag::IsRaised() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return raised_;
}

bool InterruptFlag::Watch(void* multi)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (raised_)
        return false;
    transfers_.push_back(multi);
    return true;
}

void InterruptFlag::Unwatch(void* multi)
{
    std::lock_guard<std::mutex> lock(mutex_);
    transfers_.erase(std::remove(transfers_.begin(), transfers_.end(), multi), transfers_.end());
}

GSErrCode ClientConnection::FinishReceive()
{
    lastError_.clear();
    if (state_ != State::Received)
        return Fail(ErrState, "FinishReceive needs a response received");
    return NoError;
}

void ClientConnection::Close()
{
    if (curl_ != nullptr)
        curl_easy_cleanup(static_cast<CURL*>(curl_));
    curl_ = nullptr;
    state_ = State::Closed;
}

}  // namespace Client
}  // namespace HTTP
