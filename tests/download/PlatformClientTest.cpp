// The product-data platform client against a recording loopback server behind the production hosts:
// the requests as they go out, and what each kind of answer leaves in the record.
#include "Archicad.hpp"
#include "CorvanaDatabase.hpp"
#include "HTTPHost.hpp"
#include "HostText.hpp"
#include "HttpExchange.hpp"
#include "RecordingServer.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using Velmar::Services::CorvanaDatabase;
using Velmar::Testing::RecordingServer;

constexpr const char* TokenUrl = "https://auth.corvana.example/connect/token";
constexpr const char* DataUrl = "https://api.corvana.example/v2/be";
const std::string Product = "VELMAR-MS75-1x12.5";

std::string SystemFor(const std::string& id)
{
    return R"({")" + id + R"(":{"ID":")" + id + R"(","TimeStamp":"2026-11-20 09:30:05"}})";
}

struct Answer {
    int status;
    std::string body;
};

class PlatformClient : public ::testing::Test {
protected:
    void Serve(Answer token, Answer data)
    {
        token_ = std::move(token);
        data_ = std::move(data);
        server_ =
            std::make_unique<RecordingServer>([this](const httplib::Request& request, httplib::Response& response) {
                const Answer& answer = request.path == "/connect/token" ? token_ : data_;
                response.status = answer.status;
                response.set_content(answer.body, "application/json");
            });
        for (const char* host : {"auth.corvana.example", "api.corvana.example"})
            ASSERT_EQ(HTTP::SetRoute(host, server_->Base()), NoError);
    }
    ~PlatformClient() override { HTTP::ClearRoutes(); }

    std::string Log() const
    {
        const std::string path = folder_ / "data/user/velmar/archicad/log.txt";
        return std::filesystem::exists(path) ? Velmar::Testing::ReadFile(path) : std::string();
    }

    Velmar::Testing::TempFolder folder_;
    Sim::Archicad host_{folder_ / "data"};  // initialises the HTTP library and gives the log its folder
    Answer token_, data_;
    std::unique_ptr<RecordingServer> server_;
    CorvanaDatabase database_{DataUrl, TokenUrl};
};

// Every lookup asks for a fresh token.
TEST_F(PlatformClient, AsksForATokenThenForTheSystemWithOneUserAgentAndEscapedQueryValues)
{
    const std::string id = "A B&C/é";
    Serve({200, R"({"token":"t+1/="})"}, {200, SystemFor(id)});
    const auto system = database_.GetSystem(HostText::Uni(id));
    ASSERT_TRUE(system->id.has_value());
    EXPECT_EQ(HostText::Utf8(*system->id), id);
    EXPECT_EQ(*system->rawText, SystemFor(id));

    database_.GetSystem(HostText::Uni(id));
    const auto requests = server_->Requests();
    ASSERT_EQ(requests.size(), 4u);
    for (std::size_t n = 0; n < requests.size(); ++n) {
        EXPECT_EQ(requests[n].method + " " + requests[n].target,
                  n % 2 == 0 ? "GET /connect/token?OPSYS=GETTOKEN"
                             : "GET /v2/be?OPSYS=GETDATA&id=A%20B%26C%2F%C3%A9&token=t%2B1%2F%3D");
        EXPECT_EQ(requests[n].userAgents, std::vector<std::string>{Velmar::Services::UserAgent}) << n;
    }
}

TEST_F(PlatformClient, AnythingButTheSystemUnderItsOwnIdGivesAnEmptyRecord)
{
    const Answer goodToken{200, R"({"token":"t"})"};
    const std::string big(20u * 1024u * 1024u, ' ');
    struct Case {
        const char* what;
        Answer token, data;
        bool found;
        std::size_t requests;
        bool loads = found;  // logs "Loading product": the answer has a member named by the product id
    } cases[] = {
        {"the system", goodToken, {200, SystemFor(Product)}, true, 2},
        {"a 20 MB body", goodToken, {200, SystemFor(Product) + big}, true, 2},
        {"token status 500", {500, R"({"token":"t"})"}, {200, SystemFor(Product)}, false, 1},
        {"token not JSON", {200, "<html>"}, {200, SystemFor(Product)}, false, 1},
        {"token an array", {200, R"(["t"])"}, {200, SystemFor(Product)}, false, 1},
        {"token without token", {200, R"({"access":"t"})"}, {200, SystemFor(Product)}, false, 1},
        {"token of the wrong kind", {200, R"({"token":7})"}, {200, SystemFor(Product)}, false, 1},
        {"data status 500", goodToken, {500, SystemFor(Product)}, false, 2},
        {"data status 401", goodToken, {401, SystemFor(Product)}, false, 2},
        {"data not JSON", goodToken, {200, "Internal error"}, false, 2},
        {"data an array", goodToken, {200, "[" + SystemFor(Product) + "]"}, false, 2},
        {"the system under another key", goodToken, {200, SystemFor("VELMAR-OTHER")}, false, 2},
        {"the key in another letter case", goodToken, {200, R"({"velmar-ms75-1x12.5":{"ID":"x"}})"}, false, 2},
        {"an ID of the wrong kind", goodToken, {200, R"({")" + Product + R"(":{"ID":75}})"}, false, 2, true},
        {"the system not an object", goodToken, {200, R"({")" + Product + R"(":"ID"})"}, false, 2, true},
    };
    for (const auto& c : cases) {
        Serve(c.token, c.data);
        const std::string logBefore = Log();
        const auto system = database_.GetSystem(HostText::Uni(Product));
        ASSERT_NE(system, nullptr) << c.what;
        EXPECT_EQ(system->id.has_value(), c.found) << c.what;
        if (c.found) {
            EXPECT_TRUE(system->rawText.has_value()) << c.what;
        }
        EXPECT_EQ(Log(), logBefore + (c.loads ? "Loading product\r\n" : "")) << c.what;
        EXPECT_EQ(server_->Requests().size(), c.requests) << c.what;
        server_.reset();
    }
}

TEST(WithoutSecrets, HidesTheValuesOfSecretQueryParametersOnly)
{
    const std::pair<std::string, std::string> cases[] = {
        {"request to https://h/d?OPSYS=GETDATA&id=A&token=t%2B1 failed: refused",
         "request to https://h/d?OPSYS=GETDATA&id=A&token=*** failed: refused"},
        {"https://h/?Access_Token=x&api_key=y#top", "https://h/?Access_Token=***&api_key=***#top"},
        {"\"https://h/?password=a;b\" and https://g/?tok%65n=z",
         "\"https://h/?password=***;b\" and https://g/?tok%65n=***"},
        {"https://h/?id=token&BimId=1&keyboard=k&token", "https://h/?id=token&BimId=1&keyboard=k&token"},
        {"no address, token=x", "no address, token=x"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(Velmar::Services::WithoutSecrets(text), shown) << text;
}

}  // namespace
