// A simulated project for rule tests: the module's calling layer pointed at a host whose quantity requests
// are counted, elements placed as the user's tools place them, linked to stored systems through their user
// data, and property definitions with values.
#pragma once

#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "TempFolder.hpp"

#include <array>
#include <string>

namespace Velmar::Testing {

// The user data the property writer gives a linked wall or slab: version 1, the composite tag's platform
// sign, and the stored system's id as 16 bytes.
inline Sim::UserData LinkData(const GS::Guid& system, Int32 version = 1)
{
    const auto& bytes = system.GetBytes();
    return Sim::UserData{version, 0x5757, std::string(bytes.begin(), bytes.end())};
}

// A system as the platform sends it, with parameters (ID, unit, value, data type) in Dutch and English.
struct Parameter {
    std::string id;
    std::string unit;  // empty: none
    std::string value;
    std::string dataType;
};

inline std::string SystemObject(const std::string& id, const std::vector<Parameter>& parameters)
{
    std::string attributes;
    for (const Parameter& p : parameters) {
        attributes += std::string(attributes.empty() ? "" : ",") + "\"" + p.id + "\":{\"ID\":\"" + p.id + "\"" +
                      (p.unit.empty() ? "" : ",\"Unit\":\"" + p.unit + "\"") + ",\"Name\":{\"nl_NL\":\"Naam " + p.id +
                      "\",\"en_US\":\"Name " + p.id + "\"}" + ",\"Value\":{\"nl_NL\":\"" + p.value + "\",\"en_US\":\"" +
                      p.value + "\"}" + ",\"DataType\":\"" + p.dataType + "\"}";
    }
    return "{\"ID\":\"" + id + "\",\"TimeStamp\":\"2026-03-02 10:20:30\",\"Attributes\":{" +
           "\"general\":{\"template_type\":{\"ID\":\"template_type\",\"Value\":{\"nl_NL\":\"SchW\"}}}," +
           "\"propertyset\":{\"10_Prestaties\":{" + attributes + "}}}}";
}

// The platform's data response, as the project keeps it: the system under its id.
inline std::string SystemText(const std::string& id, const std::vector<Parameter>& parameters)
{
    return "{\"" + id + "\":" + SystemObject(id, parameters) + "}";
}

class RuleProject {
public:
    static inline int quantityRequests = 0;

    RuleProject() : host_(root_ / "data")
    {
        static API_HostFunctions counting = [] {
            API_HostFunctions table = Sim::HostFunctions();
            static const auto forward = table.ACAPI_Element_GetQuantities;
            table.ACAPI_Element_GetQuantities = [](API_Guid guid, const API_QuantityPar* parameters,
                                                   API_Quantities* quantities, const API_QuantitiesMask* mask) {
                ++quantityRequests;
                return forward(guid, parameters, quantities, mask);
            };
            return table;
        }();
        Velmar::Host::SetHostFunctions(&counting);
    }
    ~RuleProject() { Velmar::Host::SetHostFunctions(nullptr); }
    RuleProject(const RuleProject&) = delete;
    RuleProject& operator=(const RuleProject&) = delete;

    Sim::Archicad& Host() { return host_; }
    Sim::Project& Project() { return host_.CurrentProject(); }

    API_Guid Wall(double length, double height = 2.7)
    {
        Sim::Element wall = Sim::NewElement(API_WallID);
        wall.record.wall.endC = API_Coord{length, 0.0};
        wall.record.wall.height = height;
        return host_.PlaceElement(wall);
    }

    API_Guid Opening(API_ElemTypeID type, const API_Guid& wall, double at)
    {
        Sim::Element opening = Sim::NewElement(type);
        opening.record.window.owner = wall;
        opening.record.window.objLoc = at;
        return host_.PlaceElement(opening);
    }

    void Link(const API_Guid& element, const Sim::UserData& data)
    {
        host_.EditElement(element, [&](Sim::Element& edited) { edited.userData = data; });
    }

    // Stores the system text in the project as the download does; answers its id.
    GS::Guid StoreSystem(const std::string& text)
    {
        const GS::Guid id = HostGuid::New();
        Project().StoreModuleData(HostText::Utf8(id.ToUniString()), Sim::UserData{1, 0x5757, text + '\0'});
        return id;
    }

    API_Guid Definition(const char* name, API_VariantType type,
                        API_PropertyCollectionType collection = API_PropertySingleCollectionType)
    {
        if (group_ == APINULLGuid) {
            Sim::PropertyGroup group;
            group.group.guid = group_ = GSGuid2APIGuid(HostGuid::New());
            group.group.name = "Velmar";
            host_.RunHostCommand("Create Property Group", [&] { Project().AddGroup(group); });
        }
        Sim::PropertyDefinition definition;
        definition.definition.guid = GSGuid2APIGuid(HostGuid::New());
        definition.definition.groupGuid = group_;
        definition.definition.name = name;
        definition.definition.valueType = type;
        definition.definition.collectionType = collection;
        definition.definition.defaultValue.basicValue.variantStatus = API_VariantStatusNull;
        definition.definition.canValueBeEditable = true;
        host_.RunHostCommand("Create Property", [&] { Project().AddDefinition(definition); });
        return definition.definition.guid;
    }

    void SetValue(const API_Guid& element, const API_Guid& definition, double number)
    {
        API_PropertyValue value;
        value.singleVariant.variant.type = API_PropertyRealValueType;
        value.singleVariant.variant.doubleValue = number;
        value.singleVariant.variant.intValue = static_cast<Int32>(number);
        value.variantStatus = API_VariantStatusNormal;
        host_.EditElement(element, [&](Sim::Element& edited) { edited.properties[definition] = value; });
    }

private:
    TempFolder root_;
    Sim::Archicad host_;
    API_Guid group_ = {};
};

}  // namespace Velmar::Testing
