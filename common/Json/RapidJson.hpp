// The module's RapidJSON: in its own namespace, with assertions that raise a host exception instead of
// reading garbage (with NDEBUG RapidJSON's accessors on the wrong kind of value do not check).
// Include RapidJSON only through this header in the module.
#pragma once

#include "GSException.hpp"

#define RAPIDJSON_NAMESPACE velmar_rapidjson
#define RAPIDJSON_NAMESPACE_BEGIN namespace velmar_rapidjson {
#define RAPIDJSON_NAMESPACE_END }
#define RAPIDJSON_ASSERT(condition)                                                                                    \
    ((condition) ? static_cast<void>(0) : throw GS::LogicErrorException("JSON access failed: " #condition))
// An assertion raised inside a destructor must not terminate the host.
#define RAPIDJSON_NOEXCEPT_ASSERT(condition) static_cast<void>(0)

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace Velmar::Json {

namespace rj = ::velmar_rapidjson;
using Allocator = rj::Document::AllocatorType;

// Deeper documents are treated as malformed: writing and copying a document, and reading a record tree
// from it, recurse once per level. Measured on a 1 MiB stack, reading the mapping file's classification
// trees (two JSON levels each) runs out at about 2 100 levels in a debug build, 3 100 optimised and 900
// under AddressSanitizer; 1 024 JSON levels (510 classification levels) use at most a quarter of that
// stack in a debug build and leave the rest to the host. docs/properties.md gives the limit to users.
constexpr unsigned MaxNestingDepth = 1024;

// Parses untrusted UTF-8 text: iteratively, with the nesting bounded, so neither parsing nor writing nor
// copying the document can run out of stack.
// Answers false (and leaves `document` null) for anything that is not such a JSON text; `tooDeep`, when
// given, tells whether the text was refused only for going deeper than MaxNestingDepth.
bool ParseDocument(const char* text, std::size_t length, rj::Document& document, bool* tooDeep = nullptr);

}  // namespace Velmar::Json
