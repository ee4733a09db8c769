// What a rule reads of an element through the accessor: catalog values from the simulated host's element
// and quantity records, system parameters with their units, and the user's answers.
#include "ExportProperty.hpp"
#include "HostQuantities.hpp"
#include "HostText.hpp"
#include "ObjectAccessor.hpp"
#include "RuleProject.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Velmar::Bo::ObjectAccessor;
using Velmar::Testing::Parameter;
using Velmar::Testing::RuleProject;

const char* const None = "(none)";

std::string Reading(const Velmar::Rules::OptionalValue& value)
{
    return value ? Velmar::Rules::TextOf(*value) : None;
}

ObjectAccessor AccessorFor(const API_Guid& element)
{
    static const Velmar::Bo::AnswerList answers;
    static const Velmar::Bo::ParameterTable parameters;
    ObjectAccessor accessor(&answers, &parameters);
    API_Elem_Head head = {};
    head.guid = element;
    accessor.SetElement(head);
    return accessor;
}

// A 12 m wall with a window and a door, the default slab and curtain wall, and a column.
class Elements : public ::testing::Test {
protected:
    void SetUp() override
    {
        wall_ = project_.Wall(12.0);
        project_.Opening(API_WindowID, wall_, 3.0);
        project_.Opening(API_DoorID, wall_, 8.0);
        slab_ = project_.Host().CreateElement(API_SlabID);
        curtainWall_ = project_.Host().CreateElement(API_CurtainWallID);
        column_ = project_.Host().CreateElement(API_ColumnID);
    }

    RuleProject project_;
    API_Guid wall_, slab_, curtainWall_, column_;
};

// Host failures give no value where the value needs what failed, and leave the others.
TEST_F(Elements, ReadTheCatalogOfTheirTypeByKeyIgnoringLetterCase)
{
    struct Case {
        API_Guid element = {};
        const char* name;
        const char* expected;
        int quantityRequests;
        const char* fault = nullptr;
    };
    const Case cases[] = {
        {wall_, "Type.Height", "2.700000", 0},
        {wall_, "tYPE.hEIGHT", "2.700000", 0},
        {wall_, "Type.Thickness 1", "0.100000", 0},
        {wall_, "Type.*", "0.100000", 0},   // the first entry: Type.Thickness
        {wall_, "Type.Material", None, 0},  // text entries give rules nothing
        {wall_, "Type.Reference Line Location", None, 0},
        {wall_, "Quantity.length", "12.000000", 1},
        {wall_, "quantity.LENGTH", "12.000000", 1},
        {wall_, "Quantity.*", "0.000000", 3},  // airThickness; each opening's quantities read too
        {wall_, "Quantity.columns Number", "0", 1},
        {wall_, "Quantity.Number of Doors", "1", 3},
        {wall_, "Quantity.Number of Windows", "1", 3},
        {wall_, "Quantity.Surface area of all Wall openings on the Wall inside face", "3.090000", 3},
        {wall_, "Quantity.Volume of all Wall openings", "0.309000", 3},
        {wall_, "Quantity.Contour Frames Lenght", None, 0},
        {wall_, "Elevation Top", None, 0},
        {wall_, "Type.Height ", None, 0},
        {slab_, "Quantity.length", None, 0},
        {slab_, "Quantity.Top Surface", "25.000000", 1},
        {slab_, "Type.Thickness", "0.200000", 0},
        {slab_, "Elevation Top", "0.000000", 0},
        {slab_, "elevation bottom", "-0.200000", 0},
        {slab_, "Type.Elevation Top", None, 0},
        {curtainWall_, "Type.Height", None, 0},
        {curtainWall_, "Quantity.height", "3.000000", 1},
        {curtainWall_, "Quantity.Number Of Panels", "8", 1},
        {curtainWall_, "Quantity.Contour Frames Lenght", "18.000000", 1},
        {column_, "Type.Height", None, 0},
        {wall_, "Type.Height", None, 0, "ACAPI_Element_Get"},
        {wall_, "Quantity.length", None, 1, "ACAPI_Element_GetQuantities"},
        {wall_, "Type.Height", "2.700000", 0, "ACAPI_Element_GetQuantities"},
        {wall_, "Quantity.Number of Doors", None, 1, "ACAPI_Grouping_GetConnectedElements"},
        {wall_, "Quantity.length", "12.000000", 1, "ACAPI_Grouping_GetConnectedElements"},
        {wall_, "Type.Height", "2.700000", 0, "ACAPI_Attribute_Get"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + (c.fault ? c.fault : ""));
        RuleProject::quantityRequests = 0;
        if (c.fault != nullptr)
            project_.Host().Faults().Arm(c.fault, APIERR_GENERAL, Sim::FaultInjector::Every);
        EXPECT_EQ(Reading(AccessorFor(c.element).GetElementValue(c.name)), c.expected);
        project_.Host().Faults().Clear();
        EXPECT_EQ(RuleProject::quantityRequests, c.quantityRequests);
    }
    project_.Host().DeleteElement(slab_);
    EXPECT_EQ(Reading(AccessorFor(slab_).GetElementValue("Type.Thickness")), None) << "a deleted element";
}

// The catalogs hold exactly the keys velmar-sim answers for element.get, in the same order, and read the
// same values from the host.
TEST_F(Elements, QuantityCatalogsMatchTheHostsQuantitiesKeyForKey)
{
    const std::pair<API_Guid, const Velmar::Bo::Properties::Catalog*> elements[] = {
        {wall_, &Velmar::Bo::Properties::WallQuantityCatalog()},
        {slab_, &Velmar::Bo::Properties::SlabQuantityCatalog()},
        {curtainWall_, &Velmar::Bo::Properties::CurtainWallQuantityCatalog()},
    };
    for (const auto& [guid, catalog] : elements) {
        std::vector<std::string> hostKeys, catalogKeys;
        for (const auto& [key, expected] : Velmar::Testing::HostQuantities(project_.Project(), guid)) {
            hostKeys.push_back(key);
            EXPECT_EQ(Reading(AccessorFor(guid).GetElementValue(key)), expected) << key;
        }
        for (const auto& entry : *catalog) {
            catalogKeys.push_back(entry.key);
            // A compass entry's description names its direction in lower case.
            const std::string key = entry.key, compass = "Quantity.Panels Surface ", description = entry.description;
            if (key.rfind(compass, 0) == 0) {
                std::string direction = key.substr(compass.size()) + ".";
                std::transform(direction.begin(), direction.end(), direction.begin(), ::tolower);
                EXPECT_EQ(description.substr(description.size() - direction.size()), direction) << key;
            }
        }
        EXPECT_EQ(catalogKeys, hostKeys);
    }
}

TEST(SystemParameters, AreReadByIdWithTheirUnitsInMetres)
{
    struct Case {
        Parameter parameter;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {{"DILATATIE", "mm", "10000", "Length"}, "DILATATIE", "10.000000"},
        {{"MH_FOA1", "MM", "3000", "Length"}, "MH_FOA1", "3.000000"},
        {{"MH_FOA1", "mm", "3000", "Length"}, "mh_foa1", "3.000000"},
        {{"MH_FOA1", "mm", "3000", "Length"}, "Name MH_FOA1", None},  // the localized name is not the key
        {{"D", "cm", "250", "Number"}, "D", "2.500000"},
        {{"A", "dm", "5", "Area"}, "A", "0.500000"},
        {{"ASIRW", "dB", "45", "Integer"}, "ASIRW", "45.000000"},
        {{"W", "", "2,5", "Number"}, "W", "2.500000"},
        {{"W", "mm", "abc", "Number"}, "W", None},
        {{"S", "mm", "1200", "String"}, "S", "1.200000"},
        {{"S", "mm", "geen", ""}, "S", "geen"},
        {{"RTF", "", "NONE", "String"}, "RTF", "NONE"},
        {{"B", "", "True", "Boolean"}, "B", "true"},
        {{"B", "", "0", "Bool"}, "B", "false"},
        {{"B", "", "maybe", "Boolean"}, "B", None},
        {{"X", "mm", "1", "Length"}, "Y", None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parameter.id + " " + c.name);
        auto source =
            Velmar::Json::ParseRecord<Velmar::Corvana::CVSystem>(Velmar::Testing::SystemObject("S", {c.parameter}));
        const Velmar::Bo::System system(source, 3);
        const auto table = Velmar::Bo::BuildParameterTable(system);
        const Velmar::Bo::AnswerList answers;
        ObjectAccessor accessor(&answers, &table);
        EXPECT_EQ(Reading(accessor.GetParameterValue(c.name)), c.expected);
    }
}

TEST_F(Elements, AnswersAreTextsAndPropertySelectorsReadTheElementsNumber)
{
    const API_Guid real = project_.Definition("Brandwerendheid", API_PropertyRealValueType);
    const API_Guid integer = project_.Definition("Rw", API_PropertyIntegerValueType);
    const API_Guid text = project_.Definition("Opmerking", API_PropertyStringValueType);
    const API_Guid list = project_.Definition("Waarden", API_PropertyRealValueType, API_PropertyListCollectionType);
    const API_Guid unset = project_.Definition("Leeg", API_PropertyRealValueType);
    const API_Guid deleted = project_.Definition("Weg", API_PropertyRealValueType);
    project_.SetValue(wall_, real, 60.0);
    project_.SetValue(wall_, integer, 52.0);
    project_.SetValue(wall_, text, 1.0);
    project_.SetValue(wall_, list, 1.0);
    project_.SetValue(wall_, deleted, 1.0);
    project_.Host().RunHostCommand("Delete Property", [&] { project_.Project().DeleteDefinition(deleted); });
    const auto guidText = [](const API_Guid& guid) { return APIGuidToString(guid); };

    struct Case {
        GS::UniString answer;
        const char* code;
        const char* expected;
        const char* fault = nullptr;
    };
    const Case cases[] = {
        {"TOEP1", "DIN_18183", "TOEP1"},
        {"TOEP1", "din_18183", "TOEP1"},
        {"TOEP1", "OTHER", None},
        {guidText(real), "~P1", "60.000000"},
        {guidText(real), "~p1", "60.000000"},
        {guidText(integer), "~P1", "52.000000"},
        {guidText(text), "~P1", None},
        {guidText(list), "~P1", None},
        {guidText(unset), "~P1", None},
        {guidText(deleted), "~P1", None},
        {"not a guid", "~P1", None},
        {guidText(real), "~P2", None},
        {guidText(real), "~P1", None, "ACAPI_Element_GetPropertyValue"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(HostText::Utf8(c.answer) + " " + c.code);
        const Velmar::Bo::AnswerList answers = {{"DIN_18183", "TOEP1"}, {"~P1", c.answer}, {"DIN_18183", "TOEP2"}};
        const Velmar::Bo::AnswerList given = {{c.code[0] == '~' ? "~P1" : "DIN_18183", c.answer}};
        const Velmar::Bo::ParameterTable parameters;
        ObjectAccessor accessor(c.code[0] == '~' ? &given : &answers, &parameters);
        API_Elem_Head head = {};
        head.guid = wall_;
        accessor.SetElement(head);
        if (c.fault != nullptr)
            project_.Host().Faults().Arm(c.fault, APIERR_GENERAL, 1);
        const auto value = accessor.GetAnswerValue(c.code);
        EXPECT_EQ(Reading(value), c.expected);
        if (value && c.code[0] == '~') {
            EXPECT_TRUE(std::holds_alternative<double>(*value)) << "a property selector answers a number";
        }
    }
}

}  // namespace
