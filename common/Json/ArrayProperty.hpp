// Velmar::Json::ArrayProperty: one JSON member holding an array of texts, GUIDs, integers or records.
#pragma once

#include "APIdefs.h"
#include "Array.hpp"
#include "Utf8Text.hpp"
#include "ValueProperty.hpp"

#include <functional>

namespace Velmar::Json {

// The GUID's text as APIGuidToString gives it, written straight from its fields: result lists carry
// hundreds of thousands of them.
rj::Value GuidValue(const API_Guid& guid, Allocator& allocator);

template <typename T>
class ArrayProperty {
public:
    using ItemMaker = std::function<T(const rj::Value& element)>;

    // `name` is a literal, as for ValueProperty.
    explicit ArrayProperty(const char* name) : key_(name) {}
    virtual ~ArrayProperty() = default;

    GS::Array<T>& Items() { return items_; }
    const GS::Array<T>& Items() const { return items_; }
    GS::UniString Name() const { return GS::UniString(key_); }

    // Each non-null element becomes an item through `makeItem`.
    virtual void ReadFrom(const rj::Value& object, const ItemMaker& makeItem)
    {
        const rj::Value* array = Member(object);
        if (array == nullptr)
            return;
        items_.Clear();
        for (const auto& element : array->GetArray()) {
            if (!element.IsNull())
                items_.Push(makeItem(element));
        }
    }

    // Elements of the wrong kind are skipped.
    virtual void ReadFrom(const rj::Value& object)
    {
        const rj::Value* array = Member(object);
        if (array == nullptr)
            return;
        items_.Clear();
        items_.SetCapacity(array->Size());
        for (const auto& element : array->GetArray()) {
            if (auto item = Convert(element))
                items_.Push(std::move(*item));
        }
    }

    virtual void WriteTo(rj::Value& object, Allocator& allocator, bool writeAbsent) const
    {
        if (items_.IsEmpty() && !writeAbsent)
            return;
        rj::Value array(rj::kArrayType);
        array.Reserve(items_.GetSize(), allocator);
        for (const T& item : items_)
            array.PushBack(Write(item, allocator, writeAbsent), allocator);
        rj::Value key(rj::StringRef(key_));
        object.AddMember(key, array, allocator);
    }

private:
    const rj::Value* Member(const rj::Value& object) const
    {
        const rj::Value* member = object.IsObject() ? FindMemberExactly(object, key_) : nullptr;
        return member != nullptr && member->IsArray() ? member : nullptr;
    }

    static std::optional<T> Convert(const rj::Value& element)
    {
        if constexpr (std::is_same_v<T, GS::UniString>) {
            if (element.IsString())
                return Velmar::UniStringOfUtf8(std::string_view(element.GetString(), element.GetStringLength()));
        } else if constexpr (std::is_same_v<T, API_Guid>) {
            if (element.IsString()) {
                GS::Guid guid;
                guid.ConvertFromString(element.GetString());
                return GSGuid2APIGuid(guid);
            }
        } else if constexpr (std::is_same_v<T, Int32>) {
            if (element.IsInt())
                return element.GetInt();
        } else {
            static_assert(std::is_base_of_v<BaseObject, T>, "an array holds texts, GUIDs, Int32 or records");
            // Only objects are records: a number or text in a record list is not read as one.
            if (element.IsObject()) {
                T record;
                record.ReadFrom(element);
                return record;
            }
        }
        return std::nullopt;
    }

    static rj::Value Write(const T& item, Allocator& allocator, bool writeAbsent)
    {
        if constexpr (std::is_same_v<T, GS::UniString>) {
            return TextValue(item, allocator);
        } else if constexpr (std::is_same_v<T, API_Guid>) {
            return GuidValue(item, allocator);
        } else if constexpr (std::is_same_v<T, Int32>) {
            return rj::Value(item);
        } else {
            rj::Value nested(rj::kObjectType);
            item.WriteTo(nested, allocator, writeAbsent);
            return nested;
        }
    }

    GS::Array<T> items_;
    const char* key_;
};

}  // namespace Velmar::Json
