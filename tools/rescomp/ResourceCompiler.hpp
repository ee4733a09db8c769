// velmar-rescomp's parser and code generator: Archicad-style .grc text in, the C++ source of the module's
// RS::ModuleData table out.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace rescomp {

// Resource ids are written 0..65535; the table keeps them in the host's 16-bit GSResID by their bit
// pattern, so ids above 32767 (the translations' 37000s) read back as static_cast<GSResID>(id).
using ResourceId = std::uint16_t;

struct StringList {
    ResourceId id;
    std::vector<std::string> entries;  // UTF-8; entry n is entries[n - 1]
};

enum class DialogKind { Palette, Modal };
enum class ItemKind { Browser, Button, StaticText };

struct DialogItem {
    ItemKind kind;
    std::int16_t x, y, width, height;
};

struct Dialog {
    ResourceId id;
    DialogKind kind;
    bool resizable;
    std::int16_t x, y, width, height;
    std::string title;
    std::vector<DialogItem> items;
};

struct Identifier {
    ResourceId id;
    std::uint32_t developerId;
    std::uint32_t localId;
};

struct Location {
    std::string file;
    int line;
};

// Everything read from one or more .grc files.
struct Module {
    std::vector<StringList> stringLists;
    std::vector<Dialog> dialogs;
    std::vector<Identifier> identifiers;
    // Where each (type, id) was first defined, to reject duplicates across files.
    std::map<std::pair<std::string, ResourceId>, Location> defined;
};

// A diagnostic for malformed input; what() reads "file:line: error: message".
class CompileError : public std::runtime_error {
public:
    CompileError(const Location& where, const std::string& message);
    const Location& Where() const { return where_; }

private:
    Location where_;
};

// Adds the resources in `text`, the contents of `file`, to `module`; throws CompileError on malformed input.
void Parse(std::string_view text, const std::string& file, Module& module);

struct Requirement {
    std::string type;
    ResourceId id;
};

// Parses "TYPE:ID" as given to --require; throws std::invalid_argument.
Requirement ParseRequirement(std::string_view text);

// Throws CompileError, reported at `where`, for the first required resource the module lacks.
void CheckRequired(const Module& module, const std::vector<Requirement>& required, const Location& where);

// A C++ string literal for UTF-8 text, plain ASCII with every other or special byte escaped.
std::string CppStringLiteral(std::string_view text);

// The C++ source defining the exported GSResourceModuleData table.
std::string GenerateSource(const Module& module);

}  // namespace rescomp
