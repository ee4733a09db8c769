// The host's attribute operations: composites, building materials, surfaces and fills, their user
// data, and the pens.
#include "HostImpl.hpp"
#include "HostText.hpp"

namespace Sim {

namespace {

// The attribute types an add-on may create here.
bool IsCreatable(API_AttrTypeID type)
{
    return type == API_CompWallID || type == API_BuildingMaterialID || type == API_MaterialID || type == API_FilltypeID;
}

GS::UniString NameIn(const API_Attr_Head& head)
{
    return head.uniStringNamePtr != nullptr ? *head.uniStringNamePtr : HostText::Uni(head.name);
}

// By index, or (index 0) by guid, or by name.
const Attribute* FindAttribute(const API_Attr_Head* head)
{
    if (head == nullptr)
        return nullptr;
    const Project& project = Host().CurrentProject();
    if (head->index != APIInvalidAttributeIndex)
        return project.FindAttribute(head->typeID, head->index.ToInt32_Deprecated());
    if (head->guid != APINULLGuid)
        return project.FindAttribute(head->typeID, head->guid);
    return project.FindAttribute(head->typeID, NameIn(*head));
}

void CopyText(const GS::UniString& text, GS::UniString* into)
{
    if (into != nullptr)
        *into = text;
}

// Hands the stored record out, keeping the pointers the caller gave for the texts.
void HandOutRecord(const Attribute& stored, API_Attribute* attribute)
{
    const API_Attr_Head head = attribute->header;
    GS::UniString* id = nullptr;
    GS::UniString* manufacturer = nullptr;
    GS::UniString* description = nullptr;
    if (stored.Type() == API_BuildingMaterialID) {
        id = attribute->buildingMaterial.id;
        manufacturer = attribute->buildingMaterial.manufacturer;
        description = attribute->buildingMaterial.description;
    }
    *attribute = stored.record;
    attribute->header.uniStringNamePtr = head.uniStringNamePtr;
    CopyText(stored.name, head.uniStringNamePtr);
    if (stored.Type() == API_BuildingMaterialID) {
        attribute->buildingMaterial.id = id;
        attribute->buildingMaterial.manufacturer = manufacturer;
        attribute->buildingMaterial.description = description;
        CopyText(stored.id, id);
        CopyText(stored.manufacturer, manufacturer);
        CopyText(stored.description, description);
    }
}

template <typename Item>
std::vector<Item> ItemsOf(Item** handle, std::size_t count)
{
    return handle != nullptr ? std::vector<Item>(*handle, *handle + count) : std::vector<Item>();
}

// The caller's record and definitions as the host would keep them, or the error that refuses them. A
// composite given without skins keeps those of `kept` when there is one.
GSErrCode TakeRecord(const API_Attribute& given, const API_AttributeDefExt* defs, Attribute& into,
                     const Attribute* kept = nullptr)
{
    const Project& project = Host().CurrentProject();
    into.record = given;
    into.record.header.uniStringNamePtr = nullptr;
    SetAttributeName(into, NameIn(given.header));
    if (into.name.IsEmpty())
        return APIERR_BADNAME;
    switch (given.header.typeID) {
        case API_CompWallID: {
            const bool skinsGiven = defs != nullptr && defs->cwall_compItems != nullptr;
            if (!skinsGiven && kept != nullptr) {
                into.skins = kept->skins;
                into.lines = kept->lines;
                into.record.compWall.nComps = kept->record.compWall.nComps;
                into.record.compWall.totalThick = kept->record.compWall.totalThick;
                break;
            }
            const auto count = static_cast<std::size_t>(given.compWall.nComps);
            if (count == 0 || !skinsGiven ||
                BMGetHandleSize(reinterpret_cast<GSHandle>(defs->cwall_compItems)) <
                    static_cast<Int32>(count * sizeof(API_CWallComponent)))
                return APIERR_BADPARS;
            into.skins = ItemsOf(defs->cwall_compItems, count);
            into.lines = ItemsOf(defs->cwall_compLItems, count + 1);
            if (into.lines.empty())
                into.lines.assign(count + 1, API_CWallLineComponent{ACAPI_CreateAttributeIndex(1), 1});
            double total = 0.0;
            for (const auto& skin : into.skins) {
                if (!(skin.fillThick > 0.0))
                    return APIERR_BADPARS;
                if (project.FindAttribute(API_BuildingMaterialID, skin.buildingMaterial.ToInt32_Deprecated()) ==
                    nullptr)
                    return APIERR_BADINDEX;
                total += skin.fillThick;
            }
            into.record.compWall.totalThick = total;
            break;
        }
        case API_BuildingMaterialID: {
            const auto& material = given.buildingMaterial;
            into.id = material.id != nullptr ? *material.id : GS::UniString();
            into.manufacturer = material.manufacturer != nullptr ? *material.manufacturer : GS::UniString();
            into.description = material.description != nullptr ? *material.description : GS::UniString();
            into.record.buildingMaterial.id = nullptr;
            into.record.buildingMaterial.manufacturer = nullptr;
            into.record.buildingMaterial.description = nullptr;
            const Int32 fill = material.cutFill.ToInt32_Deprecated();
            const Int32 surface = material.cutMaterial.ToInt32_Deprecated();
            if ((fill != 0 && project.FindAttribute(API_FilltypeID, fill) == nullptr) ||
                (surface != 0 && project.FindAttribute(API_MaterialID, surface) == nullptr) ||
                (material.cutFillPen != 0 && project.FindPen(material.cutFillPen) == nullptr) ||
                (material.cutFillBackgroundPen != 0 && project.FindPen(material.cutFillBackgroundPen) == nullptr))
                return APIERR_BADINDEX;
            break;
        }
        default:
            break;
    }
    return NoError;
}

template <typename Item>
Item** NewHandle(const std::vector<Item>& items)
{
    GSHandle handle = BMAllocateHandle(static_cast<Int32>(items.size() * sizeof(Item)), 0, 0);
    if (handle != nullptr && !items.empty())
        std::memcpy(*handle, items.data(), items.size() * sizeof(Item));
    return reinterpret_cast<Item**>(handle);
}

}  // namespace

namespace Impl {

GSErrCode ACAPI_Attribute_Search(API_Attr_Head* attrHead)
{
    if (attrHead == nullptr)
        return APIERR_BADPARS;
    if (!IsAttrType(attrHead->typeID))
        return APIERR_BADID;
    const Project& project = Host().CurrentProject();
    const Attribute* found = attrHead->guid != APINULLGuid ? project.FindAttribute(attrHead->typeID, attrHead->guid)
                                                           : project.FindAttribute(attrHead->typeID, NameIn(*attrHead));
    if (found == nullptr)
        return attrHead->guid != APINULLGuid ? APIERR_BADGUID : APIERR_BADNAME;
    attrHead->index = found->record.header.index;
    attrHead->guid = found->record.header.guid;
    return NoError;
}

GSErrCode ACAPI_Attribute_Get(API_Attribute* attribute)
{
    if (attribute == nullptr)
        return APIERR_BADPARS;
    if (!IsAttrType(attribute->header.typeID))
        return APIERR_BADID;
    const Attribute* found = FindAttribute(&attribute->header);
    if (found == nullptr)
        return attribute->header.index != APIInvalidAttributeIndex ? APIERR_BADINDEX : APIERR_BADNAME;
    HandOutRecord(*found, attribute);
    return NoError;
}

GSErrCode ACAPI_Attribute_GetDefExt(API_AttrTypeID typeID, API_AttributeIndex index, API_AttributeDefExt* defs)
{
    if (defs == nullptr)
        return APIERR_BADPARS;
    if (typeID != API_CompWallID)
        return APIERR_BADID;
    const Attribute* found = Host().CurrentProject().FindAttribute(typeID, index.ToInt32_Deprecated());
    if (found == nullptr)
        return APIERR_BADINDEX;
    *defs = API_AttributeDefExt{};
    defs->cwall_compItems = NewHandle(found->skins);
    defs->cwall_compLItems = NewHandle(found->lines);
    return defs->cwall_compItems != nullptr && defs->cwall_compLItems != nullptr ? NoError : APIERR_MEMFULL;
}

GSErrCode ACAPI_DisposeAttrDefsHdlsExt(API_AttributeDefExt* defs)
{
    if (defs == nullptr)
        return APIERR_BADPARS;
    BMKillHandle(reinterpret_cast<GSHandle*>(&defs->cwall_compItems));
    BMKillHandle(reinterpret_cast<GSHandle*>(&defs->cwall_compLItems));
    return NoError;
}

// Attributes and their user data are written by non-undoable modifiers: allowed inside a command or
// outside one, and left as they are by Edit > Undo
// (https://archicadapi.graphisoft.com/documentation/acapi_attribute_modifyext, .../acapi_attribute_setuserdata).
GSErrCode ACAPI_Attribute_CreateExt(API_Attribute* attribute, API_AttributeDefExt* defs)
{
    if (attribute == nullptr)
        return APIERR_BADPARS;
    if (!IsCreatable(attribute->header.typeID))
        return APIERR_BADID;
    Project& project = Host().CurrentProject();
    // A name already used answers the attribute that has it.
    if (const Attribute* named = project.FindAttribute(attribute->header.typeID, NameIn(attribute->header))) {
        attribute->header.index = named->record.header.index;
        attribute->header.guid = named->record.header.guid;
        return APIERR_ATTREXIST;
    }
    Attribute created;
    if (const GSErrCode err = TakeRecord(*attribute, defs, created); err != NoError)
        return err;
    created.record.header.guid = APINULLGuid;
    const Int32 index = project.AddAttribute(std::move(created));
    const Attribute* stored = project.FindAttribute(attribute->header.typeID, index);
    attribute->header.index = stored->record.header.index;
    attribute->header.guid = stored->record.header.guid;
    return NoError;
}

// Takes the new name and the type's part; the index, guid and user data stay. Without definitions a
// composite keeps its skins.
GSErrCode ACAPI_Attribute_ModifyExt(API_Attribute* attribute, API_AttributeDefExt* defs)
{
    if (attribute == nullptr)
        return APIERR_BADPARS;
    if (!IsCreatable(attribute->header.typeID))
        return APIERR_BADID;
    const Attribute* found = FindAttribute(&attribute->header);
    if (found == nullptr)
        return APIERR_BADINDEX;
    Project& project = Host().CurrentProject();
    const Attribute* named = project.FindAttribute(found->Type(), NameIn(attribute->header));
    if (named != nullptr && named != found)
        return APIERR_NAMEALREADYUSED;
    Attribute modified;
    if (const GSErrCode err = TakeRecord(*attribute, defs, modified, found); err != NoError)
        return err;
    modified.record.header.index = found->record.header.index;
    modified.record.header.guid = found->record.header.guid;
    modified.userData = found->userData;
    *project.EditAttribute(found->Type(), found->Index()) = std::move(modified);
    return NoError;
}

// Elements keep referring to the index, as in Archicad; index 1 of a type cannot go
// (https://archicadapi.graphisoft.com/documentation/acapi_attribute_delete).
GSErrCode ACAPI_Attribute_Delete(const API_Attr_Head& attrHead)
{
    if (!IsCreatable(attrHead.typeID))
        return APIERR_BADID;
    if (attrHead.index == ACAPI_CreateAttributeIndex(1))
        return APIERR_REFUSEDPAR;
    if (attrHead.index == APIInvalidAttributeIndex ||
        !Host().CurrentProject().DeleteAttribute(attrHead.typeID, attrHead.index.ToInt32_Deprecated()))
        return APIERR_BADPARS;
    return NoError;
}

GSErrCode ACAPI_Attribute_GetAttributesByType(API_AttrTypeID typeID, GS::Array<API_Attribute>& attributes)
{
    if (!IsAttrType(typeID))
        return APIERR_BADID;
    attributes.Clear();
    for (const Attribute* attribute : Host().CurrentProject().Attributes(typeID)) {
        API_Attribute record = attribute->record;
        if (typeID == API_BuildingMaterialID) {
            record.buildingMaterial.id = nullptr;
            record.buildingMaterial.manufacturer = nullptr;
            record.buildingMaterial.description = nullptr;
        }
        attributes.Push(record);
    }
    return NoError;
}

GSErrCode ACAPI_UserData_GetUserData(API_Attr_Head* attrHead, API_AttributeUserData* userData)
{
    if (attrHead == nullptr || userData == nullptr)
        return APIERR_BADPARS;
    const Attribute* found = FindAttribute(attrHead);
    if (found == nullptr)
        return APIERR_BADINDEX;
    // Archicad answers that the attribute has none rather than an empty record.
    return found->userData ? HandOut(*found->userData, userData) : APIERR_NOUSERDATA;
}

// A record without a handle deletes the attribute's user data
// (https://graphisoft.github.io/archicad-api-devkit/group___user_data.html).
GSErrCode ACAPI_UserData_SetUserData(API_Attr_Head* attrHead, const API_AttributeUserData* userData)
{
    if (attrHead == nullptr || userData == nullptr)
        return APIERR_BADPARS;
    const Attribute* found = FindAttribute(attrHead);
    if (found == nullptr)
        return APIERR_BADINDEX;
    auto& stored = Host().CurrentProject().EditAttribute(found->Type(), found->Index())->userData;
    // Without a handle the call deletes the attribute's user data.
    if (userData->dataHdl == nullptr)
        stored.reset();
    else
        stored = TakeIn(*userData);
    return NoError;
}

GSErrCode ACAPI_Attribute_GetNum(API_AttrTypeID typeID, UInt32& count)
{
    if (!IsAttrType(typeID))
        return APIERR_BADID;
    count = static_cast<UInt32>(Host().CurrentProject().Attributes(typeID).size());
    return NoError;
}

GSErrCode ACAPI_Attribute_GetPen(API_Pen& pen)
{
    const API_Pen* found = Host().CurrentProject().FindPen(pen.index);
    if (found == nullptr)
        return APIERR_BADINDEX;
    pen = *found;
    return NoError;
}

GSErrCode ACAPI_Attribute_GetPenNum(UInt32& count)
{
    count = static_cast<UInt32>(Host().CurrentProject().Pens().size());
    return NoError;
}

}  // namespace Impl

}  // namespace Sim
