// The host's HTTP client over libcurl against an in-process loopback server: what arrives, what is
// reported, and the limits (redirects, body size, time-outs, plain http off loopback, routing).
#include "../support/RecordingServer.hpp"
#include "HTTPClient.hpp"
#include "HTTPHost.hpp"
#include "HostText.hpp"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using HTTP::Client::ClientConnection;
using HTTP::Client::ConnectionLimits;
using HTTP::MessageHeader::Method;
using HTTP::MessageHeader::Request;

constexpr const char* Agent = "Velmar-Test/1.0 (compatible)";
constexpr std::size_t TestBodyLimit = 1024;

using Velmar::Testing::RecordedRequest;

// The path of a request's target, without its query.
std::string PathOf(const RecordedRequest& request)
{
    return request.target.substr(0, request.target.find('?'));
}

class HttpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(HTTP::InitializeHostLibrary(), NoError); }
    void SetUp() override { ASSERT_GT(server_.Port(), 0); }
    void TearDown() override { HTTP::ClearRoutes(); }

    void Answer(const httplib::Request& req, httplib::Response& res)
    {
        const std::string& path = req.path;
        if (path == "/echo" || path == "/Relay/x") {
            res.set_content("{\"ok\":true}", "application/json");
        } else if (path.rfind("/status/", 0) == 0) {
            res.status = std::stoi(path.substr(8));
            res.set_content("status " + path.substr(8), "text/plain");
        } else if (path == "/redirect") {
            res.set_redirect("/echo");
        } else if (path == "/sized") {
            res.set_content(std::string(std::stoul(req.get_param_value("n")), 'x'), "text/plain");
        } else if (path == "/chunked") {
            // No Content-Length: the limit must hold while the body streams in.
            res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                const std::string piece(256, 'y');
                if (offset < 4 * TestBodyLimit)
                    sink.write(piece.data(), piece.size());
                else
                    sink.done();
                return true;
            });
        } else if (path == "/drip") {
            // A byte now and then, for ever.
            res.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink& sink) {
                ++drips_;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                return sink.write("x", 1);
            });
        } else {
            res.status = 404;
        }
    }

    std::string Base() const { return server_.Base(); }
    static IO::URI::URI Url(const std::string& text) { return IO::URI::URI{HostText::Uni(text)}; }

    struct Outcome {
        GSErrCode error = NoError;
        Int32 status = 0;
        std::string body;
        std::string message;
    };

    static Outcome Fetch(const IO::URI::URI& uri, Method method = Method::Get, const std::string& body = {},
                         const ConnectionLimits& limits = Short(), HTTP::Client::InterruptFlag* interrupt = nullptr)
    {
        Outcome outcome;
        ClientConnection connection(uri);
        connection.SetLimits(limits);
        connection.SetInterruptFlag(interrupt);
        Request request(method, uri);
        request.GetRequestHeaderFieldCollection().Add(HTTP::MessageHeader::HeaderFieldName::UserAgent, Agent);
        HTTP::MessageHeader::IncomingResponse response;
        outcome.error = connection.Connect();
        if (outcome.error == NoError)
            outcome.error = connection.Send(request, body.data(), body.size());
        if (outcome.error == NoError)
            outcome.error = connection.BeginReceive(response);
        if (outcome.error == NoError)
            outcome.error = connection.FinishReceive();
        connection.Close();
        outcome.status = response.GetStatusCode();
        outcome.body = response.GetBodyAsUtf8();
        outcome.message = connection.GetLastErrorMessage();
        return outcome;
    }

    static ConnectionLimits Short()
    {
        ConnectionLimits limits;
        limits.connectTimeout = std::chrono::milliseconds(2000);
        limits.totalTimeout = std::chrono::milliseconds(3000);
        limits.maxBodySize = TestBodyLimit;
        return limits;
    }

    // The last request to an echoing path since the last look.
    RecordedRequest TakeSeen()
    {
        const auto requests = server_.Requests();
        RecordedRequest seen;
        for (std::size_t i = looked_; i < requests.size(); ++i) {
            if (PathOf(requests[i]) == "/echo" || PathOf(requests[i]) == "/Relay/x")
                seen = requests[i];
        }
        looked_ = requests.size();
        return seen;
    }

    std::atomic<int> drips_{0};
    std::size_t looked_ = 0;
    Velmar::Testing::RecordingServer server_{[this](const auto& req, auto& res) { Answer(req, res); }};
};

TEST_F(HttpTest, MethodBodyQueryAndTheOneUserAgentArriveExactly)
{
    const struct {
        Method method;
        std::string body;
        std::string sent;         // the method the server saw
        std::string name, value;  // a query parameter, sent before "after=1"
    } cases[] = {
        {Method::Get, "", "GET", "OPSYS", "GETDATA"},
        {Method::Get, "", "GET", "id", "a&b=c?d#e f+g%20h/i"},
        {Method::Post, "{\"ok\":true,\"message\":\"ünï\"}", "POST", "name with space", "Ünïcödé € 漢字"},
        {Method::Post, "", "POST", "empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sent + " " + c.name);
        IO::URI::URI uri = Url(Base() + "/echo");
        uri.AddQueryParameter(HostText::Uni(c.name), HostText::Uni(c.value));
        uri.AddQueryParameter("after", "1");
        const Outcome outcome = Fetch(uri, c.method, c.body);
        ASSERT_EQ(outcome.error, NoError) << outcome.message;
        EXPECT_EQ(outcome.status, 200);
        EXPECT_EQ(outcome.body, "{\"ok\":true}");
        const RecordedRequest seen = TakeSeen();
        EXPECT_EQ(seen.method, c.sent);
        EXPECT_EQ(seen.body, c.body);
        EXPECT_EQ(seen.userAgents, std::vector<std::string>{Agent});
        httplib::Params params;
        httplib::detail::parse_query_text(seen.target.substr(seen.target.find('?') + 1), params);
        EXPECT_EQ(params, (httplib::Params{{c.name, c.value}, {"after", "1"}}));
    }
}

TEST(UriTest, PartsAndAddedParameters)
{
    const struct {
        std::string text;
        bool valid;
        std::string host;
        unsigned port;
        std::string withParameter;  // after AddQueryParameter("k", "v w")
    } cases[] = {
        {"https://Relay.Example/Relay", true, "relay.example", 0, "https://Relay.Example/Relay?k=v%20w"},
        {"https://h:8443/p?a=1#top", true, "h", 8443, "https://h:8443/p?a=1&k=v%20w#top"},
        {"http://[::1]:80", true, "::1", 80, "http://[::1]:80?k=v%20w"},
        {"http://h:0/", false, "", 0, ""},
        {"http://h:99999/", false, "", 0, ""},
        {"https://h/a b", false, "", 0, ""},
        {"relay.example/x", false, "", 0, ""},
    };
    for (const auto& testCase : cases) {
        IO::URI::URI uri{HostText::Uni(testCase.text)};
        ASSERT_EQ(uri.IsValid(), testCase.valid) << testCase.text;
        if (!testCase.valid)
            continue;
        EXPECT_EQ(uri.GetHost(), testCase.host);
        EXPECT_EQ(uri.GetPort(), testCase.port);
        uri.AddQueryParameter("k", "v w");
        EXPECT_EQ(uri.ToUtf8(), testCase.withParameter);
    }
}

// Redirects are reported, not followed; a body over the limit is an error, also while it streams in.
TEST_F(HttpTest, StatusesRedirectsAndTheBodyLimitAreReported)
{
    const struct {
        std::string path;
        GSErrCode error;
        Int32 status;
        std::string body;
    } cases[] = {
        {"/status/200", NoError, 200, "status 200"},
        {"/status/401", NoError, 401, "status 401"},
        {"/status/500", NoError, 500, "status 500"},
        {"/redirect", NoError, 302, ""},
        {"/sized?n=1024", NoError, 200, std::string(TestBodyLimit, 'x')},
        {"/sized?n=1025", HTTP::ErrBodyTooLarge, 0, ""},
        {"/chunked", HTTP::ErrBodyTooLarge, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const Outcome outcome = Fetch(Url(Base() + c.path));
        EXPECT_EQ(outcome.error, c.error) << outcome.message;
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.body, c.body);
        EXPECT_TRUE(TakeSeen().target.empty()) << "the redirect target was fetched";
    }
}

// A server that never answers, or drip-feeds its body (a byte now and then keeps a low-speed limit content),
// runs into the total time-out. A raised interrupt flag ends the transfer then rather than at its time-out:
// raised before it, nothing goes out.
TEST_F(HttpTest, StalledTransfersEndAtTheTotalTimeOutOrWhenInterrupted)
{
    // Listens but never accepts: the kernel completes the handshake, then nothing comes back.
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(silent, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(silent, 4), 0);
    socklen_t length = sizeof address;
    ASSERT_EQ(getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string never = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/never";

    enum class Interrupt { Never, Before, WhileReceiving };
    using std::chrono::milliseconds;
    // The drip case that waits for the first byte runs before the other drip has counted any.
    const struct {
        const char* what;
        std::string url;
        milliseconds totalTimeout;
        Interrupt interrupt;
        GSErrCode error;
    } cases[] = {
        {"interrupted before the transfer", Base() + "/echo", milliseconds(60000), Interrupt::Before,
         HTTP::ErrInterrupted},
        {"interrupted while the body drips in", Base() + "/drip", milliseconds(60000), Interrupt::WhileReceiving,
         HTTP::ErrInterrupted},
        {"a server that never answers", never, milliseconds(300), Interrupt::Never, HTTP::ErrTimeout},
        {"a server that drip-feeds its body", Base() + "/drip", milliseconds(500), Interrupt::Never, HTTP::ErrTimeout},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConnectionLimits limits = Short();
        limits.totalTimeout = c.totalTimeout;
        HTTP::Client::InterruptFlag interrupt;
        if (c.interrupt == Interrupt::Before)
            interrupt.Raise();
        std::thread raiser([&] {
            if (c.interrupt != Interrupt::WhileReceiving)
                return;
            while (drips_ == 0)
                std::this_thread::sleep_for(milliseconds(1));
            interrupt.Raise();
        });
        const auto start = std::chrono::steady_clock::now();
        const Outcome outcome = Fetch(Url(c.url), Method::Get, {}, limits, &interrupt);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        raiser.join();
        EXPECT_EQ(outcome.error, c.error) << outcome.message;
        EXPECT_TRUE(TakeSeen().target.empty()) << "a request went out";
        if (c.error == HTTP::ErrInterrupted) {
            EXPECT_TRUE(outcome.body.empty());
        } else {
            EXPECT_GE(elapsed, c.totalTimeout - milliseconds(50));
            EXPECT_LT(elapsed, c.totalTimeout + milliseconds(700));
        }
    }
    close(silent);
}

// TLS peers are verified: a server whose certificate no trusted authority signed gets no request.
TEST_F(HttpTest, AServerWithAnUntrustedCertificateIsRefused)
{
    httplib::SSLServer secure(VELMAR_TEST_DATA "/localhost-selfsigned.crt",
                              VELMAR_TEST_DATA "/localhost-selfsigned.key");
    ASSERT_TRUE(secure.is_valid());
    std::atomic<int> requests{0};
    secure.Get("/echo", [&requests](const httplib::Request&, httplib::Response& res) {
        ++requests;
        res.set_content("{}", "application/json");
    });
    const int port = secure.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread listener([&secure] { secure.listen_after_bind(); });
    while (!secure.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    const Outcome outcome = Fetch(Url("https://localhost:" + std::to_string(port) + "/echo"));
    secure.stop();
    listener.join();
    EXPECT_EQ(outcome.error, ErrIO) << outcome.message;
    EXPECT_NE(outcome.message.find("certificate"), std::string::npos) << outcome.message;
    EXPECT_EQ(requests.load(), 0);
}

// Plain http goes to loopback only, and only https addresses of a routed host go to its local base.
TEST_F(HttpTest, OnlyLoopbackAndRoutedHttpsAddressesAreReached)
{
    ASSERT_EQ(HTTP::SetRoute("relay.velmar.example", Base() + "/"), NoError);
    EXPECT_EQ(HTTP::SetRoute("relay.velmar.example", "http://10.0.0.1:80"), ErrParam);
    // Each refusal would fail differently (DNS, connect) if it reached libcurl; ErrNotAllowed comes from Connect.
    const struct {
        std::string url;
        GSErrCode error;
        std::string path;  // what the local server saw
    } cases[] = {
        {"https://relay.velmar.example/Relay/x?q=1", NoError, "/Relay/x"},
        {"https://RELAY.velmar.example/echo", NoError, "/echo"},
        {"http://relay.velmar.example/echo", HTTP::ErrNotAllowed, ""},
        {"http://example.invalid/x", HTTP::ErrNotAllowed, ""},
        {"http://10.11.12.13/x", HTTP::ErrNotAllowed, ""},
        {"http://127.0.0.1.example.invalid/x", HTTP::ErrNotAllowed, ""},
        {"http://[::2]/x", HTTP::ErrNotAllowed, ""},
        {"ftp://127.0.0.1/x", HTTP::ErrNotAllowed, ""},
        {"no address", ErrParam, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        const Outcome outcome = Fetch(Url(c.url));
        EXPECT_EQ(outcome.error, c.error) << outcome.message;
        EXPECT_EQ(outcome.message.empty(), c.error == NoError);
        EXPECT_EQ(PathOf(TakeSeen()), c.path);
    }
    HTTP::ClearRoutes();
    EXPECT_EQ(HTTP::ApplyRoute("https://relay.velmar.example/Relay/x"), "https://relay.velmar.example/Relay/x");
    const std::pair<std::string, bool> hosts[] = {
        {"127.0.0.1", true},  {"127.255.3.4", true}, {"LocalHost", true},    {"::1", true},
        {"128.0.0.1", false}, {"127.0.0", false},    {"127.0.0.256", false}, {"localhost.example", false},
    };
    for (const auto& host : hosts)
        EXPECT_EQ(HTTP::IsLoopbackHost(host.first), host.second) << host.first;
}

}  // namespace
