#include "JsValueJson.hpp"
#include "HostText.hpp"

#include <cmath>
#include <stdexcept>
#include <string_view>

namespace Sim {

namespace {

// New and owned by the caller: a JS::Object takes its items as plain pointers.
JS::Base* NewJs(const rapidjson::Value& json)
{
    if (json.IsString())
        return new JS::Value(HostText::Uni(std::string_view(json.GetString(), json.GetStringLength())));
    if (json.IsBool())
        return new JS::Value(json.GetBool());
    if (json.IsInt())
        return new JS::Value(static_cast<Int32>(json.GetInt()));
    if (json.IsNumber())
        return new JS::Value(json.GetDouble());
    if (json.IsArray()) {
        auto* array = new JS::Array();
        for (const auto& item : json.GetArray())
            array->AddItem(GS::Ref<JS::Base>(NewJs(item)));
        return array;
    }
    if (json.IsObject()) {
        auto* object = new JS::Object("");
        for (const auto& member : json.GetObject())
            object->AddItem(NewJs(member.value));
        return object;
    }
    return new JS::Value();
}

}  // namespace

GS::Ref<JS::Base> JsFromJson(const rapidjson::Value& json)
{
    return GS::Ref<JS::Base>(NewJs(json));
}

void WriteJs(rapidjson::Writer<rapidjson::StringBuffer>& writer, const GS::Ref<JS::Base>& value)
{
    if (value == nullptr) {
        writer.Null();
        return;
    }
    if (const auto array = GS::DynamicCast<JS::Array>(value)) {
        writer.StartArray();
        for (const auto& item : array->GetItemArray())
            WriteJs(writer, item);
        writer.EndArray();
        return;
    }
    const auto scalar = GS::DynamicCast<JS::Value>(value);
    if (scalar == nullptr)
        throw std::invalid_argument("the function answered an object or a function, which has no JSON form here");
    switch (scalar->GetType()) {
        case JS::Value::UNDEFINED:
            writer.Null();
            break;
        case JS::Value::BOOL:
            writer.Bool(scalar->GetBool());
            break;
        case JS::Value::INTEGER:
            writer.Int(scalar->GetInteger());
            break;
        case JS::Value::DOUBLE:
            if (std::isfinite(scalar->GetDouble()))
                writer.Double(scalar->GetDouble());
            else
                writer.Null();
            break;
        case JS::Value::STRING: {
            const std::string text = HostText::Utf8(scalar->GetString());
            writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
            break;
        }
    }
}

}  // namespace Sim
