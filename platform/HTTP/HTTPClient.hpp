// The host's HTTP client: a request (method, URI, header fields, body), a connection that carries
// one request to its response, and the response (status, header fields, body bytes), over libcurl.
// Errors are returned as GSErrCode (NoError on success) with a message from GetLastErrorMessage();
// nothing here throws into the caller, so a module's background thread cannot be ended by one.
#pragma once

#include "Definitions.hpp"
#include "URI.hpp"

#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace HTTP {

// Error codes beyond GSRoot's ErrParam/ErrIO/ErrMemoryFull.
constexpr GSErrCode ErrNotAllowed = -4001;    // scheme/host refused (plain http off loopback), or not initialised
constexpr GSErrCode ErrTimeout = -4002;       // connect, low-speed or total time-out
constexpr GSErrCode ErrBodyTooLarge = -4003;  // response body over the connection's limit
constexpr GSErrCode ErrState = -4004;         // an operation out of order (e.g. Send before Connect)
constexpr GSErrCode ErrInterrupted = -4005;   // the connection's interrupt flag was raised

namespace Client {
class ClientConnection;
}

namespace MessageHeader {

namespace HeaderFieldName {
constexpr const char* UserAgent = "User-Agent";
constexpr const char* ContentType = "Content-Type";
constexpr const char* Location = "Location";
}  // namespace HeaderFieldName

// Header fields in the order added; names compare case-insensitively.
class HeaderFieldCollection {
public:
    void Add(const GS::UniString& name, const GS::UniString& value);
    // Replaces every field of that name with the one given.
    void Set(const GS::UniString& name, const GS::UniString& value);
    bool Get(const GS::UniString& name, GS::UniString& value) const;
    bool Contains(const GS::UniString& name) const;
    std::size_t GetCount(const GS::UniString& name) const;
    std::size_t GetSize() const { return fields_.size(); }
    const std::vector<std::pair<std::string, std::string>>& GetFields() const { return fields_; }

private:
    std::vector<std::pair<std::string, std::string>> fields_;  // UTF-8 name, value
};

enum class Method { Get, Post };

class Request {
public:
    Request(Method method, const IO::URI::URI& uri) : method_(method), uri_(uri) {}

    Method GetMethod() const { return method_; }
    const IO::URI::URI& GetURI() const { return uri_; }
    HeaderFieldCollection& GetRequestHeaderFieldCollection() { return headers_; }
    const HeaderFieldCollection& GetRequestHeaderFieldCollection() const { return headers_; }

private:
    Method method_;
    IO::URI::URI uri_;
    HeaderFieldCollection headers_;
};

class IncomingResponse {
public:
    Int32 GetStatusCode() const { return statusCode_; }
    const HeaderFieldCollection& GetResponseHeaderFieldCollection() const { return headers_; }
    const std::vector<char>& GetBody() const { return body_; }
    std::string GetBodyAsUtf8() const { return std::string(body_.begin(), body_.end()); }

private:
    friend class HTTP::Client::ClientConnection;
    Int32 statusCode_ = 0;
    HeaderFieldCollection headers_;
    std::vector<char> body_;
};

}  // namespace MessageHeader

namespace Client {

// The host library's defaults, chosen so that a request made on the host's main thread cannot
// freeze it for long; a connection may change them (the tests shorten them).
struct ConnectionLimits {
    std::chrono::milliseconds connectTimeout{5000};
    std::chrono::milliseconds totalTimeout{30000};
    // A transfer slower than lowSpeedBytesPerSecond for lowSpeedTime is ended as a time-out.
    std::chrono::seconds lowSpeedTime{15};
    long lowSpeedBytesPerSecond = 1;
    std::size_t maxBodySize = 64u * 1024u * 1024u;
};

// Lets one thread end the transfers another thread carries out. Once raised (from any thread; it stays
// raised), a BeginReceive in progress on a connection watching it returns ErrInterrupted at once, and one
// begun later sends nothing. It must outlive the connections that watch it.
class InterruptFlag {
public:
    InterruptFlag() = default;
    InterruptFlag(const InterruptFlag&) = delete;
    InterruptFlag& operator=(const InterruptFlag&) = delete;

    void Raise();
    bool IsRaised() const;

private:
    friend class ClientConnection;
    // A transfer in progress registers its libcurl multi handle to be woken; false when already raised.
    bool Watch(void* multi);
    void Unwatch(void* multi);

    mutable std::mutex mutex_;
    bool raised_ = false;
    std::vector<void*> transfers_;
};

// One request per connection: Connect, Send, BeginReceive (performs the exchange and fills the
// response), FinishReceive, Close. Only https is allowed, plus http to loopback hosts; redirects are
// reported, not followed; TLS peers and host names are verified. Usable from any thread, one thread
// at a time; HTTP::InitializeHostLibrary must have been called first.
class ClientConnection {
public:
    explicit ClientConnection(const IO::URI::URI& uri);
    ~ClientConnection();
    ClientConnection(const ClientConnection&) = delete;
    ClientConnection& operator=(const ClientConnection&) = delete;

    void SetLimits(const ConnectionLimits& limits) { limits_ = limits; }
    const ConnectionLimits& GetLimits() const { return limits_; }
    // The flag that ends this connection's transfer when raised; none by default.
    void SetInterruptFlag(InterruptFlag* flag) { interruptFlag_ = flag; }

    // Checks the address (after the host's routing) and prepares the transfer; nothing goes out yet.
    GSErrCode Connect();
    // Takes the request; its URI must have the connection's scheme, host and port.
    GSErrCode Send(const MessageHeader::Request& request, const char* body = nullptr, std::size_t bodySize = 0);
    // Carries the request out and fills response with status, header fields and the whole body.
    GSErrCode BeginReceive(MessageHeader::IncomingResponse& response);
    GSErrCode FinishReceive();
    void Close();

    // The message for the last error returned, empty after success.
    const std::string& GetLastErrorMessage() const { return lastError_; }
    // The address the request went (or will go) to after routing.
    const std::string& GetEffectiveURL() const { return effectiveUrl_; }

private:
    enum class State { Closed, Connected, Sent, Received };
    GSErrCode Fail(GSErrCode code, std::string message);
    // Applies the host's routing to uri into effectiveUrl_ and refuses what may not be reached.
    GSErrCode Route(const IO::URI::URI& uri);
    // Carries the prepared transfer out, woken as soon as the interrupt flag is raised (then `interrupted`);
    // answers libcurl's result code.
    int Perform(bool& interrupted);

    IO::URI::URI uri_;
    ConnectionLimits limits_;
    InterruptFlag* interruptFlag_ = nullptr;
    State state_ = State::Closed;
    std::string effectiveUrl_;
    std::string lastError_;
    bool post_ = false;
    std::vector<std::pair<std::string, std::string>> headers_;
    std::string body_;
    void* curl_ = nullptr;
};

}  // namespace Client
}  // namespace HTTP
