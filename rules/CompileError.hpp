// Velmar::Rules::CompileError: a logic text that cannot become a predicate, with what went wrong.
#pragma once

#include "GSException.hpp"
#include "Utf8Text.hpp"

#include <string>

namespace Velmar::Rules {

// A host exception, so the bridge reports it like any other host failure. GS::GSException is a virtual
// base, so this class gives it the message itself, as the kit's IMPLEMENT_EXCEPTION_CLASS does.
class CompileError : public GS::GeneralException {
public:
    explicit CompileError(const std::string& message)
        : GS::GSException(UniStringOfUtf8(message), nullptr, 0, nullptr, Error), GS::GeneralException()
    {
    }
    const char* GetName() const override { return "CompileError"; }
    GS::GSException* Clone() const override { return new CompileError(*this); }
};

}  // namespace Velmar::Rules
