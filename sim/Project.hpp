// The simulated project: elements and attributes with their user data, module data by name, and the
// selection; saved to and opened from a JSON project file.
#pragma once

#include "APIdefs.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Sim {

struct UserData {
    Int32 version = 0;
    UInt16 platformSign = 0;
    std::string bytes;
};

struct Element {
    API_Guid guid;
    API_ElemTypeID type = API_ZombieElemID;
    std::optional<UserData> userData;
};

struct Attribute {
    API_Attr_Head header;
    std::optional<UserData> userData;
};

class Project {
public:
    API_Guid AddElement(API_ElemTypeID type);
    Element* FindElement(const API_Guid& guid);
    const std::vector<Element>& GetElements() const { return elements_; }

    // Attributes of one type in index order; types outside AttrTypeFromName's table have none.
    const std::vector<Attribute>& GetAttributes(API_AttrTypeID type) const;
    // Adds an attribute of the header's type, name and flags and fills in its index (the next one) and
    // a new guid. APIERR_BADID for an unknown type, APIERR_BADNAME for an empty name,
    // APIERR_NAMEALREADYUSED when the type already has the name.
    GSErrCode AddAttribute(API_Attr_Head* header);
    Attribute* FindAttribute(API_AttrTypeID type, API_AttributeIndex index);
    Attribute* FindAttribute(API_AttrTypeID type, const API_Guid& guid);
    Attribute* FindAttribute(API_AttrTypeID type, const GS::UniString& name);

    std::map<std::string, UserData>& ModuleData() { return moduleData_; }
    std::vector<API_Guid>& Selection() { return selection_; }

    // The whole project as the text of a project file, and back; a malformed file leaves the project as it was.
    std::string ToJson() const;
    bool FromJson(const std::string& text, std::string* error);

private:
    std::vector<Element> elements_;
    std::map<API_AttrTypeID, std::vector<Attribute>> attributes_;
    std::map<std::string, UserData> moduleData_;
    std::vector<API_Guid> selection_;
};

// Element type names as scripts and project files spell them.
std::optional<API_ElemTypeID> ElemTypeFromName(const std::string& name);
const char* ElemTypeName(API_ElemTypeID type);
// Attribute type names likewise: composite, buildingmaterial, material, pen.
std::optional<API_AttrTypeID> AttrTypeFromName(const std::string& name);
const char* AttrTypeName(API_AttrTypeID type);
bool IsAttrType(API_AttrTypeID type);

}  // namespace Sim
