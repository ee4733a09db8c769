// What a velmar-sim command is written with: the command's context, its argument readers, its error, and
// the rows an area file adds to the one command table.
#pragma once

#include "Archicad.hpp"
#include "HostJson.hpp"
#include "ModelJson.hpp"

#include <rapidjson/document.h>

#include <cstddef>
#include <optional>
#include <string>

namespace Sim::Script {

using HostJson::Writer;
using HostJson::WriteString;

// A command fills its answer's members, or throws CommandError for {"ok":false,"error":...}.
struct CommandError {
    std::string message;
};

struct Context {
    Archicad& host;
    const rapidjson::Value& command;
    Writer& answer;
    bool& quit;
    std::string& lastPick;
};

inline const rapidjson::Value& Member(const Context& context, const char* name)
{
    if (!context.command.HasMember(name))
        throw CommandError{std::string("missing member \"") + name + "\""};
    return context.command[name];
}

inline std::string StringMember(const Context& context, const char* name)
{
    const auto& value = Member(context, name);
    if (!value.IsString())
        throw CommandError{std::string("\"") + name + "\" must be a text"};
    // With its length: a text that holds a NUL is not cut short into another one.
    return std::string(value.GetString(), value.GetStringLength());
}

inline Int64 IntMember(const Context& context, const char* name, std::optional<Int64> fallback = std::nullopt)
{
    if (!context.command.HasMember(name) && fallback)
        return *fallback;
    const auto& value = Member(context, name);
    if (!value.IsInt64())
        throw CommandError{std::string("\"") + name + "\" must be an integer"};
    return value.GetInt64();
}

inline API_Guid GuidMember(const Context& context, const char* name)
{
    try {
        return Json::ReadGuid(Member(context, name), name);
    } catch (const Json::FormatError& error) {
        throw CommandError{error.what()};
    }
}

// The element the command's "guid" names.
inline const Element& ElementMember(const Context& context)
{
    const Element* element = context.host.CurrentProject().FindElement(GuidMember(context, "guid"));
    if (element == nullptr)
        throw CommandError{"no such element"};
    return *element;
}

struct Command {
    const char* name;
    void (*run)(Context&);
};

// One area file's rows of the table.
struct CommandArea {
    template <std::size_t N>
    constexpr CommandArea(const Command (&rows)[N]) : rows(rows), size(N)
    {
    }
    const Command* rows;
    std::size_t size;
};

// The command of that name from every area's rows; none for an unknown name.
const Command* FindCommand(const std::string& name);

}  // namespace Sim::Script
