// Velmar::Json::BaseObject: a record that reads itself from a JSON object and writes itself into one.
// A record lists its properties once with VELMAR_JSON_MEMBERS, so reading and writing cannot drift apart.
#pragma once

#include "RapidJson.hpp"

namespace Velmar::Json {

class BaseObject {
public:
    virtual ~BaseObject() = default;
    virtual void ReadFrom(const rj::Value& object) = 0;
    virtual void WriteTo(rj::Value& object, Allocator& allocator, bool writeAbsent) const = 0;
};

namespace Detail {
template <typename Visitor, typename... Properties>
void VisitEach(Visitor&& visitor, Properties&... properties)
{
    (visitor(properties), ...);
}
}  // namespace Detail

}  // namespace Velmar::Json

// Declares the record's properties in written order and implements ReadFrom and WriteTo from them.
#define VELMAR_JSON_MEMBERS(...)                                                                                       \
    void ReadFrom(const ::Velmar::Json::rj::Value& object) override                                                    \
    {                                                                                                                  \
        ::Velmar::Json::Detail::VisitEach([&](auto& property) { property.ReadFrom(object); }, __VA_ARGS__);            \
    }                                                                                                                  \
    VELMAR_JSON_WRITE_MEMBERS(__VA_ARGS__)

// For a record whose reading does more than read each property (it logs its steps, say): only WriteTo.
#define VELMAR_JSON_WRITE_MEMBERS(...)                                                                                 \
    void WriteTo(::Velmar::Json::rj::Value& object, ::Velmar::Json::Allocator& allocator, bool writeAbsent)            \
        const override                                                                                                 \
    {                                                                                                                  \
        ::Velmar::Json::Detail::VisitEach(                                                                             \
            [&](const auto& property) { property.WriteTo(object, allocator, writeAbsent); }, __VA_ARGS__);             \
    }
