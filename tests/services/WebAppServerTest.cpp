// The web application stand-in: pages by their paths, with the browser's head scripts, and nothing outside
// its folder.
#include "WebAppServer.hpp"
#include "TempFolder.hpp"

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>

namespace {

using Velmar::Services::WebAppServer;
using Velmar::Testing::TempFolder;
using Velmar::Testing::WriteFile;

TEST(WebAppServer, PutsTheHeadHtmlFirstInTheHead)
{
    const struct {
        const char* page;
        const char* served;
    } cases[] = {
        {"<html><head><title>x</title></head></html>", "<html><head><s></s><title>x</title></head></html>"},
        {"<HTML><HEAD lang=\"nl\"><title>x</title>", "<HTML><HEAD lang=\"nl\"><s></s><title>x</title>"},
        {"<body><header>h</header><head>", "<body><header>h</header><head><s></s>"},
        {"<p>no head</p>", "<s></s><p>no head</p>"},
        {"<head", "<s></s><head"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WebAppServer::WithHead(c.page, "<s></s>"), c.served) << c.page;
}

TEST(WebAppServer, ServesThePagesByPathAndNothingOutsideTheirFolder)
{
    TempFolder folder;
    std::filesystem::create_directories(folder / "pages/js");
    WriteFile(folder / "pages/configuration.html", "<head><title>c</title>");
    WriteFile(folder / "pages/js/page.js", "export {};");
    WriteFile(folder / "secret.txt", "secret");
    WebAppServer server(folder / "pages", "<script src=\"b.js\"></script>");
    const auto port = server.Start(0);
    ASSERT_TRUE(port);
    const struct {
        const char* path;
        int status;
        const char* type;
        const char* body;
    } cases[] = {
        {"/configuration", 200, "text/html; charset=utf-8", "<head><script src=\"b.js\"></script><title>c</title>"},
        {"/configuration.html", 200, "text/html; charset=utf-8",
         "<head><script src=\"b.js\"></script><title>c</title>"},
        {"/js/page.js", 200, "text/javascript; charset=utf-8", "export {};"},
        {"/js/../js/page.js", 200, "text/javascript; charset=utf-8", "export {};"},
        {"/lod", 404, "text/html; charset=utf-8", nullptr},
        {"/js", 404, "text/html; charset=utf-8", nullptr},
        {"/../secret.txt", 404, "text/html; charset=utf-8", nullptr},
        {"/js/../../secret.txt", 404, "text/html; charset=utf-8", nullptr},
        {"/%2e%2e/secret.txt", 404, "text/html; charset=utf-8", nullptr},
    };
    httplib::Client client("127.0.0.1", *port);
    for (const auto& c : cases) {
        const auto response = client.Get(c.path);
        ASSERT_TRUE(response) << c.path;
        EXPECT_EQ(response->status, c.status) << c.path;
        EXPECT_EQ(response->get_header_value("Content-Type"), c.type) << c.path;
        if (c.body != nullptr) {
            EXPECT_EQ(response->body, c.body) << c.path;
        }
        EXPECT_EQ(response->body.find("secret"), std::string::npos) << c.path;
    }
    server.Stop();
}

}  // namespace
