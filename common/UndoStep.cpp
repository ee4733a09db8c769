#include "UndoStep.hpp"

#include "GSDebug.hpp"
#include "HandleOwner.hpp"
#include "Logger.hpp"
#include "Utf8Text.hpp"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace Velmar {

namespace {
// Steps do not nest in the host, and all run on the main thread; the innermost open one takes the notes.
StepJournal* openStep = nullptr;
SkipReport skipReport = nullptr;

void Log(const std::string& line)
{
    try {
        Services::logger::instance()->log(UniStringOfUtf8(line));
    } catch (const GS::Exception& exception) {
        DBPrintf("Velmar: the log was not written: %s\n", Utf8Of(exception.GetMessage()).c_str());
    }
}

// A copy of user data the host handed out, as the kit's records hold it: version, sign and bytes.
template <typename Record>
struct SavedUserData {
    decltype(Record::dataVersion) dataVersion = 0;
    decltype(Record::platformSign) platformSign = 0;
    std::string bytes;

    static SavedUserData Of(const Record& record)
    {
        const Int32 size = record.dataHdl != nullptr ? BMGetHandleSize(record.dataHdl) : 0;
        return {record.dataVersion, record.platformSign,
                size > 0 ? std::string(*record.dataHdl, static_cast<std::size_t>(size)) : std::string()};
    }

    // Calls `write` with the record rebuilt in a handle of its own.
    template <typename Write>
    GSErrCode WriteWith(Write&& write) const
    {
        HandleOwner data(BMAllocateHandle(static_cast<Int32>(bytes.size()), 0, 0));
        if (data.Get() == nullptr)
            return APIERR_MEMFULL;
        std::memcpy(*data.Get(), bytes.data(), bytes.size());
        Record record = {};
        record.dataVersion = dataVersion;
        record.platformSign = platformSign;
        record.dataHdl = data.Get();
        return write(record);
    }
};
}  // namespace

StepJournal::StepJournal() : outer_(openStep)
{
    openStep = this;
}

StepJournal::~StepJournal()
{
    openStep = outer_;
}

void StepJournal::PutBackAll()
{
    // Putting back writes too, and those must not be noted again.
    StepJournal* const open = openStep;
    openStep = nullptr;
    // Values first: they hang on definitions the step may have made, and on nothing else it wrote.
    PutBackValues();
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (const GSErrCode err = it->putBack(); err != NoError) {
            DBPrintf("Velmar: %s written by a failed step was not put back (%d)\n", it->what.c_str(), err);
            Log(it->what + " written by a failed step was not put back (" + std::to_string(err) + ")");
        }
    }
    entries_.clear();
    openStep = open;
}

// Newest first, so a value written twice ends as it was before the first write; each element's run of
// values goes back in one call.
void StepJournal::PutBackValues()
{
    GS::Array<API_Property> batch;
    for (auto it = values_.rbegin(); it != values_.rend();) {
        const API_Guid element = it->element;
        batch.Clear();
        for (; it != values_.rend() && it->element == element; ++it) {
            API_Property property;
            property.definition.guid = it->definition;
            property.isDefault = it->isDefault;
            property.status = API_Property_HasValue;
            property.value = std::move(it->value);
            batch.Push(std::move(property));
        }
        if (const GSErrCode err = ACAPI_Element_SetProperties(element, batch); err != NoError) {
            DBPrintf("Velmar: the property values of an element written by a failed step were not put back (%d)\n",
                     err);
            Log("the property values of an element written by a failed step were not put back (" + std::to_string(err) +
                ")");
        }
    }
    values_.clear();
}

void PutBackIfStepFails(std::string what, std::function<GSErrCode()> putBack)
{
    if (openStep != nullptr)
        openStep->entries_.push_back({std::move(what), std::move(putBack)});
}

void NoteSkippedValue(const GS::UniString& property)
{
    if (openStep == nullptr) {
        Log("the value \"" + Utf8Of(property) + "\" was not written");
        return;
    }
    auto& skipped = openStep->skipped_;
    const auto found =
        std::find_if(skipped.begin(), skipped.end(), [&](const auto& entry) { return entry.first == property; });
    if (found != skipped.end())
        ++found->second;
    else
        skipped.emplace_back(property, 1);
}

void SetSkipReport(SkipReport report)
{
    skipReport = report;
}

void ReportSkipped(const std::vector<std::pair<GS::UniString, int>>& skipped)
{
    if (skipped.empty())
        return;
    std::string line = "values not written:";
    for (const auto& [property, count] : skipped)
        line += " \"" + Utf8Of(property) + "\" " + std::to_string(count) + "x";
    Log(line);
    if (skipReport != nullptr)
        skipReport(skipped);
}

bool InStep()
{
    return openStep != nullptr;
}

GSErrCode CreateAttribute(API_Attribute& attribute, API_AttributeDefExt* defs)
{
    const GSErrCode err = ACAPI_Attribute_CreateExt(&attribute, defs);
    if (err == NoError) {
        API_Attr_Head created = attribute.header;
        created.uniStringNamePtr = nullptr;
        PutBackIfStepFails("the attribute \"" + std::string(created.name) + "\"",
                           [created] { return ACAPI_Attribute_Delete(created); });
    }
    return err;
}

GSErrCode ModifyAttribute(API_Attribute& attribute, API_AttributeDefExt* defs)
{
    if (!InStep())
        return ACAPI_Attribute_ModifyExt(&attribute, defs);
    // The attribute as it was, its name as the host keeps it and its composite's skins and lines.
    struct Before {
        API_Attribute attribute;
        GS::UniString name;
        API_AttributeDefExt defs;
        ~Before() { ACAPI_DisposeAttrDefsHdlsExt(&defs); }
    };
    auto before = std::make_shared<Before>();
    BNZeroMemory(&before->attribute, sizeof(API_Attribute));
    before->defs = {};
    before->attribute.header.typeID = attribute.header.typeID;
    before->attribute.header.index = attribute.header.index;
    before->attribute.header.uniStringNamePtr = &before->name;
    if (const GSErrCode err = ACAPI_Attribute_Get(&before->attribute); err != NoError)
        return err;
    if (attribute.header.typeID == API_CompWallID) {
        if (const GSErrCode err =
                ACAPI_Attribute_GetDefExt(attribute.header.typeID, attribute.header.index, &before->defs);
            err != NoError)
            return err;
    }
    const GSErrCode err = ACAPI_Attribute_ModifyExt(&attribute, defs);
    if (err == NoError) {
        PutBackIfStepFails("the attribute \"" + Utf8Of(before->name) + "\"", [before] {
            before->attribute.header.uniStringNamePtr = &before->name;
            return ACAPI_Attribute_ModifyExt(&before->attribute, &before->defs);
        });
    }
    return err;
}

// Writes a record of user data, noting, inside a step, how to put back the one it replaces: `read` fills
// the record there was (answering `none` when there was none), `write` stores one, `remove` takes it away.
template <typename Record, typename Read, typename Write, typename Remove>
GSErrCode WriteUserData(std::string what, const Record& record, GSErrCode none, Read read, Write write, Remove remove)
{
    if (!InStep())
        return write(record);
    std::optional<SavedUserData<Record>> before;
    Record old = {};
    const GSErrCode readErr = read(old);
    HandleOwner oldData(old.dataHdl);
    if (readErr == NoError)
        before = SavedUserData<Record>::Of(old);
    else if (readErr != none)
        return readErr;
    const GSErrCode err = write(record);
    if (err == NoError) {
        PutBackIfStepFails(std::move(what),
                           [before, write, remove] { return before ? before->WriteWith(write) : remove(); });
    }
    return err;
}

GSErrCode SetAttributeUserData(const API_Attr_Head& attribute, const API_AttributeUserData& userData)
{
    API_Attr_Head head = attribute;
    head.uniStringNamePtr = nullptr;
    const auto write = [head](const API_AttributeUserData& record) {
        API_Attr_Head target = head;
        return ACAPI_UserData_SetUserData(&target, &record);
    };
    return WriteUserData(
        "the user data of attribute " + std::to_string(head.index.ToInt32_Deprecated()), userData, APIERR_NOUSERDATA,
        [head](API_AttributeUserData& old) {
            API_Attr_Head target = head;
            return ACAPI_UserData_GetUserData(&target, &old);
        },
        write,
        // Without a handle the call deletes the attribute's user data.
        [write] { return write(API_AttributeUserData{}); });
}

GSErrCode SetElementUserData(const API_Elem_Head& element, const API_ElementUserData& userData)
{
    const API_Elem_Head head = element;
    return WriteUserData(
        "the user data of an element", userData, APIERR_NOUSERDATA,
        [head](API_ElementUserData& old) {
            API_Elem_Head target = head;
            return ACAPI_Element_GetUserData(&target, &old, 0);
        },
        [head](const API_ElementUserData& record) {
            API_Elem_Head target = head;
            return ACAPI_Element_SetUserData(&target, &record);
        },
        [head] {
            API_Elem_Head target = head;
            return ACAPI_UserData_DeleteUserData(&target);
        });
}

GSErrCode StoreModuleData(const API_ModulData& data, const GS::UniString& name)
{
    return WriteUserData(
        "the project data \"" + Utf8Of(name) + "\"", data, APIERR_NOMODULEDATA,
        [name](API_ModulData& old) { return ACAPI_ModulData_Get(&old, name); },
        [name](const API_ModulData& record) { return ACAPI_ModulData_Store(&record, name); },
        [name] { return ACAPI_ModulData_Delete(name); });
}

GSErrCode CreatePropertyGroup(API_PropertyGroup& group)
{
    const GSErrCode err = ACAPI_Property_CreatePropertyGroup(group);
    if (err == NoError) {
        const API_Guid guid = group.guid;
        PutBackIfStepFails("the property group \"" + Utf8Of(group.name) + "\"",
                           [guid] { return ACAPI_Property_DeletePropertyGroup(guid); });
    }
    return err;
}

GSErrCode CreatePropertyDefinition(API_PropertyDefinition& definition)
{
    const GSErrCode err = ACAPI_Property_CreatePropertyDefinition(definition);
    if (err == NoError) {
        const API_Guid guid = definition.guid;
        PutBackIfStepFails("the property \"" + Utf8Of(definition.name) + "\"",
                           [guid] { return ACAPI_Property_DeletePropertyDefinition(guid); });
    }
    return err;
}

GSErrCode ChangePropertyDefinition(const API_PropertyDefinition& before, const API_PropertyDefinition& after)
{
    const GSErrCode err = ACAPI_Property_ChangePropertyDefinition(after);
    if (err == NoError && InStep()) {
        PutBackIfStepFails("the property \"" + Utf8Of(before.name) + "\"",
                           [before] { return ACAPI_Property_ChangePropertyDefinition(before); });
    }
    return err;
}

void PutBackValueIfStepFails(const API_Guid& element, API_Property&& before)
{
    if (openStep == nullptr)
        return;
    openStep->values_.push_back({element, before.definition.guid, before.isDefault, std::move(before.value)});
}

}  // namespace Velmar
