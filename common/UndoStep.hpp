// One user action as one named undo step of the host, its host calls made directly inside it, and the
// writers of the add-on's own data that put back what they changed when the step cannot complete.
#pragma once

#include "ACAPinc.hpp"
#include "GSException.hpp"
#include "HostRefusals.hpp"

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace Velmar {

// How to put back each write of the step open on the main thread. The kit does not say that Archicad
// rolls back a command that fails or throws, and attributes and module data are non-undoable anyway, so a
// step that cannot complete puts back its own writes, newest first, inside the command.
class StepJournal {
public:
    StepJournal();
    ~StepJournal();
    StepJournal(const StepJournal&) = delete;
    StepJournal& operator=(const StepJournal&) = delete;

    // Each put-back the host refuses is logged, and the rest still run.
    void PutBackAll();
    // The values skipped so far, by property name with how many; emptied.
    std::vector<std::pair<GS::UniString, int>> TakeSkipped() { return std::exchange(skipped_, {}); }

private:
    friend void PutBackIfStepFails(std::string what, std::function<GSErrCode()> putBack);
    friend void PutBackValueIfStepFails(const API_Guid& element, API_Property&& before);
    friend void NoteSkippedValue(const GS::UniString& property);
    friend bool InStep();
    struct Entry {
        std::string what;
        std::function<GSErrCode()> putBack;
    };
    // A value as it was before the step wrote it: a re-apply keeps one for every value it changes, so
    // they are kept flat, without their definitions.
    struct ValueBefore {
        API_Guid element;
        API_Guid definition;
        bool isDefault;
        API_PropertyValue value;
    };
    void PutBackValues();

    std::vector<Entry> entries_;
    std::vector<ValueBefore> values_;
    std::vector<std::pair<GS::UniString, int>> skipped_;
    StepJournal* outer_;
};

// A property value the step leaves unwritten, as it may (the host refused the value, or its definition
// could not be made): a step reports them together when it completes; outside one (the user's own
// command) each goes to the add-on's log.
void NoteSkippedValue(const GS::UniString& property);
// Tells the user, in their language, of the values a completed step skipped; set once at start-up.
using SkipReport = void (*)(const std::vector<std::pair<GS::UniString, int>>& skipped);
void SetSkipReport(SkipReport report);
void ReportSkipped(const std::vector<std::pair<GS::UniString, int>>& skipped);

// Notes how to put back what the open step has just written; outside a step it is the caller's to keep.
void PutBackIfStepFails(std::string what, std::function<GSErrCode()> putBack);
bool InStep();

// The kit's writers of the add-on's data, each noting how to put back what it replaced when it succeeds
// inside a step.
GSErrCode CreateAttribute(API_Attribute& attribute, API_AttributeDefExt* defs);
GSErrCode ModifyAttribute(API_Attribute& attribute, API_AttributeDefExt* defs);
GSErrCode SetAttributeUserData(const API_Attr_Head& attribute, const API_AttributeUserData& userData);
GSErrCode SetElementUserData(const API_Elem_Head& element, const API_ElementUserData& userData);
GSErrCode StoreModuleData(const API_ModulData& data, const GS::UniString& name);
GSErrCode CreatePropertyGroup(API_PropertyGroup& group);
GSErrCode CreatePropertyDefinition(API_PropertyDefinition& definition);
GSErrCode ChangePropertyDefinition(const API_PropertyDefinition& before, const API_PropertyDefinition& after);
// A value about to be written over, as read from the element (its value is taken).
void PutBackValueIfStepFails(const API_Guid& element, API_Property&& before);

// A failure raised inside `body` is raised again here with its own message, after what the step wrote
// is put back; a step the host refuses (one inside another command, say) raises a host exception.
template <typename Body>
void RunUndoStep(const GS::UniString& name, Body&& body)
{
    const HostRefusalsLogged refusals(name);
    std::exception_ptr raised;
    std::vector<std::pair<GS::UniString, int>> skipped;
    const GSErrCode err = ACAPI_CallUndoableCommand(name, [&]() -> GSErrCode {
        StepJournal journal;
        try {
            body();
            skipped = journal.TakeSkipped();
            return NoError;
        } catch (const GS::Exception&) {
            raised = std::current_exception();
        } catch (const std::exception&) {
            raised = std::current_exception();
        }
        journal.PutBackAll();
        return APIERR_CANCEL;
    });
    if (raised)
        std::rethrow_exception(raised);
    // APIERR_UNDOEMPTY only says that nothing undoable changed: a step that wrote attributes alone.
    if (err == NoError || err == APIERR_UNDOEMPTY) {
        ReportSkipped(skipped);
        return;
    }
    throw GS::GeneralException(name +
                               GS::UniString((" was refused by the host (" + std::to_string(err) + ")").c_str()));
}

}  // namespace Velmar
