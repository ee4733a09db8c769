// One user action as one named undo step of the host, its host calls made directly inside it.
#pragma once

#include "ACAPinc.hpp"
#include "GSException.hpp"

#include <exception>
#include <string>

namespace Velmar {

// A failure raised inside `body` reaches the host, which rolls the step back, and is raised again here
// with its own message; a step the host refuses (one inside another command, say) raises a host exception.
template <typename Body>
void RunUndoStep(const GS::UniString& name, Body&& body)
{
    std::exception_ptr raised;
    const GSErrCode err = ACAPI_CallUndoableCommand(name, [&]() -> GSErrCode {
        try {
            body();
        } catch (const GS::Exception&) {
            raised = std::current_exception();
            throw;
        } catch (const std::exception&) {
            raised = std::current_exception();
            throw;
        }
        return NoError;
    });
    if (raised)
        std::rethrow_exception(raised);
    if (err != NoError)
        throw GS::GeneralException(name + GS::UniString((" was refused by the host (" + std::to_string(err) + ")").c_str()));
}

}  // namespace Velmar
