// Turning JSON text into records and records into compact JSON text.
#pragma once

#include "ArrayProperty.hpp"
#include "Utf8Text.hpp"
#include "ValueProperty.hpp"

namespace Velmar::Json {

GS::UniString DocumentToText(const rj::Value& root);

// A default record, filled from the text when its root is an object; untouched for anything else.
template <typename T>
T ParseRecord(const std::string& text)
{
    T record;
    rj::Document document;
    if (ParseDocument(text.data(), text.size(), document) && document.IsObject())
        record.ReadFrom(document);
    return record;
}

template <typename T>
T ParseRecord(const GS::UniString& text)
{
    return ParseRecord<T>(Velmar::Utf8Of(text));
}

template <typename T>
T ParseRecord(const char* text)
{
    return ParseRecord<T>(std::string(text));
}

// Every property is written, an absent one as null and an empty list as [] (unless `writeAbsent` is false:
// then what the record does not have is left out).
template <typename T>
GS::UniString RecordToText(const T& record, bool writeAbsent = true)
{
    rj::Document document(rj::kObjectType);
    record.WriteTo(document, document.GetAllocator(), writeAbsent);
    return DocumentToText(document);
}

// An array of records, each leaving out what it does not have.
template <typename List>
GS::UniString RecordListToText(const List& records)
{
    rj::Document document(rj::kArrayType);
    for (const auto& record : records) {
        rj::Value object(rj::kObjectType);
        record.WriteTo(object, document.GetAllocator(), false);
        document.PushBack(object, document.GetAllocator());
    }
    return DocumentToText(document);
}

}  // namespace Velmar::Json
