// The workbench's smaller parts: where routed production addresses go, and JavaScript values as JSON.
#include "JsValueJson.hpp"
#include "RouteTable.hpp"

#include <gtest/gtest.h>
#include <rapidjson/stringbuffer.h>

#include <cmath>
#include <stdexcept>

namespace {

using Sim::Workbench::RouteTable;

TEST(RouteTable, SendsOnlyHttpsAddressesOfRoutedHostsToTheirLocalBase)
{
    RouteTable routes;
    ASSERT_TRUE(routes.AddFromOption("app.velmar.example=http://127.0.0.1:8181/"));
    ASSERT_TRUE(routes.AddFromOption("relay.velmar.example=http://127.0.0.1:9000"));
    const struct {
        const char* address;
        std::optional<std::string> local;
    } cases[] = {
        {"https://app.velmar.example/configuration", "http://127.0.0.1:8181/configuration"},
        {"https://APP.Velmar.example/lod?x=1#top", "http://127.0.0.1:8181/lod?x=1#top"},
        {"https://app.velmar.example", "http://127.0.0.1:8181/"},
        {"https://app.velmar.example?x=1", "http://127.0.0.1:8181/?x=1"},
        {"https://relay.velmar.example/Relay", "http://127.0.0.1:9000/Relay"},
        {"http://app.velmar.example/configuration", std::nullopt},
        {"https://app.velmar.example.evil/configuration", std::nullopt},
        {"https://www.velmar.example/be/nl/bim/archicad-help", std::nullopt},
        {"app.velmar.example/configuration", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(routes.LocalAddress(c.address), c.local) << c.address;
    for (const char* option :
         {"app.velmar.example", "=http://127.0.0.1:1", "app.velmar.example=127.0.0.1:1", "a=ftp://x"})
        EXPECT_FALSE(routes.AddFromOption(option)) << option;
}

TEST(JsValueJson, CarriesEachKindOfPageValueBothWays)
{
    const struct {
        const char* json;
        const char* back;  // the value as the page gets it back
    } cases[] = {
        {R"("Réglages")", R"("Réglages")"},
        {"true", "true"},
        {"-7", "-7"},
        {"2.5", "2.5"},
        {"4294967296", "4294967296.0"},  // past 32 bits: a double
        {"null", "null"},                // the undefined value
        {R"(["a",[1,false]])", R"(["a",[1,false]])"},
    };
    const auto write = [](const GS::Ref<JS::Base>& value) {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        Sim::WriteJs(writer, value);
        return std::string(buffer.GetString());
    };
    for (const auto& c : cases) {
        rapidjson::Document document;
        document.Parse(c.json);
        EXPECT_EQ(write(Sim::JsFromJson(document)), c.back) << c.json;
    }
    EXPECT_EQ(write(nullptr), "null");
    EXPECT_EQ(write(GS::Ref<JS::Base>(new JS::Value(std::nan("")))), "null");

    // An object reaches the function as a JS object, which is no value; as an answer it has no JSON form.
    rapidjson::Document object;
    object.Parse(R"({"x":"1"})");
    const auto fromObject = Sim::JsFromJson(object);
    EXPECT_EQ(GS::DynamicCast<JS::Value>(fromObject), nullptr);
    EXPECT_NE(GS::DynamicCast<JS::Object>(fromObject), nullptr);
    EXPECT_THROW(write(fromObject), std::invalid_argument);
}

}  // namespace
