#include "Record.hpp"
#include "Utf8Text.hpp"

#include <algorithm>

namespace Velmar::Json {

namespace {

bool IsAscii(const char* text, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool FoldedEqual(const char* member, std::size_t memberLength, std::string_view name)
{
    return Velmar::UniStringOfUtf8(std::string_view(member, memberLength))
        .IsEqual(Velmar::UniStringOfUtf8(name), GS::CaseInsensitive);
}

bool EqualIgnoringCase(const char* member, std::size_t memberLength, std::string_view name)
{
    // ASCII letters are compared as they come; where two ASCII letters differ the names differ, since
    // only non-ASCII letters can fold into ASCII ones. Full case folding decides anything non-ASCII.
    const std::size_t common = std::min(memberLength, name.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto left = static_cast<unsigned char>(member[i]);
        const auto right = static_cast<unsigned char>(name[i]);
        if (left >= 0x80 || right >= 0x80)
            return FoldedEqual(member, memberLength, name);
        if (LowerAscii(static_cast<char>(left)) != LowerAscii(static_cast<char>(right)))
            return false;
    }
    if (memberLength == name.size())
        return true;
    const bool restIsAscii = memberLength > common ? IsAscii(member + common, memberLength - common)
                                                   : IsAscii(name.data() + common, name.size() - common);
    return !restIsAscii && FoldedEqual(member, memberLength, name);
}

}  // namespace

const rj::Value* FindMemberIgnoringCase(const rj::Value& object, const char* name)
{
    const std::string_view wanted(name);
    for (auto member = object.MemberBegin(); member != object.MemberEnd(); ++member) {
        if (EqualIgnoringCase(member->name.GetString(), member->name.GetStringLength(), wanted))
            return &member->value;
    }
    return nullptr;
}

const rj::Value* FindMemberExactly(const rj::Value& object, const char* name)
{
    const auto member = object.FindMember(rj::Value(rj::StringRef(name)));
    return member == object.MemberEnd() ? nullptr : &member->value;
}

rj::Value TextValue(const GS::UniString& text, Allocator& allocator)
{
    const std::string utf8 = Velmar::Utf8Of(text);
    return rj::Value(utf8.c_str(), static_cast<rj::SizeType>(utf8.size()), allocator);
}

rj::Value GuidValue(const API_Guid& guid, Allocator& allocator)
{
    static const char Digits[] = "0123456789ABCDEF";
    char text[36];
    std::size_t at = 0;
    const auto hex = [&](UInt32 value, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
            text[at++] = Digits[(value >> shift) & 0x0F];
    };
    hex(guid.time_low, 8);
    text[at++] = '-';
    hex(guid.time_mid, 4);
    text[at++] = '-';
    hex(guid.time_hi_and_version, 4);
    text[at++] = '-';
    hex(guid.clock_seq_hi_and_reserved, 2);
    hex(guid.clock_seq_low, 2);
    text[at++] = '-';
    for (const UInt8 byte : guid.node)
        hex(byte, 2);
    return rj::Value(text, static_cast<rj::SizeType>(sizeof text), allocator);
}

bool IsIntegerKind(const rj::Value& value)
{
    return value.IsInt64();
}

GS::UniString DocumentToText(const rj::Value& root)
{
    rj::StringBuffer buffer;
    rj::Writer<rj::StringBuffer> writer(buffer);
    root.Accept(writer);
    return Velmar::UniStringOfUtf8(std::string_view(buffer.GetString(), buffer.GetSize()));
}

}  // namespace Velmar::Json
