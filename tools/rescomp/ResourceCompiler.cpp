#include "ResourceCompiler.hpp"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <sstream>

namespace rescomp {

namespace {

const std::pair<const char*, DialogKind> kDialogKinds[] = {{"Palette", DialogKind::Palette},
                                                           {"Modal", DialogKind::Modal}};
const std::pair<const char*, ItemKind> kItemKinds[] = {
    {"Browser", ItemKind::Browser}, {"Button", ItemKind::Button}, {"StaticText", ItemKind::StaticText}};
// Accepted but without effect on the table: the host decides captions and window buttons itself.
const char* const kOtherDialogFlags[] = {"leftCaption", "topCaption", "close", "noMinimize", "noMaximize"};
const char* const kResourceTypes[] = {"STR#", "GDLG", "DLGH", "MDID"};

template <typename T, std::size_t N>
const T* FindByName(const std::pair<const char*, T> (&table)[N], const std::string& name)
{
    for (const auto& [entryName, value] : table)
        if (name == entryName)
            return &value;
    return nullptr;
}

template <typename T, std::size_t N>
const char* NameOf(const std::pair<const char*, T> (&table)[N], T value)
{
    for (const auto& [name, entryValue] : table)
        if (value == entryValue)
            return name;
    return "";
}

template <std::size_t N>
bool Contains(const char* const (&names)[N], std::string_view name)
{
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// The line of the first byte that is not well-formed UTF-8 (overlong forms and surrogates included), or 0.
int FirstInvalidUtf8Line(std::string_view text)
{
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            line += lead == '\n';
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (length == 0 || lead > 0xF4 || i + length > text.size())
            return line;
        std::uint32_t code = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return line;
            code = (code << 6) | (next & 0x3F);
        }
        const std::uint32_t shortest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (code < shortest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return line;
        i += length;
    }
    return 0;
}

enum class Tok { End, Type, Number, Word, String, Open, Close, Bar };

struct Token {
    Tok kind;
    std::string text;  // strings unescaped, type tags without their quotes
    int line;
};

bool IsWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

std::vector<Token> Tokenize(std::string_view text, const std::string& file)
{
    const auto fail = [&file](int line, const std::string& message) { throw CompileError({file, line}, message); };
    std::vector<Token> tokens;
    int line = 1;
    std::size_t pos = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    while (pos < text.size()) {
        const char c = text[pos];
        if (c == '\n' || c == ' ' || c == '\t' || c == '\r') {
            line += c == '\n';
            ++pos;
        } else if (text.compare(pos, 2, "//") == 0) {
            pos = std::min(text.find('\n', pos), text.size());
        } else if (text.compare(pos, 2, "/*") == 0) {
            const std::size_t end = text.find("*/", pos + 2);
            if (end == std::string_view::npos)
                fail(line, "unterminated comment");
            line += static_cast<int>(std::count(text.begin() + pos, text.begin() + end, '\n'));
            pos = end + 2;
        } else if (c == '\'') {
            const std::size_t end = text.find_first_of("'\n", pos + 1);
            if (end == std::string_view::npos || text[end] != '\'')
                fail(line, "unterminated resource type");
            tokens.push_back({Tok::Type, std::string(text.substr(pos + 1, end - pos - 1)), line});
            pos = end + 1;
        } else if (c == '"') {
            Token token{Tok::String, {}, line};
            for (++pos; pos >= text.size() || text[pos] != '"'; ++pos) {
                if (pos >= text.size() || text[pos] == '\n')
                    fail(line, "unterminated string");
                if (text[pos] != '\\') {
                    token.text += text[pos];
                    continue;
                }
                const char escaped = ++pos < text.size() ? text[pos] : '\0';
                if (escaped == '"' || escaped == '\\')
                    token.text += escaped;
                else if (escaped == 'n' || escaped == 't')
                    token.text += escaped == 'n' ? '\n' : '\t';
                else
                    fail(line, "unknown escape sequence in string");
            }
            tokens.push_back(std::move(token));
            ++pos;
        } else if (c == '{' || c == '}' || c == '|') {
            tokens.push_back({c == '{' ? Tok::Open : c == '}' ? Tok::Close : Tok::Bar, std::string(1, c), line});
            ++pos;
        } else if (IsWordChar(c) || c == '-') {
            const std::size_t start = pos++;
            while (pos < text.size() && IsWordChar(text[pos]))
                ++pos;
            const bool number = c == '-' || (c >= '0' && c <= '9');
            tokens.push_back({number ? Tok::Number : Tok::Word, std::string(text.substr(start, pos - start)), line});
        } else {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            fail(line, std::string("unexpected character ") + byte);
        }
    }
    tokens.push_back({Tok::End, {}, line});
    return tokens;
}

std::string Describe(const Token& token)
{
    if (token.kind == Tok::End)
        return "end of input";
    return token.kind == Tok::String ? "\"" + token.text + "\"" : "'" + token.text + "'";
}

class Parser {
public:
    Parser(std::vector<Token> tokens, const std::string& file, Module& module)
        : tokens_(std::move(tokens)), file_(file), module_(module)
    {
    }

    void Run()
    {
        while (Peek().kind != Tok::End)
            ParseResource();
    }

private:
    const Token& Peek() const { return tokens_[pos_]; }
    const Token& Next() { return tokens_[Peek().kind == Tok::End ? pos_ : pos_++]; }

    [[noreturn]] void Fail(int line, const std::string& message) const { throw CompileError({file_, line}, message); }

    const Token& Expect(Tok kind, const std::string& what)
    {
        if (Peek().kind != kind)
            Fail(Peek().line, "expected " + what + ", found " + Describe(Peek()));
        return Next();
    }

    long long Number(long long min, long long max, const std::string& what)
    {
        const Token& token = Expect(Tok::Number, what);
        const std::string& text = token.text;
        const std::size_t start = text[0] == '-' ? 1 : 0;
        if (start == text.size() || text.find_first_not_of("0123456789", start) != std::string::npos)
            Fail(token.line, "bad number '" + text + "'");
        long long value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || value < min || value > max)
            Fail(token.line,
                 what + " " + text + " is out of range " + std::to_string(min) + ".." + std::to_string(max));
        return value;
    }

    std::int16_t Int16(const std::string& what, bool nonNegative = false)
    {
        return static_cast<std::int16_t>(Number(nonNegative ? 0 : std::numeric_limits<std::int16_t>::min(),
                                                std::numeric_limits<std::int16_t>::max(), what));
    }

    void Rect(std::int16_t& x, std::int16_t& y, std::int16_t& width, std::int16_t& height)
    {
        x = Int16("x coordinate");
        y = Int16("y coordinate");
        width = Int16("width", true);
        height = Int16("height", true);
    }

    int OpenBlock() { return Expect(Tok::Open, "'{'").line; }

    // True once the block's '}' is consumed; running out of input reports the line the block opened on.
    bool Closes(int openLine)
    {
        if (Peek().kind == Tok::End)
            Fail(openLine, "missing '}' for the block opened here");
        if (Peek().kind != Tok::Close)
            return false;
        Next();
        return true;
    }

    void ParseResource()
    {
        const Token& type = Expect(Tok::Type, "a resource type such as 'STR#'");
        if (!Contains(kResourceTypes, type.text))
            Fail(type.line, "unknown resource type '" + type.text + "'");
        const auto id = static_cast<ResourceId>(Number(0, std::numeric_limits<ResourceId>::max(), "resource id"));
        const auto [first, added] = module_.defined.emplace(std::make_pair(type.text, id), Location{file_, type.line});
        if (!added)
            Fail(type.line, "duplicate '" + type.text + "' " + std::to_string(id) + ", first defined at " +
                                first->second.file + ":" + std::to_string(first->second.line));
        if (type.text == "STR#")
            ParseStringList(type.line, id);
        else if (type.text == "GDLG")
            ParseDialog(id);
        else if (type.text == "DLGH")
            ParseHelpAnchors();
        else
            ParseIdentifier(id);
    }

    void ParseStringList(int line, ResourceId id)
    {
        Expect(Tok::String, "the resource name");
        const int open = OpenBlock();
        StringList list{id, {}};
        while (!Closes(open))
            list.entries.push_back(Expect(Tok::String, "a string or '}'").text);
        if (list.entries.empty())
            Fail(line, "'STR#' " + std::to_string(id) + " has no entries");
        module_.stringLists.push_back(std::move(list));
    }

    void ParseDialog(ResourceId id)
    {
        Dialog dialog{id, DialogKind::Palette, false, 0, 0, 0, 0, {}, {}};
        const Token& kind = Expect(Tok::Word, "the dialog kind");
        const DialogKind* dialogKind = FindByName(kDialogKinds, kind.text);
        if (dialogKind == nullptr)
            Fail(kind.line, "unknown dialog kind '" + kind.text + "'");
        dialog.kind = *dialogKind;
        bool noGrow = false;
        while (Peek().kind == Tok::Bar) {
            Next();
            const Token& flag = Expect(Tok::Word, "a dialog flag");
            dialog.resizable |= flag.text == "grow";
            noGrow |= flag.text == "noGrow";
            if (flag.text != "grow" && flag.text != "noGrow" && !Contains(kOtherDialogFlags, flag.text))
                Fail(flag.line, "unknown dialog flag '" + flag.text + "'");
        }
        if (dialog.resizable && noGrow)
            Fail(kind.line, "dialog flags 'grow' and 'noGrow' contradict each other");
        Rect(dialog.x, dialog.y, dialog.width, dialog.height);
        dialog.title = Expect(Tok::String, "the dialog title").text;
        const int open = OpenBlock();
        while (!Closes(open)) {
            const Token& itemKind = Expect(Tok::Word, "a dialog item or '}'");
            const ItemKind* found = FindByName(kItemKinds, itemKind.text);
            if (found == nullptr)
                Fail(itemKind.line, "unknown dialog item '" + itemKind.text + "'");
            DialogItem item{*found, 0, 0, 0, 0};
            Rect(item.x, item.y, item.width, item.height);
            if (item.kind != ItemKind::Browser && Peek().kind == Tok::String)
                Next();
            dialog.items.push_back(item);
        }
        module_.dialogs.push_back(std::move(dialog));
    }

    void ParseHelpAnchors()
    {
        Expect(Tok::Word, "the dialog name");
        const int open = OpenBlock();
        while (!Closes(open)) {
            Int16("help item number");
            Expect(Tok::String, "the help text");
            Expect(Tok::Word, "the help anchor");
        }
    }

    void ParseIdentifier(ResourceId id)
    {
        Expect(Tok::String, "the resource name");
        const int open = OpenBlock();
        const auto developerId = static_cast<std::uint32_t>(Number(0, 0xFFFFFFFF, "developer id"));
        const auto localId = static_cast<std::uint32_t>(Number(0, 0xFFFFFFFF, "local id"));
        if (!Closes(open))
            Fail(Peek().line, "expected '}' after the two identifier values, found " + Describe(Peek()));
        module_.identifiers.push_back({id, developerId, localId});
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    const std::string& file_;
    Module& module_;
};

std::string IdLiteral(ResourceId id)
{
    return std::to_string(id);
}

std::string TableOrNull(bool any, const std::string& name, std::size_t count)
{
    return any ? name + ", " + std::to_string(count) : "nullptr, 0";
}

}  // namespace

CompileError::CompileError(const Location& where, const std::string& message)
    : std::runtime_error(where.file + ":" + std::to_string(where.line) + ": error: " + message), where_(where)
{
}

void Parse(std::string_view text, const std::string& file, Module& module)
{
    if (const int line = FirstInvalidUtf8Line(text))
        throw CompileError({file, line}, "invalid UTF-8");
    Parser(Tokenize(text, file), file, module).Run();
}

Requirement ParseRequirement(std::string_view text)
{
    const std::size_t colon = text.rfind(':');
    int id = 0;
    const char* end = text.data() + text.size();
    if (colon != std::string_view::npos && Contains(kResourceTypes, text.substr(0, colon))) {
        const auto [stop, error] = std::from_chars(text.data() + colon + 1, end, id);
        if (error == std::errc() && stop == end && colon + 1 < text.size() && id >= 0 &&
            id <= std::numeric_limits<ResourceId>::max())
            return {std::string(text.substr(0, colon)), static_cast<ResourceId>(id)};
    }
    throw std::invalid_argument("bad requirement '" + std::string(text) + "', expected TYPE:ID such as STR#:32000");
}

void CheckRequired(const Module& module, const std::vector<Requirement>& required, const Location& where)
{
    for (const Requirement& requirement : required)
        if (module.defined.count({requirement.type, requirement.id}) == 0)
            throw CompileError(where, "required resource '" + requirement.type + "' " + std::to_string(requirement.id) +
                                          " is not defined");
}

std::string CppStringLiteral(std::string_view text)
{
    std::string literal = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            literal += '\\';
            literal += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            literal += c;
        } else {
            // Always three octal digits, so a digit that follows cannot extend the escape.
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\%03o", static_cast<unsigned>(byte));
            literal += escape;
        }
    }
    return literal + "\"";
}

std::string GenerateSource(const Module& module)
{
    std::ostringstream out;
    out << "// Generated by velmar-rescomp from the module's .grc files; edit those instead.\n"
           "#include \"RS.hpp\"\n\nnamespace {\n";
    std::size_t stringCount = 0;
    if (!module.stringLists.empty()) {
        out << "\nconst RS::StringEntry kStrings[] = {\n";
        for (const StringList& list : module.stringLists)
            for (std::size_t i = 0; i < list.entries.size(); ++i, ++stringCount)
                out << "    {" << IdLiteral(list.id) << ", " << i + 1 << ", " << CppStringLiteral(list.entries[i])
                    << "},\n";
        out << "};\n";
    }
    for (std::size_t d = 0; d < module.dialogs.size(); ++d) {
        if (module.dialogs[d].items.empty())
            continue;
        out << "\nconst RS::DialogItem kDialogItems" << d << "[] = {\n";
        for (const DialogItem& item : module.dialogs[d].items)
            out << "    {RS::DialogItemKind::" << NameOf(kItemKinds, item.kind) << ", " << item.x << ", " << item.y
                << ", " << item.width << ", " << item.height << "},\n";
        out << "};\n";
    }
    if (!module.dialogs.empty()) {
        out << "\nconst RS::Dialog kDialogs[] = {\n";
        for (std::size_t d = 0; d < module.dialogs.size(); ++d) {
            const Dialog& dialog = module.dialogs[d];
            out << "    {" << IdLiteral(dialog.id) << ", RS::DialogKind::" << NameOf(kDialogKinds, dialog.kind) << ", "
                << (dialog.resizable ? "true" : "false") << ", " << dialog.x << ", " << dialog.y << ", " << dialog.width
                << ", " << dialog.height << ", " << CppStringLiteral(dialog.title) << ", "
                << TableOrNull(!dialog.items.empty(), "kDialogItems" + std::to_string(d), dialog.items.size())
                << "},\n";
        }
        out << "};\n";
    }
    if (!module.identifiers.empty()) {
        out << "\nconst RS::ModuleIdentifier kIdentifiers[] = {\n";
        for (const Identifier& identifier : module.identifiers)
            out << "    {" << IdLiteral(identifier.id) << ", " << identifier.developerId << "u, " << identifier.localId
                << "u},\n";
        out << "};\n";
    }
    out << "\n}  // namespace\n\n"
           "extern \"C\" __attribute__((visibility(\"default\"))) const RS::ModuleData GSResourceModuleData = {\n    "
        << TableOrNull(stringCount > 0, "kStrings", stringCount) << ", "
        << TableOrNull(!module.dialogs.empty(), "kDialogs", module.dialogs.size()) << ", "
        << TableOrNull(!module.identifiers.empty(), "kIdentifiers", module.identifiers.size()) << "};\n";
    return out.str();
}

}  // namespace rescomp
