#include "HttpExchange.hpp"

#include <algorithm>
#include <cctype>

namespace Velmar::Services {

namespace {

// Characters that end a query value where an address sits in running text.
constexpr const char* ValueEnds = "&#; \t\r\n\"'<>";

int HexDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                       : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

bool IsSecretName(const std::string& encoded)
{
    std::string name;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size() && std::isxdigit(static_cast<unsigned char>(encoded[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(encoded[i + 2]))) {
            name += static_cast<char>(HexDigit(encoded[i + 1]) * 16 + HexDigit(encoded[i + 2]));
            i += 2;
        } else {
            name += encoded[i];
        }
    }
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* part :
         {"token", "secret", "password", "passwd", "apikey", "api_key", "api-key", "signature", "credential"}) {
        if (name.find(part) != std::string::npos)
            return true;
    }
    for (const char* whole : {"key", "pwd", "sig", "auth", "authorization", "code"}) {
        if (name == whole)
            return true;
    }
    return false;
}

}  // namespace

std::string WithoutSecrets(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        result += text[i];
        if (text[i] != '?' && text[i] != '&') {
            ++i;
            continue;
        }
        const std::size_t name = i + 1;
        const std::size_t equals = text.find_first_of(std::string("=?") + ValueEnds, name);
        if (equals == std::string::npos || text[equals] != '=' || !IsSecretName(text.substr(name, equals - name))) {
            ++i;
            continue;
        }
        result += text.substr(name, equals - name) + "=***";
        i = std::min(text.find_first_of(ValueEnds, equals + 1), text.size());
    }
    return result;
}

HttpAnswer Exchange(HTTP::MessageHeader::Method method, const IO::URI::URI& uri, const std::string& body,
                    HTTP::Client::InterruptFlag* interrupt)
{
    using namespace HTTP;
    HttpAnswer answer;
    Client::ClientConnection connection(uri);
    connection.SetInterruptFlag(interrupt);
    MessageHeader::Request request(method, uri);
    request.GetRequestHeaderFieldCollection().Add(MessageHeader::HeaderFieldName::UserAgent, UserAgent);
    MessageHeader::IncomingResponse response;
    // The host library answers failures as codes; each step runs only when the one before succeeded.
    GSErrCode err = connection.Connect();
    if (err == NoError)
        err = connection.Send(request, body.empty() ? nullptr : body.data(), body.size());
    if (err == NoError)
        err = connection.BeginReceive(response);
    if (err == NoError)
        err = connection.FinishReceive();
    if (err != NoError) {
        answer.errorCode = err;
        answer.error = WithoutSecrets(connection.GetLastErrorMessage().empty() ? "HTTP error " + std::to_string(err)
                                                                               : connection.GetLastErrorMessage());
        connection.Close();
        return answer;
    }
    connection.Close();
    answer.status = response.GetStatusCode();
    answer.body = response.GetBodyAsUtf8();
    return answer;
}

}  // namespace Velmar::Services
