#include "UndoStep.hpp"

#include "GSDebug.hpp"

namespace Velmar {

namespace {
// Steps do not nest in the host, and all run on the main thread; the innermost open one notes removals.
StepRemovals* openStep = nullptr;
}  // namespace

StepRemovals::StepRemovals() : outer_(openStep)
{
    openStep = this;
}

StepRemovals::~StepRemovals()
{
    openStep = outer_;
}

void StepRemovals::RemoveAll()
{
    for (auto it = removals_.rbegin(); it != removals_.rend(); ++it) {
        if (const GSErrCode err = it->remove(); err != NoError)
            DBPrintf("Velmar: %s made by a failed step was not removed (%d)\n", it->what.c_str(), err);
    }
    removals_.clear();
}

void RemoveIfStepFails(std::string what, std::function<GSErrCode()> remove)
{
    if (openStep != nullptr)
        openStep->removals_.push_back({std::move(what), std::move(remove)});
}

GSErrCode CreateAttribute(API_Attribute& attribute, API_AttributeDefExt* defs)
{
    const GSErrCode err = ACAPI_Attribute_CreateExt(&attribute, defs);
    if (err == NoError) {
        API_Attr_Head created = attribute.header;
        created.uniStringNamePtr = nullptr;
        RemoveIfStepFails("the attribute \"" + std::string(created.name) + "\"",
                          [created] { return ACAPI_Attribute_Delete(created); });
    }
    return err;
}

}  // namespace Velmar
