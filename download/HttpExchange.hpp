// One HTTP/1.1 request on a connection of its own, as both remote services are spoken to: connect, send,
// receive the whole body, close. Only the "User-Agent" header is set.
#pragma once

#include "HTTPClient.hpp"

#include <string>

namespace Velmar::Services {

struct HttpAnswer {
    // 0 when the exchange failed before a status arrived (see error).
    Int32 status = 0;
    std::string body;   // UTF-8, as received
    std::string error;  // the host library's message, with the values of secret query parameters hidden
    GSErrCode errorCode = NoError;

    bool IsOk() const { return status == 200; }
};

// `interrupt`, when given, ends the exchange as soon as it is raised (from any thread).
HttpAnswer Exchange(HTTP::MessageHeader::Method method, const IO::URI::URI& uri, const std::string& body = {},
                    HTTP::Client::InterruptFlag* interrupt = nullptr);

// `text` with the value of every query parameter whose name says it holds a secret (a token, a key, a
// password, a signature, ...) replaced by "***", wherever an address appears in it: the host library's
// messages name the address a request went to, and they end up in the debug output and in reports.
std::string WithoutSecrets(const std::string& text);

constexpr const char* UserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/54.0.2840.99 "
    "Safari/537.36";

}  // namespace Velmar::Services
