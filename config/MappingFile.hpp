// The property mapping file: which product attributes become which Archicad properties on elements and
// building materials, how values translate, and the classification systems for walls, floors and ceilings.
#pragma once

#include "FileSystem.hpp"
#include "Record.hpp"

#include <memory>

namespace Velmar::Cnf {

class PropertyTranslation : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> velmarValue{"velmarValue"};
    Json::ValueProperty<GS::UniString> localValue{"localValue"};
    VELMAR_JSON_MEMBERS(velmarValue, localValue)
};

class Property : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> key{"key"};
    Json::ValueProperty<GS::UniString> groupname{"groupname"};
    Json::ValueProperty<GS::UniString> name{"name"};
    Json::ValueProperty<GS::UniString> type{"type"};
    Json::ValueProperty<GS::UniString> unit{"unit"};
    Json::ArrayProperty<PropertyTranslation> mapping{"mapping"};
    Json::ValueProperty<bool> DefaultIsUndefined{"DefaultIsUndefined"};
    Json::ValueProperty<bool> isNoneNeutral{"isNoneNeutral"};
    VELMAR_JSON_MEMBERS(key, groupname, name, type, unit, mapping, DefaultIsUndefined, isNoneNeutral)
};

// One classification item with its sub-items, to any depth.
class VelmarClassificationItemDescriptor : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> name{"name"};
    Json::ArrayProperty<VelmarClassificationItemDescriptor> children{"children"};
    VELMAR_JSON_MEMBERS(name, children)
};

class VelmarClassificationDescriptor : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> name{"name"};
    Json::ValueProperty<GS::UniString> version{"version"};
    Json::ArrayProperty<VelmarClassificationItemDescriptor> children{"children"};
    VELMAR_JSON_MEMBERS(name, version, children)
};

class VelmarMappingFile : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> version{"version"};
    Json::ArrayProperty<Property> properties{"properties"};
    Json::ArrayProperty<Property> materialProperties{"materialProperties"};
    Json::ArrayProperty<VelmarClassificationDescriptor> wallClassifications{"wallClassifications"};
    Json::ArrayProperty<VelmarClassificationDescriptor> floorClassifications{"floorClassifications"};
    Json::ArrayProperty<VelmarClassificationDescriptor> ceilingClassifications{"ceilingClassifications"};
    Json::ArrayProperty<GS::UniString> classificationCodes{"classificationCodes"};
    VELMAR_JSON_MEMBERS(version, properties, materialProperties, wallClassifications, floorClassifications,
                        ceilingClassifications, classificationCodes)
};

// The first entry whose "key" equals `key` ignoring letter case.
const Property* FindProperty(const GS::Array<Property>& properties, const GS::UniString& key);

// The file in one data folder (5 user, 10 shared); empty when missing, empty or not a JSON object.
std::shared_ptr<VelmarMappingFile> ReadMappingFile(IO::FileSystem::SpecialFolderId folder,
                                                   const GS::UniString& relativePath);
// The user copy, refreshed from the shared copy when the user has none or its version differs; an
// empty mapping when neither can be read.
VelmarMappingFile LoadMappingFile(const GS::UniString& relativePath);

}  // namespace Velmar::Cnf
