// The relay service and product-data platform stand-ins over HTTP, as the add-on and the pages use them.
#include "ProductPlatform.hpp"
#include "RelayService.hpp"

#include <gtest/gtest.h>
#include <httplib.h>
#include <rapidjson/document.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

namespace {

using Velmar::Services::ProductPlatform;
using Velmar::Services::RelayService;

rapidjson::Document Json(const std::string& text)
{
    rapidjson::Document document;
    document.Parse(text.c_str(), text.size());
    return document;
}

std::string Member(const std::string& text, const char* name)
{
    const rapidjson::Document document = Json(text);
    if (!document.IsObject() || !document.HasMember(name) || !document[name].IsString())
        return "<none>";
    return document[name].GetString();
}

struct Answer {
    int status;
    std::string body;
};

class Client {
public:
    explicit Client(int port) : client_("127.0.0.1", port)
    {
        client_.set_connection_timeout(2);
        client_.set_read_timeout(5);
    }
    Answer Get(const std::string& path) { return Of(client_.Get(path)); }
    Answer Post(const std::string& path, const std::string& body, const char* type = "text/plain")
    {
        return Of(client_.Post(path, body, type));
    }
    httplib::Client& Raw() { return client_; }

private:
    static Answer Of(const httplib::Result& result)
    {
        return result ? Answer{result->status, result->body} : Answer{-1, httplib::to_string(result.error())};
    }
    httplib::Client client_;
};

struct RunningRelay {
    explicit RunningRelay(RelayService::Limits limits = {}) : relay(limits), port(relay.Start(0).value_or(0)) {}
    RelayService relay;
    int port;
};

// Refusals of what does not fit the channels take nothing off.
TEST(RelayService, KeepsMessagesInOrderUntilAcknowledgedAndKeepsTheAnswers)
{
    RunningRelay r;
    ASSERT_GT(r.port, 0);
    Client c(r.port);
    ASSERT_EQ(c.Post("/Relay/BimId/VelData", "").status, 200);
    EXPECT_EQ(c.Get("/Relay/BimId/VelData").body, "{}");

    const std::string first = Member(c.Post("/Relay/BimId/send", "VELMAR-MS50-1x12.5").body, "dataKey");
    const std::string second = Member(c.Post("/Relay/BimId/send", "quote \" and \\ and ü").body, "dataKey");
    ASSERT_EQ(first.size(), 36u);
    ASSERT_NE(first, second);

    // Polling alone takes nothing off: the add-on may fail before it acknowledges.
    for (int poll = 0; poll < 2; ++poll) {
        const Answer oldest = c.Get("/Relay/BimId/VelData");
        EXPECT_EQ(oldest.status, 200);
        EXPECT_EQ(Member(oldest.body, "dataKey"), first);
        EXPECT_EQ(Member(oldest.body, "payload"), "VELMAR-MS50-1x12.5");
    }
    EXPECT_EQ(c.Get("/Relay/BimId/answer/" + first).status, 404);
    const struct {
        const char* method;
        std::string path;
        const char* body;
        int status;
    } refusals[] = {
        {"GET", "/Relay/Other/VelData", "", 401},
        {"POST", "/Relay/Other/VelData/" + first, R"({"ok":true})", 401},
        {"POST", "/Relay/Other/send", "id", 404},
        {"POST", "/Relay/BimId/send", "", 400},
        {"POST", "/Relay/BimId/VelData/" + first, "not json", 400},
        {"POST", "/Relay/BimId/VelData/" + first, R"({"ok":"yes"})", 400},
        {"POST", "/Relay/BimId/VelData/" + first, R"({"ok":true,"message":3})", 400},
        {"POST", "/Relay/BimId/VelData/00000000-0000-0000-0000-000000000000", R"({"ok":true})", 404},
        {"GET", "/Relay/Other/answer/" + first, "", 404},
    };
    for (const auto& t : refusals) {
        const Answer a = std::string(t.method) == "GET" ? c.Get(t.path) : c.Post(t.path, t.body);
        EXPECT_EQ(a.status, t.status) << t.method << " " << t.path << " " << t.body;
    }

    // Acknowledging out of order is allowed; what waits stays in order.
    const char* failed = R"({"ok":false,"message":"Failed to download product"})";
    ASSERT_EQ(c.Post("/Relay/BimId/VelData/" + second, failed, "application/json").status, 200);
    EXPECT_EQ(Member(c.Get("/Relay/BimId/VelData").body, "dataKey"), first);
    ASSERT_EQ(c.Post("/Relay/BimId/VelData/" + first, R"({"ok":true,"extra":1})", "application/json").status, 200);
    EXPECT_EQ(c.Get("/Relay/BimId/VelData").body, "{}");
    EXPECT_EQ(c.Post("/Relay/BimId/VelData/" + first, R"({"ok":true})").status, 404) << "acknowledged once only";

    EXPECT_EQ(c.Get("/Relay/BimId/answer/" + first).body, R"({"ok":true})");
    EXPECT_EQ(c.Get("/Relay/BimId/answer/" + second).body, failed);
    // Registering again (the add-on restarting its polling) keeps the answers.
    ASSERT_EQ(c.Post("/Relay/BimId/VelData", "").status, 200);
    EXPECT_EQ(c.Get("/Relay/BimId/answer/" + first).status, 200);
}

TEST(RelayService, HoldsItsLimits)
{
    RelayService::Limits limits;
    limits.channels = 2;
    limits.messagesPerChannel = 2;
    limits.payloadBytes = 64;
    RunningRelay r(limits);
    Client c(r.port);
    const struct {
        std::string path;
        std::string body;
        int status;
    } steps[] = {
        {"/Relay/A/VelData", "", 200},
        {"/Relay/B/VelData", "", 200},
        {"/Relay/C/VelData", "", 429},
        {"/Relay/A/VelData", "", 200},  // a known channel is no new one
        {"/Relay/A/send", std::string(64, 'x'), 200},
        {"/Relay/A/send", std::string(65, 'x'), 413},
        {"/Relay/A/send", "second", 200},
        {"/Relay/A/send", "third", 429},
        {"/Relay/B/send", "other channel", 200},
    };
    for (const auto& s : steps)
        EXPECT_EQ(c.Post(s.path, s.body).status, s.status) << s.path << " " << s.body.size();
    EXPECT_EQ(c.Get("/Relay/C/VelData").status, 401);

    // Acknowledging makes room again; answers beyond the limit drop the oldest.
    std::string keys[3];
    for (auto& key : keys) {
        key = Member(c.Get("/Relay/A/VelData").body, "dataKey");
        ASSERT_EQ(c.Post("/Relay/A/VelData/" + key, R"({"ok":true})").status, 200);
        if (&key != &keys[2]) {
            ASSERT_EQ(c.Post("/Relay/A/send", "more").status, 200);
        }
    }
    EXPECT_EQ(c.Get("/Relay/A/answer/" + keys[0]).status, 404);
    EXPECT_EQ(c.Get("/Relay/A/answer/" + keys[1]).status, 200);
    EXPECT_EQ(c.Get("/Relay/A/answer/" + keys[2]).status, 200);
}

// A clock the test moves on, so tokens expire without waiting.
struct TestClock {
    static std::atomic<long long> ms;
    static ProductPlatform::Clock::time_point Now()
    {
        return ProductPlatform::Clock::time_point(std::chrono::milliseconds(ms.load()));
    }
};
std::atomic<long long> TestClock::ms{1000000};

struct RunningPlatform {
    static ProductPlatform::Options Options()
    {
        ProductPlatform::Options options;
        options.catalogDir = VELMAR_CATALOG_DIR;
        options.tokenLifetime = std::chrono::seconds(60);
        options.now = TestClock::Now;
        return options;
    }
    RunningPlatform() : platform(Options()), port(platform.Start(0).value_or(0)) {}
    ProductPlatform platform;
    int port;
};

std::string Token(Client& c)
{
    return Member(c.Get("/connect/token?OPSYS=GETTOKEN").body, "token");
}

TEST(ProductPlatform, AnswersSystemsByIdBehindATokenThatHasNotExpired)
{
    RunningPlatform p;
    ASSERT_GT(p.port, 0);
    EXPECT_GE(p.platform.SystemCount(), 13u);
    Client c(p.port);
    const std::string token = Token(c);
    ASSERT_EQ(token.size(), 32u);
    EXPECT_NE(Token(c), token);

    const struct {
        std::string query;
        int status;
    } cases[] = {
        {"id=VELMAR-MS50-1x12.5&token=" + token, 200},
        {"id=VELMAR-PL-CD60-2x15-EI60&token=" + token, 200},
        {"id=VELMAR-NONE&token=" + token, 404},
        {"id=VELMAR-MS50-1x12.5", 401},
        {"id=VELMAR-MS50-1x12.5&token=", 401},
        {"id=VELMAR-MS50-1x12.5&token=0123456789abcdef0123456789abcdef", 401},
    };
    for (const auto& t : cases) {
        const Answer a = c.Get("/v2/be?OPSYS=GETDATA&" + t.query);
        EXPECT_EQ(a.status, t.status) << t.query;
        if (t.status != 200)
            continue;
        // The system sits under a member named exactly by the id.
        const std::string id = t.query.substr(3, t.query.find('&') - 3);
        const rapidjson::Document document = Json(a.body);
        ASSERT_TRUE(document.IsObject() && document.MemberCount() == 1 && document.HasMember(id.c_str()) &&
                    document[id.c_str()].IsObject() && document[id.c_str()].HasMember("ID"))
            << a.body;
        EXPECT_STREQ(document[id.c_str()]["ID"].GetString(), id.c_str());
    }
    EXPECT_EQ(c.Get("/v2/be?OPSYS=OTHER").status, 400);

    // A token lives 60 s.
    TestClock::ms += 30000;
    const std::string later = Token(c);
    const std::string path = "/v2/be?OPSYS=GETDATA&id=VELMAR-MS50-1x12.5&token=";
    EXPECT_EQ(c.Get(path + token).status, 200);
    TestClock::ms += 30000;  // `token` is exactly 60 s old
    EXPECT_EQ(c.Get(path + token).status, 401);
    EXPECT_EQ(c.Get(path + later).status, 200);
    TestClock::ms += 30000;
    EXPECT_EQ(c.Get(path + later).status, 401);
}

TEST(ProductPlatform, AnswersFaultsSetForTheNextAnswersAndRefusesBadOnes)
{
    const struct {
        const char* fault;  // set through the admin route; empty: through SetFault
        ProductPlatform::Fault direct;
        std::vector<int> statuses;  // of the next token requests
        bool garbage;
    } cases[] = {
        {R"({"status":500})", {}, {500, 200}, false},      {R"({"status":503,"times":2})", {}, {503, 503, 200}, false},
        {R"({"garbage":true})", {}, {200, 200}, true},     {"", {401, 0, false, 1}, {401, 200}, false},
        {R"({"status":500,"times":0})", {}, {200}, false},
    };
    for (const auto& t : cases) {
        RunningPlatform p;
        Client c(p.port);
        if (*t.fault) {
            ASSERT_EQ(c.Post("/admin/fault", t.fault, "application/json").status, 200) << t.fault;
        } else {
            p.platform.SetFault(t.direct);
        }
        for (std::size_t i = 0; i < t.statuses.size(); ++i) {
            const Answer a = c.Get("/connect/token?OPSYS=GETTOKEN");
            EXPECT_EQ(a.status, t.statuses[i]) << t.fault << " answer " << i;
            const bool parses = !Json(a.body).HasParseError();
            EXPECT_EQ(parses, !(t.garbage && i == 0)) << t.fault << " answer " << i << ": " << a.body;
        }
    }

    RunningPlatform p;
    Client c(p.port);
    for (const char* bad : {"[]", R"({"status":42})", R"({"delayMs":-1})", R"({"what":1})", "{"})
        EXPECT_EQ(c.Post("/admin/fault", bad, "application/json").status, 400) << bad;
    EXPECT_EQ(c.Get("/connect/token?OPSYS=GETTOKEN").status, 200);

    // A delay past the client's patience is a timeout for the client, and later answers come at once.
    ASSERT_EQ(c.Post("/admin/fault", R"({"delayMs":800})", "application/json").status, 200);
    Client impatient(p.port);
    impatient.Raw().set_read_timeout(0, 200000);
    EXPECT_EQ(impatient.Get("/connect/token?OPSYS=GETTOKEN").status, -1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(c.Get("/connect/token?OPSYS=GETTOKEN").status, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

// A published version is what the next data request answers: a later stamp, the values set in each
// language's own number form; a refused publication changes nothing.
TEST(ProductPlatform, PublishesANewVersionOfASystem)
{
    RunningPlatform p;
    Client c(p.port);
    const std::string id = "VELMAR-MS75-2x12.5";
    const auto current = [&] {
        const rapidjson::Document answer = Json(c.Get("/v2/be?OPSYS=GETDATA&id=" + id + "&token=" + Token(c)).body);
        const auto& system = answer[id.c_str()];
        const auto& value = system["Attributes"]["composition"]["Thickness"]["Value"];
        return std::vector<std::string>{system["TimeStamp"].GetString(), value["nl_NL"].GetString(),
                                        value["en_US"].GetString()};
    };
    const struct {
        const char* body;
        int status;
        const char* nl;  // the thickness afterwards, in Dutch and English
        const char* en;
    } cases[] = {
        {R"({"id":"VELMAR-MS75-2x12.5","values":{"Thickness":"137.5"}})", 200, "137,5", "137.5"},
        {R"({"id":"VELMAR-MS75-2x12.5"})", 200, "137,5", "137.5"},
        {R"({"id":"VELMAR-MS75-2x12.5","values":{"NO_SUCH":"1"}})", 404, "137,5", "137.5"},
        {R"({"id":"VELMAR-NONE","values":{"Thickness":"1"}})", 404, "137,5", "137.5"},
        {R"({"id":"VELMAR-MS75-2x12.5","values":{"Thickness":1}})", 400, "137,5", "137.5"},
        {R"([])", 400, "137,5", "137.5"},
    };
    std::string stamp = current()[0];
    for (const auto& t : cases) {
        EXPECT_EQ(c.Post("/admin/publish", t.body, "application/json").status, t.status) << t.body;
        const auto now = current();
        EXPECT_EQ(now[0] > stamp, t.status == 200) << t.body << ": " << stamp << " then " << now[0];
        EXPECT_EQ((std::vector<std::string>{now[1], now[2]}), (std::vector<std::string>{t.nl, t.en})) << t.body;
        stamp = now[0];
    }
    EXPECT_EQ(p.platform.TimeStamps().at(id), stamp);
}

}  // namespace
