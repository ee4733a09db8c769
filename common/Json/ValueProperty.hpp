// Velmar::Json::ValueProperty: one JSON member holding a single optional value.
#pragma once

#include "BaseObject.hpp"
#include "Guid.hpp"
#include "UniString.hpp"
#include "Utf8Text.hpp"

#include <optional>
#include <string>
#include <type_traits>

namespace Velmar::Json {

// First member whose name equals `name` ignoring letter case, in document order.
const rj::Value* FindMemberIgnoringCase(const rj::Value& object, const char* name);
// The member with exactly that name.
const rj::Value* FindMemberExactly(const rj::Value& object, const char* name);

rj::Value TextValue(const GS::UniString& text, Allocator& allocator);
// An integer in the signed 64-bit range written without fraction or exponent.
bool IsIntegerKind(const rj::Value& value);

template <typename T>
class ValueProperty {
public:
    // `name` is a literal: records are made often and their member names never change.
    explicit ValueProperty(const char* name) : key_(name) {}

    bool HasValue() const { return value_.has_value(); }
    const T& Get() const { return *value_; }
    const std::optional<T>& Optional() const { return value_; }
    T ValueOr(const T& fallback) const { return value_.value_or(fallback); }
    void Set(const T& value) { value_ = value; }
    void Clear() { value_.reset(); }
    GS::UniString Name() const { return GS::UniString(key_); }
    const char* Key() const { return key_; }

    void ReadFrom(const rj::Value& object)
    {
        if (!object.IsObject())
            return;
        const rj::Value* member =
            std::is_same_v<T, GS::Guid> ? FindMemberExactly(object, key_) : FindMemberIgnoringCase(object, key_);
        if (member == nullptr) {
            if constexpr (std::is_same_v<T, GS::UniString>)
                value_.reset();
            return;
        }
        if (auto value = Convert(*member))
            value_ = std::move(value);
    }

    void WriteTo(rj::Value& object, Allocator& allocator, bool writeAbsent) const
    {
        if (!value_ && !writeAbsent)
            return;
        rj::Value key(rj::StringRef(key_));
        object.AddMember(key, value_ ? Write(*value_, allocator, writeAbsent) : rj::Value(), allocator);
    }

private:
    static std::optional<T> Convert(const rj::Value& member)
    {
        if constexpr (std::is_same_v<T, GS::UniString>) {
            if (member.IsString())
                return Velmar::UniStringOfUtf8(std::string_view(member.GetString(), member.GetStringLength()));
        } else if constexpr (std::is_same_v<T, bool>) {
            if (member.IsBool())
                return member.GetBool();
        } else if constexpr (std::is_same_v<T, Int32> || std::is_same_v<T, Int16>) {
            // Out of range numbers keep their low bits, as a cast from 64 bits does.
            if (IsIntegerKind(member))
                return static_cast<T>(static_cast<UInt64>(member.GetInt64()));
        } else if constexpr (std::is_same_v<T, GS::Guid>) {
            if (member.IsString()) {
                GS::Guid guid;
                guid.ConvertFromString(member.GetString());
                return guid;
            }
        } else {
            static_assert(std::is_base_of_v<BaseObject, T>,
                          "a property holds text, bool, Int32, Int16, a GUID or a record");
            if (member.IsObject()) {
                T record;
                record.ReadFrom(member);
                return record;
            }
        }
        return std::nullopt;
    }

    static rj::Value Write(const T& value, Allocator& allocator, bool writeAbsent)
    {
        if constexpr (std::is_same_v<T, GS::UniString>) {
            return TextValue(value, allocator);
        } else if constexpr (std::is_same_v<T, bool>) {
            return rj::Value(value);
        } else if constexpr (std::is_same_v<T, Int32> || std::is_same_v<T, Int16>) {
            return rj::Value(static_cast<int>(value));
        } else if constexpr (std::is_same_v<T, GS::Guid>) {
            return TextValue(value.ToUniString(), allocator);
        } else {
            rj::Value nested(rj::kObjectType);
            value.WriteTo(nested, allocator, writeAbsent);
            return nested;
        }
    }

    std::optional<T> value_;
    const char* key_;
};

}  // namespace Velmar::Json
