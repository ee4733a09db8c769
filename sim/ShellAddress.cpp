#include "ShellAddress.hpp"
#include "HostText.hpp"

#include <cstdio>

namespace Sim {

namespace {

bool IsControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

bool IsWhiteSpace(char16_t c)
{
    return c == u' ' || c == 0x85 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

bool IsAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool IsHexDigit(char16_t c)
{
    return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// ASCII characters that an address never holds unescaped; a backslash in particular turns a web
// address into a path on some systems.
bool IsExcludedFromAddresses(char16_t c)
{
    return c == u'"' || c == u'<' || c == u'>' || c == u'\\' || c == u'^' || c == u'`' || c == u'{' || c == u'|' ||
           c == u'}';
}

std::u16string Units(const GS::UniString& text)
{
    return std::u16string(text.ToUStr(), text.GetLength());
}

std::u16string Lower(const std::u16string& text)
{
    std::u16string lower = text;
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return lower;
}

// The scheme before the first ':' (RFC 3986: a letter, then letters, digits, '+', '-', '.'); none otherwise.
std::optional<std::u16string> SchemeOf(const std::u16string& text)
{
    const auto colon = text.find(u':');
    if (colon == std::u16string::npos || colon == 0 || !IsAsciiLetter(text[0]))
        return std::nullopt;
    for (std::size_t i = 1; i < colon; ++i) {
        const char16_t c = text[i];
        if (!IsAsciiLetter(c) && !IsDigit(c) && c != u'+' && c != u'-' && c != u'.')
            return std::nullopt;
    }
    return Lower(text.substr(0, colon));
}

// "//host[:port]" up to the path, query or fragment; the host is a name of letters, digits, '-' and '.'
// (non-ASCII letters allowed, as browsers take them) or a bracketed IPv6 literal.
bool HasWebAuthority(const std::u16string& rest)
{
    if (rest.compare(0, 2, u"//") != 0)
        return false;
    const auto end = rest.find_first_of(u"/?#", 2);
    const std::u16string authority = rest.substr(2, end == std::u16string::npos ? std::u16string::npos : end - 2);
    std::size_t hostEnd = authority.size();
    if (!authority.empty() && authority[0] == u'[') {
        hostEnd = authority.find(u']');
        if (hostEnd == std::u16string::npos || hostEnd == 1)
            return false;
        for (std::size_t i = 1; i < hostEnd; ++i) {
            if (!IsHexDigit(authority[i]) && authority[i] != u':' && authority[i] != u'.')
                return false;
        }
        ++hostEnd;
        if (hostEnd < authority.size() && authority[hostEnd] != u':')
            return false;
    } else {
        hostEnd = authority.find(u':');
        if (hostEnd == std::u16string::npos)
            hostEnd = authority.size();
        if (hostEnd == 0)
            return false;
        for (std::size_t i = 0; i < hostEnd; ++i) {
            const char16_t c = authority[i];
            if (!IsAsciiLetter(c) && !IsDigit(c) && c != u'-' && c != u'.' && c < 0x80)
                return false;
        }
    }
    if (hostEnd < authority.size()) {
        const std::u16string port = authority.substr(hostEnd + 1);
        if (port.empty() || port.size() > 5)
            return false;
        for (char16_t c : port) {
            if (!IsDigit(c))
                return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::string> ShellRefusal(const GS::UniString& verb, const GS::UniString& address)
{
    if (Lower(Units(verb)) != u"open")
        return "the shell only opens addresses (verb \"" + Printable(verb) + "\")";
    const std::u16string text = Units(address);
    if (text.empty())
        return "an empty address";
    if (IsWhiteSpace(text.front()) || IsWhiteSpace(text.back()))
        return "leading or trailing white space";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsControl(text[i]))
            return "a control character";
        if (IsWhiteSpace(text[i]))
            return "white space inside the address";
        if (text[i] == u'%' && (i + 2 >= text.size() || !IsHexDigit(text[i + 1]) || !IsHexDigit(text[i + 2])))
            return "a '%' that is not an escape";
    }
    if (text.compare(0, 2, u"\\\\") == 0 || text.compare(0, 2, u"//") == 0)
        return "a network share path";
    const auto scheme = SchemeOf(text);
    if (!scheme)
        return "not an address (a file or program name)";
    if (*scheme != u"http" && *scheme != u"https" && *scheme != u"mailto")
        return "scheme \"" + HostText::Utf8(GS::UniString(*scheme)) + "\" is neither web nor mail";
    for (char16_t c : text) {
        if (IsExcludedFromAddresses(c))
            return "a character addresses never hold unescaped";
    }
    const std::u16string rest = text.substr(scheme->size() + 1);
    if (*scheme == u"mailto")
        return rest.empty() || rest.compare(0, 2, u"//") == 0 ? std::optional<std::string>("a malformed mail address")
                                                              : std::nullopt;
    if (!HasWebAuthority(rest))
        return "a web address without a valid host";
    return std::nullopt;
}

std::string Printable(const GS::UniString& text)
{
    std::u16string shown;
    for (char16_t c : Units(text)) {
        if (!IsControl(c) && c != 0x2028 && c != 0x2029) {
            shown += c;
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, c <= 0xFF ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c));
        shown += Units(GS::UniString(escape));
    }
    return HostText::Utf8(GS::UniString(shown));
}

}  // namespace Sim
