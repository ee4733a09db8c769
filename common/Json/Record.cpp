#include "Record.hpp"

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

bool EqualIgnoringCase(const char* member, std::size_t memberLength, const std::string& name)
{
    // ASCII names, nearly all of them, are compared without converting; full case folding decides the rest.
    if (IsAscii(member, memberLength) && IsAscii(name.data(), name.size())) {
        if (memberLength != name.size())
            return false;
        for (std::size_t i = 0; i < memberLength; ++i) {
            if (LowerAscii(member[i]) != LowerAscii(name[i]))
                return false;
        }
        return true;
    }
    return GS::UniString::FromUtf8(std::string_view(member, memberLength))
        .IsEqual(GS::UniString::FromUtf8(name), GS::UniString::CaseInsensitive);
}

}  // namespace

const rj::Value* FindMemberIgnoringCase(const rj::Value& object, const std::string& name)
{
    for (auto member = object.MemberBegin(); member != object.MemberEnd(); ++member) {
        if (EqualIgnoringCase(member->name.GetString(), member->name.GetStringLength(), name))
            return &member->value;
    }
    return nullptr;
}

const rj::Value* FindMemberExactly(const rj::Value& object, const std::string& name)
{
    const auto member = object.FindMember(rj::Value(rj::StringRef(name.data(), static_cast<rj::SizeType>(name.size()))));
    return member == object.MemberEnd() ? nullptr : &member->value;
}

rj::Value TextValue(const GS::UniString& text, Allocator& allocator)
{
    const std::string utf8 = text.ToUtf8();
    return rj::Value(utf8.c_str(), static_cast<rj::SizeType>(utf8.size()), allocator);
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
    return GS::UniString::FromUtf8(std::string_view(buffer.GetString(), buffer.GetSize()));
}

}  // namespace Velmar::Json
