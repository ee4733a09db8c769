#include "RapidJson.hpp"

#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

namespace Velmar::Json {

namespace {

// Forwards the parse events to the document, refusing to go deeper than MaxNestingDepth.
class DepthLimitedHandler {
public:
    explicit DepthLimitedHandler(rj::Document& document) : document_(document) {}

    bool Null() { return document_.Null(); }
    bool Bool(bool value) { return document_.Bool(value); }
    bool Int(int value) { return document_.Int(value); }
    bool Uint(unsigned value) { return document_.Uint(value); }
    bool Int64(int64_t value) { return document_.Int64(value); }
    bool Uint64(uint64_t value) { return document_.Uint64(value); }
    bool Double(double value) { return document_.Double(value); }
    bool RawNumber(const char* text, rj::SizeType length, bool copy) { return document_.RawNumber(text, length, copy); }
    bool String(const char* text, rj::SizeType length, bool copy) { return document_.String(text, length, copy); }
    bool Key(const char* text, rj::SizeType length, bool copy) { return document_.Key(text, length, copy); }
    bool StartObject() { return Enter() && document_.StartObject(); }
    bool EndObject(rj::SizeType members)
    {
        --depth_;
        return document_.EndObject(members);
    }
    bool StartArray() { return Enter() && document_.StartArray(); }
    bool TooDeep() const { return depth_ > MaxNestingDepth; }
    bool EndArray(rj::SizeType elements)
    {
        --depth_;
        return document_.EndArray(elements);
    }

private:
    bool Enter() { return ++depth_ <= MaxNestingDepth; }

    rj::Document& document_;
    unsigned depth_ = 0;
};

}  // namespace

bool ParseDocument(const char* text, std::size_t length, rj::Document& document, bool* tooDeep)
{
    // Encoding is not validated, as in the default parse: a stray byte becomes U+FFFD when the text
    // turns into a host string, and the record keeps the rest of what it says.
    constexpr unsigned Flags = rj::kParseIterativeFlag;
    bool parsed = false;
    bool deep = false;
    auto generator = [&](rj::Document& target) {
        // A plain byte stream, as the default parse reads: a byte order mark is not skipped.
        rj::MemoryStream stream(text, length);
        rj::Reader reader;
        DepthLimitedHandler handler(target);
        parsed = !reader.Parse<Flags>(stream, handler).IsError();
        deep = handler.TooDeep();
        return parsed;
    };
    document.SetNull();
    document.Populate(generator);
    if (!parsed)
        document.SetNull();
    if (tooDeep != nullptr)
        *tooDeep = deep;
    return parsed;
}

}  // namespace Velmar::Json
