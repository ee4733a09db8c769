// One user action as one named undo step of the host, its host calls made directly inside it.
#pragma once

#include "ACAPinc.hpp"
#include "GSException.hpp"

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace Velmar {

// What a step made with the host's non-undoable modifiers (attributes, module data): Archicad keeps
// them when the step fails and Edit > Undo leaves them, so the step takes them away itself.
class StepRemovals {
public:
    StepRemovals();
    ~StepRemovals();
    StepRemovals(const StepRemovals&) = delete;
    StepRemovals& operator=(const StepRemovals&) = delete;

    // Newest first; each removal the host refuses is logged, and the rest still run.
    void RemoveAll();

private:
    friend void RemoveIfStepFails(std::string what, std::function<GSErrCode()> remove);
    struct Removal {
        std::string what;
        std::function<GSErrCode()> remove;
    };
    std::vector<Removal> removals_;
    StepRemovals* outer_;
};

// Notes how to take away what the step open on the main thread has just made; outside a step it is
// the caller's to keep.
void RemoveIfStepFails(std::string what, std::function<GSErrCode()> remove);

// ACAPI_Attribute_CreateExt, noted for removal when the step it runs in fails.
GSErrCode CreateAttribute(API_Attribute& attribute, API_AttributeDefExt* defs);

// A failure raised inside `body` is raised again here with its own message, after what the step created
// is removed; a step the host refuses (one inside another command, say) raises a host exception.
template <typename Body>
void RunUndoStep(const GS::UniString& name, Body&& body)
{
    StepRemovals created;
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
    // APIERR_UNDOEMPTY only says that nothing undoable changed: a step that wrote attributes alone.
    if (!raised && (err == NoError || err == APIERR_UNDOEMPTY))
        return;
    created.RemoveAll();
    if (raised)
        std::rethrow_exception(raised);
    throw GS::GeneralException(name + GS::UniString((" was refused by the host (" + std::to_string(err) + ")").c_str()));
}

}  // namespace Velmar
