#include "URI.hpp"
#include "HostText.hpp"

#include <cctype>

namespace IO::URI {

namespace {
std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Splits "host", "host:port", "[v6]" or "[v6]:port"; false when the port is not a number in range.
bool SplitAuthority(const std::string& authority, std::string& host, unsigned& port)
{
    std::string hostPort = authority.substr(authority.rfind('@') == std::string::npos ? 0 : authority.rfind('@') + 1);
    std::string portText;
    if (!hostPort.empty() && hostPort[0] == '[') {
        const auto close = hostPort.find(']');
        if (close == std::string::npos)
            return false;
        host = hostPort.substr(1, close - 1);
        if (close + 1 < hostPort.size()) {
            if (hostPort[close + 1] != ':')
                return false;
            portText = hostPort.substr(close + 2);
        }
    } else {
        const auto colon = hostPort.find(':');
        host = hostPort.substr(0, colon);
        if (colon != std::string::npos)
            portText = hostPort.substr(colon + 1);
    }
    port = 0;
    if (!portText.empty()) {
        if (portText.size() > 5)
            return false;
        for (char c : portText) {
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return false;
            port = port * 10 + static_cast<unsigned>(c - '0');
        }
        if (port == 0 || port > 65535)
            return false;
    }
    host = Lower(host);
    return !host.empty();
}
}  // namespace

URI::URI(const GS::UniString& text)
{
    const std::string all = HostText::Utf8(text);
    const auto schemeEnd = all.find("://");
    if (schemeEnd == std::string::npos || schemeEnd == 0)
        return;
    scheme_ = Lower(all.substr(0, schemeEnd));
    std::string rest = all.substr(schemeEnd + 3);
    const auto hash = rest.find('#');
    if (hash != std::string::npos) {
        fragment_ = rest.substr(hash + 1);
        rest.erase(hash);
    }
    const auto question = rest.find('?');
    if (question != std::string::npos) {
        query_ = rest.substr(question + 1);
        rest.erase(question);
    }
    const auto slash = rest.find('/');
    authority_ = rest.substr(0, slash);
    path_ = slash == std::string::npos ? std::string() : rest.substr(slash);
    // Spaces and control characters would let a caller smuggle text onto the request line.
    for (char c : all)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f)
            return;
    valid_ = SplitAuthority(authority_, host_, port_);
}

std::string URI::GetPathAndQuery() const
{
    std::string result = path_.empty() ? "/" : path_;
    if (!query_.empty())
        result += "?" + query_;
    return result;
}

void URI::AddQueryParameter(const GS::UniString& name, const GS::UniString& value)
{
    if (!query_.empty())
        query_ += '&';
    query_ += PercentEncode(HostText::Utf8(name)) + "=" + PercentEncode(HostText::Utf8(value));
}

std::string URI::ToUtf8() const
{
    std::string result = scheme_ + "://" + authority_ + path_;
    if (!query_.empty())
        result += "?" + query_;
    if (!fragment_.empty())
        result += "#" + fragment_;
    return result;
}

GS::UniString URI::ToString() const
{
    return HostText::Uni(ToUtf8());
}

std::string URI::PercentEncode(const std::string& utf8)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string result;
    for (unsigned char c : utf8) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            result += static_cast<char>(c);
        } else {
            result += '%';
            result += hex[c >> 4];
            result += hex[c & 0xF];
        }
    }
    return result;
}

}  // namespace IO::URI
