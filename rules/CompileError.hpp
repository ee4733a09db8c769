// Velmar::Rules::CompileError: a logic text that cannot become a predicate, with what went wrong.
#pragma once

#include "GSException.hpp"

#include <string>

namespace Velmar::Rules {

// A host exception, so the bridge reports it like any other host failure.
class CompileError : public GS::GeneralException {
public:
    explicit CompileError(const std::string& message) : GS::GeneralException(GS::UniString(message)) {}
    const char* GetName() const override { return "CompileError"; }
};

}  // namespace Velmar::Rules
