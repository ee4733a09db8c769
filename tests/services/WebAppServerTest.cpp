// The web application stand-in's head scripts; its paths are served with the workbench's (WorkbenchTest.cpp).
#include "WebAppServer.hpp"

#include <gtest/gtest.h>

namespace {

using Velmar::Services::WebAppServer;

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

}  // namespace
