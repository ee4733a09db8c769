// Velmar properties written by the module's code into the simulated host's project and read back through
// the host's own property calls: mapping, levels, Neutral, conversions, element selection, refresh,
// classification codes, and what host failures leave behind.
#include "ACAPinc.hpp"
#include "Archicad.hpp"
#include "ClassificationTargets.hpp"
#include "CompositeUpdate.hpp"
#include "CompositionService.hpp"
#include "ConfigurationService.hpp"
#include "EventHandlers.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "LodProvider.hpp"
#include "LodUpdate.hpp"
#include "ProductSystems.hpp"
#include "ProjectStoreService.hpp"
#include "PropertyProvider.hpp"
#include "PropertyValues.hpp"
#include "State.hpp"
#include "TempFolder.hpp"
#include "UndoStep.hpp"
#include "UndoablePart.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <functional>
#include <map>
#include <set>

namespace {

using Velmar::Services::PropertyProvider;

std::string Attribute(const std::string& id, const std::string& lod, const std::string& value,
                      const std::string& more = "")
{
    return "\"" + id + "\":{\"ID\":\"" + id + "\"" + (lod.empty() ? "" : ",\"LOD\":\"" + lod + "\"") +
           (value.empty() ? "" : ",\"Value\":{\"nl_NL\":\"" + value + "\"}") + more + "}";
}

// Parameters of every kind the mapping below treats differently; "Kleur" is unmapped and named in three languages.
const std::string Parameters =
    Attribute("SYSTEMCODE", "100", "VELMAR-X") + "," + Attribute("BRAND", "100", "Velmar") + "," +
    Attribute("TOTAL_THICKNESS", "200", "12,5", R"(,"Unit":"mm","DataType":"Length")") + "," +
    Attribute("FIRE", "300", "3.5") + "," + Attribute("RTF", "300", "ei60") + "," +
    Attribute("INSULATION", "400", "yes") + "," + Attribute("WEIGHT", "100", "", R"(,"Name":{"nl_NL":"Gewicht"})") +
    "," + Attribute("ODD", "100", "x") + "," + Attribute("TYPED", "100", "2,5", R"(,"DataType":"Number")") + "," +
    Attribute("KLEUR", "100", "wit", R"(,"Name":{"nl_NL":"Kleur","fr_FR":"Couleur","en_US":"Colour"})") + "," +
    Attribute("NOLOD", "", "x") + "," + Attribute("NL-SfB", "", "22.21");

const char* const Mapping = R"({"properties":[
    {"key":"SYSTEMCODE","groupname":"Velmar","name":"Systeemcode","type":"String"},
    {"key":"BRAND","name":"Merk","isNoneNeutral":true},
    {"key":"TOTAL_THICKNESS","groupname":"Velmar Afmetingen","name":"Totale dikte","type":"Length","unit":"mm"},
    {"key":"fire","groupname":"Velmar Brand","name":"Brandwerendheid","type":"Integer"},
    {"key":"RTF","groupname":"Velmar Brand","name":"Brandklasse","mapping":[{"velmarValue":"EI60","localValue":"EI 60"}]},
    {"key":"INSULATION","groupname":"Velmar Opbouw","name":"Met isolatie","type":"Boolean"},
    {"key":"WEIGHT","groupname":"Velmar Afmetingen","name":"","type":"Number","DefaultIsUndefined":true},
    {"key":"ODD","groupname":"General Ratings","name":"Odd"},
    {"key":"TYPED","type":5,"name":"Getypt"}]})";

const std::string Lod300 =
    "Velmar Afmetingen/Gewicht=undefined; Velmar Afmetingen/Totale dikte=0.0125; Velmar Brand/Brandklasse=EI 60; "
    "Velmar Brand/Brandwerendheid=3; Velmar/Getypt=2.5; Velmar/Kleur=wit; Velmar/Merk=Velmar; Velmar/Systeemcode=VELMAR-X";

// What an element shows of the definitions a LOD 300 write creates when nothing was written on it.
const std::string Untouched =
    "Velmar Afmetingen/Gewicht=undefined; Velmar Afmetingen/Totale dikte=0 (default); Velmar Brand/Brandklasse= (default); "
    "Velmar Brand/Brandwerendheid=0 (default); Velmar/Getypt=0 (default); Velmar/Kleur= (default); Velmar/Merk= (default); "
    "Velmar/Systeemcode= (default)";

std::string Text(const API_Variant& variant)
{
    char number[64];
    switch (variant.type) {
        case API_PropertyIntegerValueType:
            return std::to_string(variant.intValue);
        case API_PropertyRealValueType:
            std::snprintf(number, sizeof number, "%g", variant.doubleValue);
            return number;
        case API_PropertyBooleanValueType:
            return variant.boolValue ? "true" : "false";
        case API_PropertyGuidValueType:
            return HostText::Utf8(APIGuidToString(variant.guidValue));
        default:
            return HostText::Utf8(variant.uniStringValue);
    }
}

std::string Text(const API_Property& property)
{
    if (property.value.variantStatus == API_VariantStatusUserUndefined)
        return "undefined";
    std::string text;
    for (const API_Variant& item : property.value.listVariant.variants)
        text += (text.empty() ? "" : ";") + Text(item);
    if (property.definition.collectionType == API_PropertySingleCollectionType ||
        property.definition.collectionType == API_PropertySingleChoiceEnumerationCollectionType)
        text = Text(property.value.singleVariant.variant);
    return text + (property.isDefault ? " (default)" : "");
}

class Properties : public ::testing::Test {
protected:
    Properties()
    {
        Velmar::Host::SetHostFunctions(&Sim::HostFunctions());
        const auto state = Velmar::App::State::instance();
        state->languageIndex = 1;
        state->classificationMappings.Clear();
        const auto lods = Velmar::Lod::LodProvider::instance();
        for (Int32 level = 100; level <= 500 && lods->GetLevels().GetSize() < 5; level += 100)
            lods->AddLevel(
                Velmar::Bo::LOD(HostText::Uni(std::to_string(level).c_str()), level >= 300, level == 500, level));
        Velmar::Services::ProjectStore::ProjectStoreService::instance()->Reload();
    }
    ~Properties() override
    {
        Velmar::App::State::instance()->languageIndex.reset();
        Velmar::App::State::instance()->SetBrandLessEnabled(false);
        Velmar::Host::SetHostFunctions(nullptr);
    }

    Sim::Project& Project() { return host_.CurrentProject(); }
    std::string AddOnLog() const { return Velmar::Testing::ReadFile(root_ / "data/user/velmar/archicad/log.txt"); }

    PropertyProvider Provider(const std::string& mapping = Mapping)
    {
        return PropertyProvider(std::make_shared<const Velmar::Cnf::VelmarMappingFile>(
            Velmar::Json::ParseRecord<Velmar::Cnf::VelmarMappingFile>(mapping)));
    }

    // A composite the add-on made from a system of `parameters` at `lod`: its tag and the stored system.
    API_AttributeIndex Composite(const std::string& name, Int32 lod, const std::string& parameters = Parameters,
                                 bool tagged = true)
    {
        const std::string object = R"({"ID":"VELMAR-X","Attributes":{"general":{)" + parameters + "}}}";
        auto source = Velmar::Json::ParseRecord<Velmar::Corvana::CVSystem>(object);
        source.rawText = R"({"VELMAR-X":)" + object + "}";
        const auto tag = Velmar::Services::ProjectStore::ProjectStoreService::instance()->StoreSystem(
            Velmar::Bo::System(source, 1), lod);
        storedId_ = tag.storedSystemId;
        Sim::Attribute composite;
        composite.record.header.typeID = API_CompWallID;
        Sim::SetAttributeName(composite, name.c_str());
        composite.skins = {API_CWallComponent{ACAPI_CreateAttributeIndex(1), 1, 0, 0.1}};
        composite.record.compWall.nComps = 1;
        composite.record.compWall.totalThick = 0.1;
        composite.lines.assign(2, API_CWallLineComponent{ACAPI_CreateAttributeIndex(1), 1});
        if (tagged)
            composite.userData = Sim::UserData{1, 0x5757, tag.ToBytes()};
        host_.RunHostCommand("Create Attribute", [&] { Project().AddAttribute(composite); });
        return Project().FindAttribute(API_CompWallID, HostText::Uni(name.c_str()))->record.header.index;
    }

    API_Elem_Head Place(API_ElemTypeID type, const API_AttributeIndex& composite, const char* item = nullptr,
                        bool linked = false)
    {
        Sim::Element element = Sim::NewElement(type);
        (type == API_WallID ? element.record.wall.composite : element.record.slab.composite) = composite;
        (type == API_WallID ? element.record.wall.modelElemStructureType : element.record.slab.modelElemStructureType) =
            API_CompositeStructure;
        if (linked)
            element.userData =
                Sim::UserData{1, 0x5757, std::string(storedId_.GetBytes().begin(), storedId_.GetBytes().end())};
        if (item != nullptr) {
            for (const auto& [guid, row] : ItemsNamed())
                if (row == item)
                    element.classification[Project().FindItem(guid)->system] = guid;
        }
        API_Elem_Head head = {};
        head.guid = host_.PlaceElement(element);
        head.type = type;
        return head;
    }

    std::map<API_Guid, std::string> ItemsNamed()
    {
        std::map<API_Guid, std::string> items;
        for (const auto* system : Project().Systems())
            for (const API_Guid& root : system->roots) {
                items[root] = HostText::Utf8(Project().FindItem(root)->item.name);
                for (const API_Guid& child : Project().FindItem(root)->children)
                    items[child] = HostText::Utf8(Project().FindItem(child)->item.name);
            }
        return items;
    }

    // "Group/Name=value; ..." of every custom property the element has, sorted, through the host's calls.
    std::string Values(const API_Elem_Head& element)
    {
        std::map<API_Guid, std::string> groups;
        GS::Array<API_PropertyGroup> listed;
        ACAPI_Property_GetPropertyGroups(listed);
        for (const auto& group : listed)
            groups[group.guid] = HostText::Utf8(group.name);
        GS::Array<API_PropertyDefinition> definitions;
        EXPECT_EQ(
            ACAPI_Element_GetPropertyDefinitions(element.guid, API_PropertyDefinitionFilter_UserDefined, definitions),
            NoError);
        std::map<std::string, std::string> values;
        for (const auto& definition : definitions) {
            API_Property property;
            ACAPI_Element_GetPropertyValue(element.guid, definition.guid, property);
            values[groups[definition.groupGuid] + "/" + HostText::Utf8(definition.name)] = Text(property);
        }
        std::string text;
        for (const auto& [name, value] : values)
            text += (text.empty() ? "" : "; ") + name + "=" + value;
        return text;
    }

    Velmar::Testing::TempFolder root_;
    Sim::Archicad host_{root_ / "data"};
    GS::Guid storedId_;
};

TEST(PropertyValues, TextsBecomeValuesOfTheDefinitionsKind)
{
    using Velmar::Services::Properties::ToProperty;
    const auto choice = [](const char* shown, unsigned char key) {
        API_SingleEnumerationVariant value;
        value.keyVariant.type = API_PropertyGuidValueType;
        value.keyVariant.guidValue.time_low = key;
        value.displayVariant.type = API_PropertyStringValueType;
        value.displayVariant.uniStringValue = shown;
        return value;
    };
    const auto definition = [&](API_VariantType type, API_PropertyCollectionType collection) {
        API_PropertyDefinition made;
        made.valueType = type;
        made.collectionType = collection;
        made.possibleEnumValues = {choice("One", 1), choice("Two", 2)};
        return made;
    };
    struct Case {
        API_VariantType type;
        API_PropertyCollectionType collection;
        const char* text;
        const char* expected;  // the value, or what is raised
    };
    const auto single = API_PropertySingleCollectionType;
    const Case cases[] = {
        {API_PropertyIntegerValueType, single, "3", "3"},
        {API_PropertyIntegerValueType, single, "3.5", "3"},
        {API_PropertyIntegerValueType, single, "drie", "invalid stoi argument"},
        {API_PropertyIntegerValueType, single, "99999999999", "stoi argument out of range"},
        {API_PropertyRealValueType, single, "12,5", "12.5"},
        {API_PropertyRealValueType, single, "twaalf", "invalid stod argument"},
        {API_PropertyRealValueType, single, "", " (default)"},
        {API_PropertyBooleanValueType, single, "TRUE", "true"},
        {API_PropertyBooleanValueType, single, "1", "true"},
        {API_PropertyBooleanValueType, single, "yes", "false"},
        {API_PropertyStringValueType, single, " as is ", " as is "},
        {API_PropertyGuidValueType, single, "5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4A01",
         "5C4B1D8E-2F3A-4E61-9B7C-0A1D2E3F4A01"},
        {API_PropertyGuidValueType, single, "no guid", "invalid guid argument"},
        {API_PropertyRealValueType, API_PropertyListCollectionType, "1,5; 2 ;;3", "1.5;2;3"},
        {API_PropertyStringValueType, API_PropertySingleChoiceEnumerationCollectionType, "two",
         "00000002-0000-0000-0000-000000000000"},
        {API_PropertyStringValueType, API_PropertySingleChoiceEnumerationCollectionType, "Three", " (default)"},
        {API_PropertyStringValueType, API_PropertyMultipleChoiceEnumerationCollectionType, "one; three; Two",
         "00000001-0000-0000-0000-000000000000;00000002-0000-0000-0000-000000000000"},
    };
    for (const auto& c : cases) {
        std::string got;
        try {
            got = Text(ToProperty(definition(c.type, c.collection), c.text));
        } catch (const std::exception& error) {
            got = error.what();
        }
        EXPECT_EQ(got, c.expected) << c.text;
    }
    struct Length {
        const char* text;
        const char* unit;
        const char* expected;
    };
    for (const Length& l :
         {Length{"12,5", "mm", "0.012500"}, Length{"12,5", "MM", "0.012500"}, Length{"4", "cm", "0.040000"},
          Length{"4", "dm", "0.400000"}, Length{"2.5", "m", "2.500000"}})
        EXPECT_EQ(HostText::Utf8(Velmar::Services::Properties::ScaleLength(l.text, l.unit)), l.expected)
            << l.text << " " << l.unit;
}

TEST_F(Properties, ParametersAreWrittenByMappingLevelAndNeutral)
{
    struct Case {
        const char* what;
        Int32 lod;
        bool neutral;
        std::string expected;
    };
    const Case cases[] = {
        {"LOD 300: higher levels and parameters without one are left out", 300, false, Lod300},
        {"LOD 400 adds its own", 400, false,
         "Velmar Afmetingen/Gewicht=undefined; Velmar Afmetingen/Totale dikte=0.0125; Velmar Brand/Brandklasse=EI 60; "
         "Velmar Brand/Brandwerendheid=3; Velmar Opbouw/Met isolatie=false; Velmar/Getypt=2.5; Velmar/Kleur=wit; "
         "Velmar/Merk=Velmar; Velmar/Systeemcode=VELMAR-X"},
        {"Neutral leaves out the brand", 300, true,
         "Velmar Afmetingen/Gewicht=undefined; Velmar Afmetingen/Totale dikte=0.0125; Velmar Brand/Brandklasse=EI 60; "
         "Velmar Brand/Brandwerendheid=3; Velmar/Getypt=2.5; Velmar/Kleur=wit; Velmar/Systeemcode=VELMAR-X"},
    };
    for (const auto& c : cases) {
        host_.NewProject();
        Velmar::App::State::instance()->SetBrandLessEnabled(true);
        Velmar::App::State::instance()->SetNeutral(c.neutral);
        auto provider = Provider();
        const API_Elem_Head wall = Place(API_WallID, Composite("Wall", c.lod));
        EXPECT_TRUE(provider.UpdateElement(wall, true)) << c.what;
        EXPECT_EQ(Values(wall), c.expected) << c.what;
        EXPECT_NE(AddOnLog().find("setting property: the host refused ACAPI_Property_CreatePropertyDefinition"),
                  std::string::npos)
            << c.what << ": the definition in the built-in group was refused";
        EXPECT_EQ(Project().UndoNames().front(), "setting property") << c.what;
        const auto link = Project().FindElement(wall.guid)->userData;
        ASSERT_TRUE(link) << c.what;
        EXPECT_EQ(link->bytes, std::string(storedId_.GetBytes().begin(), storedId_.GetBytes().end())) << c.what;

        const std::size_t steps = Project().UndoNames().size();
        EXPECT_TRUE(provider.UpdateElement(wall, true)) << c.what;
        EXPECT_EQ(Project().UndoNames().size(), steps) << c.what << ": writing again changes nothing";

        // A definition the user deletes between two writes is made again by the next one.
        const auto definitions = Project().Definitions(APINULLGuid);
        const auto kleur = std::find_if(definitions.begin(), definitions.end(),
                                        [](const auto* row) { return row->definition.name == "Kleur"; });
        ASSERT_NE(kleur, definitions.end()) << c.what;
        const API_Guid deleted = (*kleur)->definition.guid;
        host_.RunHostCommand("Delete Property", [&] { Project().DeleteDefinition(deleted); });
        const API_Elem_Head next = Place(API_WallID, Composite("Wall", c.lod));
        EXPECT_TRUE(provider.UpdateElement(next, true)) << c.what;
        EXPECT_EQ(Values(next), c.expected) << c.what << ": after the definition was deleted";
    }
}

// An update writes the new version over the stored one: a value the user changed goes back to the new
// version's where it has the parameter, and to the stored version's where only that one has it.
TEST_F(Properties, AnUpdateWritesTheNewVersionOverTheStoredOne)
{
    const API_Elem_Head wall = Place(API_WallID, Composite("Wall", 300), nullptr, true);
    ASSERT_TRUE(Provider().UpdateElement(wall, true));
    const auto changeByHand = [&](const char* name, const char* text) {
        GS::Array<API_PropertyDefinition> definitions;
        ACAPI_Property_GetPropertyDefinitions(APINULLGuid, definitions);
        const auto found = std::find_if(definitions.begin(), definitions.end(),
                                        [&](const API_PropertyDefinition& d) { return d.name == HostText::Uni(name); });
        ASSERT_NE(found, definitions.end()) << name;
        Provider().SetValue(wall.guid, *found, text, true);
    };
    changeByHand("Kleur", "rood");
    changeByHand("Merk", "Ander");
    const auto store = Velmar::Services::ProjectStore::ProjectStoreService::instance();
    const auto stored = store->GetSystem(storedId_);
    ASSERT_NE(stored, nullptr);
    std::string fresh = Parameters;
    fresh.replace(fresh.find(Attribute("FIRE", "300", "3.5")), Attribute("FIRE", "300", "3.5").size(),
                  Attribute("FIRE", "300", "4.5"));
    const std::string colour =
        "," + Attribute("KLEUR", "100", "wit", R"(,"Name":{"nl_NL":"Kleur","fr_FR":"Couleur","en_US":"Colour"})");
    fresh.erase(fresh.find(colour), colour.size());
    const std::string before = Project().ToJson();
    host_.RunHostCommand("Update Velmar systems", [&] {
        store->ReplaceText(storedId_, R"({"VELMAR-X":{"ID":"VELMAR-X","Attributes":{"general":{)" + fresh + "}}}}");
        EXPECT_EQ(Provider().UpdateElementsOver({wall.guid}, storedId_, *stored), 1u);
    });
    std::string expected = Lod300;
    expected.replace(expected.find("Brandwerendheid=3"), 17, "Brandwerendheid=4");
    EXPECT_EQ(Values(wall), expected);
    ASSERT_TRUE(host_.Undo());
    EXPECT_EQ(Velmar::Testing::UndoablePartOf(Project().ToJson()), Velmar::Testing::UndoablePartOf(before));
}

TEST_F(Properties, ElementsAreChosenByTheirCompositeThenByTheirLink)
{
    auto provider = Provider();
    const auto tagged = Composite("Tagged", 300);
    const API_Elem_Head first = Place(API_WallID, tagged);
    ASSERT_TRUE(provider.UpdateElement(first, true));
    struct Case {
        const char* what;
        API_Elem_Head element = {};
        bool written;
        std::string expected;
    };
    const Case cases[] = {
        {"a slab on a tagged composite", Place(API_SlabID, tagged), true, Lod300},
        {"a wall linked to the system, on a composite without tag: existing definitions only, at any level",
         Place(API_WallID, Composite("Own", 300, Parameters, false), nullptr, true), true, Lod300},
        {"a wall the add-on never met, on a composite without tag",
         Place(API_WallID, Composite("Other", 300, Parameters, false)), false, Untouched},
        {"a column", Place(API_ColumnID, tagged), false, ""},
    };
    for (const auto& c : cases) {
        // As the host's notification asks it: inside the user's own command.
        host_.RunHostCommand("Edit Element",
                             [&] { EXPECT_EQ(provider.UpdateElement(c.element, false), c.written) << c.what; });
        if (c.element.type.typeID != API_ColumnID) {
            EXPECT_EQ(Values(c.element), c.expected) << c.what;
        }
    }
}

TEST_F(Properties, DefinitionsAreAvailableToTheKindsClassificationItems)
{
    const std::string mapping = R"({"wallClassifications":[{"name":"archicad classification","children":[{"name":"Wall",
        "children":[{"name":"Partition Wall"},{"name":"Missing"}]}]}],"floorClassifications":[{"name":"ARCHICAD Classification",
        "children":[{"name":"Slab"}]}]})";
    auto provider = Provider(mapping);
    const auto wall = Composite("Wall", 100, Attribute("KLEUR", "100", "wit", R"(,"Name":{"nl_NL":"Kleur"})"));
    struct Case {
        const char* what;
        API_Elem_Head element = {};
        const char* expected;
    };
    const Case cases[] = {
        {"a wall classified as a partition", Place(API_WallID, wall, "Partition Wall"), "Velmar/Kleur=wit"},
        {"a wall classified as an exterior wall", Place(API_WallID, wall, "Exterior Wall"), ""},
        {"a slab on a floor system widens where the definition is available",
         Place(API_SlabID,
               Composite("Floor", 100,
                         R"("template_type":{"ID":"template_type","Value":{"nl_NL":"vloer"}},)" +
                             Attribute("KLEUR", "100", "grijs", R"(,"Name":{"nl_NL":"Kleur"})")),
               "Slab"),
         "Velmar/Kleur=grijs"},
    };
    for (const auto& c : cases) {
        provider.UpdateElement(c.element, true);
        EXPECT_EQ(Values(c.element), c.expected) << c.what;
    }
    GS::Array<API_Guid> availability;
    for (const auto* definition : Project().Definitions(APINULLGuid))
        if (definition->definition.name == "Kleur")
            availability = definition->definition.availability;
    EXPECT_EQ(availability.GetSize(), 3u) << "Wall, Partition Wall, then Slab";
}

TEST_F(Properties, RefreshRenamesIntoTheLanguageAndKeepsTheValues)
{
    auto provider = Provider();
    const API_Elem_Head wall = Place(API_WallID, Composite("Wall", 300));
    ASSERT_TRUE(provider.UpdateElement(wall, true));
    EXPECT_EQ(provider.RefreshDefinitions(2), 2u) << "the parameters without a mapped name follow the language";
    EXPECT_EQ(Project().UndoNames().front(), "update parameter");
    EXPECT_EQ(
        Values(wall),
        "Velmar Afmetingen/Totale dikte=0.0125; Velmar Afmetingen/WEIGHT=undefined; Velmar Brand/Brandklasse=EI 60; "
        "Velmar Brand/Brandwerendheid=3; Velmar/Couleur=wit; Velmar/Getypt=2.5; Velmar/Merk=Velmar; "
        "Velmar/Systeemcode=VELMAR-X")
        << "renamed where it had no French name to its key, each with its value";

    Velmar::App::State::instance()->languageIndex = 2;
    const std::size_t definitions = Project().Definitions(APINULLGuid).size();
    EXPECT_TRUE(Provider().UpdateElement(wall, true));
    EXPECT_EQ(Project().Definitions(APINULLGuid).size(), definitions) << "the next write finds the renamed definitions";
    EXPECT_EQ(provider.RefreshDefinitions(2), 0u);
}

TEST_F(Properties, ClassificationCodesGoToTheChosenTextProperty)
{
    API_Guid target = {};
    host_.RunHostCommand("Create Property", [&] {
        API_PropertyGroup group;
        group.name = "Project";
        ASSERT_EQ(ACAPI_Property_CreatePropertyGroup(group), NoError);
        for (const char* name : {"Code", "Another code", "Count"}) {
            API_PropertyDefinition definition;
            definition.groupGuid = group.guid;
            definition.name = name;
            definition.collectionType = API_PropertySingleCollectionType;
            definition.valueType =
                std::string(name) == "Count" ? API_PropertyIntegerValueType : API_PropertyStringValueType;
            definition.defaultValue.basicValue =
                Velmar::Services::Properties::DefaultValueOf(definition.valueType, false);
            ASSERT_EQ(ACAPI_Property_CreatePropertyDefinition(definition), NoError);
            if (std::string(name) == "Code")
                target = definition.guid;
        }
    });
    std::string offered;
    for (const auto& candidate : Velmar::Services::Classification::ClassificationTargets())
        offered += HostText::Utf8(candidate.name.Get()) + ", ";
    EXPECT_EQ(offered, "Another code, Code, Position, ") << "text properties only, by name";

    API_PropertyDefinition code;
    code.guid = target;
    ASSERT_EQ(ACAPI_Property_GetPropertyDefinition(code), NoError);
    struct Case {
        const char* what;
        const char* code;
        std::optional<bool> active;
        bool deleted;
        const char* expected;
    };
    const Case cases[] = {
        {"the system's code", "nl-sfb", true, false, "22.21"},
        {"switched off: not written", "NL-SfB", false, false, "old"},
        {"without a word from the page", "NL-SfB", std::nullopt, false, "22.21"},
        {"a code the system lacks clears the property", "STABU", true, false, " (default)"},
        {"a target the project lost is skipped", "NL-SfB", true, true, "old"},
    };
    for (const auto& c : cases) {
        auto provider = Provider();
        const API_Elem_Head wall = Place(API_WallID, Composite(std::string("Wall ") + c.what, 100));
        host_.RunHostCommand("Set Property Value", [&] {
            ACAPI_Element_SetProperty(wall.guid, Velmar::Services::Properties::ToProperty(code, "old"));
        });
        Velmar::App::StoredProjectClassificationMapping mapping;
        mapping.classificationCode.Set(c.code);
        mapping.propertyDefinitionId.Set(c.deleted ? HostGuid::New() : APIGuid2GSGuid(target));
        if (c.active)
            mapping.active.Set(*c.active);
        Velmar::App::State::instance()->classificationMappings = {mapping};
        provider.UpdateElement(wall, true);
        API_Property written;
        ACAPI_Element_GetPropertyValue(wall.guid, target, written);
        EXPECT_EQ(Text(written), c.expected) << c.what;
    }
}

// The add-on's element handler as the host calls it, keeping its answer, which the host does not show.
GSErrCode handlerAnswer = NoError;
GSErrCode AnsweringElementHandler(const API_NotifyElementType* notification)
{
    return handlerAnswer = Velmar::AddOn::ElementEventHandler(notification);
}

std::string Twee()
{
    std::string parameters = Parameters;
    return parameters.replace(parameters.find("\"2,5\""), 5, "\"twee\"");
}

// A number that does not convert ends the whole write: a step raises it and is taken back whole; in the
// user's own command the wall stays and the log says why. Host refusals are the matrix's below.
TEST_F(Properties, AConversionErrorEndsTheWrite)
{
    // The handler's provider reads the mapping the configuration holds.
    Velmar::Testing::WriteFile(root_ / "data/user/mapping.json", Mapping);
    Velmar::Services::ConfigurationService::Replace(std::make_shared<Velmar::Services::ConfigurationService>(
        "settings.json", "mapping.json", [](const auto&, Int32) {}));
    for (const bool placing : {false, true}) {
        host_.NewProject();
        Velmar::Services::PropertyProvider::Reset();
        const auto composite = Composite("Wall", 300, Twee());
        if (placing) {
            host_.Handlers().newElement = AnsweringElementHandler;
            handlerAnswer = NoError;
            const API_Elem_Head wall = Place(API_WallID, composite);
            host_.Handlers().newElement = nullptr;
            EXPECT_EQ(handlerAnswer, APIERR_GENERAL);
            EXPECT_NE(Project().FindElement(wall.guid), nullptr) << "the user's wall stays";
            EXPECT_EQ(Project().UndoNames().front(), "Create Wall");
            EXPECT_NE(AddOnLog().find("Writing Velmar properties failed: invalid stod argument\r\n"),
                      std::string::npos);
            continue;
        }
        const API_Elem_Head wall = Place(API_WallID, composite);
        const std::string before = Project().ToJson();
        EXPECT_THROW(Provider().UpdateElement(wall, true), std::invalid_argument);
        EXPECT_EQ(Project().ToJson(), before);
    }
    // A kind of notification the add-on does not handle is answered as not supported.
    API_NotifyElementType deleted = {};
    deleted.notifID = APINotifyElement_Delete;
    EXPECT_EQ(AnsweringElementHandler(&deleted), APIERR_NOTSUPPORTED);
}

TEST_F(Properties, ReapplyWritesEveryWallAndSlabAsOneStepAndACancelKeepsWhatWasWritten)
{
    const auto tagged = Composite("Wall", 300);
    const API_Elem_Head walls[] = {Place(API_WallID, tagged), Place(API_WallID, tagged)};
    const API_Elem_Head slab = Place(API_SlabID, tagged);
    struct Case {
        const char* what;
        std::optional<Int32> cancelAt;
        bool firstWallDeleted;  // by someone else once the run has listed the walls
        std::size_t written;
    };
    for (const Case& c :
         {Case{"the whole project", std::nullopt, false, 3}, Case{"cancelled at the slabs", 2, false, 2},
          Case{"a wall deleted while it runs", std::nullopt, true, 2}}) {
        if (c.cancelAt)
            host_.ArmProcessCancel(*c.cancelAt);
        host_.SetProcessObserver([&] {
            if (c.firstWallDeleted && host_.ProcessWindows().back().phase == 1)
                Project().DeleteElement(walls[0].guid);
        });
        EXPECT_EQ(Provider().ReapplyToAll(), c.written) << c.what;
        host_.SetProcessObserver(nullptr);
        EXPECT_EQ(Project().FindElement(walls[0].guid) == nullptr, c.firstWallDeleted) << c.what;
        EXPECT_EQ(Values(walls[1]), Lod300) << c.what;
        EXPECT_EQ(Values(slab), c.cancelAt ? Untouched : Lod300) << c.what;
        const Sim::ProcessWindow& window = host_.ProcessWindows().back();
        EXPECT_EQ(std::make_tuple(window.title, window.phases, window.open),
                  std::make_tuple(std::string("Velmar properties"), 2, false));
        EXPECT_EQ(Project().UndoNames().front(), "setting property") << c.what;
        ASSERT_TRUE(host_.Undo()) << c.what;
        EXPECT_EQ(Values(walls[0]), "") << c.what << ": one undo takes the whole run back";
    }
}

// The whole matrix: every host operation a fault-free step calls, refused on its first call and on every
// call. Each step completes as it does without the fault, leaves out only what the host would not let it
// read or skips values and says so, or raises its reason and leaves the project exactly as it was.
TEST_F(Properties, EveryStepCompletesOrLeavesTheProjectAsItWas)
{
    using Velmar::Services::Composition::CompositionService;
    const auto level = [](Int32 value) {
        return Velmar::Bo::LOD(HostText::Uni(std::to_string(value).c_str()), value >= 300, value == 500, value);
    };
    // A system the composites can be built from, carrying the parameters the mapping writes.
    const auto systemOf = [](const std::string& thickness, const std::string& stamp) {
        Velmar::Testing::SystemOutline outline = Velmar::Testing::StandardWall(thickness);
        outline.timeStamp = stamp;
        std::string object = Velmar::Testing::SystemObject(outline);
        object.insert(object.find("\"general\":{") + 11, Parameters + ",");
        auto source = Velmar::Json::ParseRecord<Velmar::Corvana::CVSystem>(object);
        source.rawText = "{\"" + outline.id + "\":" + object + "}";
        return std::make_shared<const Velmar::Bo::System>(source, 1);
    };
    const auto system = systemOf("125", "2026-03-02 10:20:30");
    Velmar::Testing::WriteFile(root_ / "data/user/mapping.json", Mapping);
    Velmar::Services::ConfigurationService::Replace(std::make_shared<Velmar::Services::ConfigurationService>(
        "settings.json", "mapping.json", [](const auto&, Int32) {}));
    const auto state = Velmar::App::State::instance();
    const auto lods = Velmar::Lod::LodProvider::instance();
    CompositionService service;
    API_Attr_Head own = {};
    GS::Guid stored;
    API_Elem_Head walls[2] = {};
    API_AttributeIndex wallComposite = {};
    std::optional<API_Guid> placed;
    const auto prepare = [&] {
        placed.reset();
        host_.NewProject();
        Velmar::Services::PropertyProvider::Reset();
        Velmar::Services::ProjectStore::ProjectStoreService::instance()->Reload();
        state->SetBrandLessEnabled(true);
        state->SetNeutral(false);
        lods->SetActive(level(300));
        // Archicad refuses to delete index 1 of a type, which a project's template always fills.
        Composite("Template", 100, Parameters, false);
        API_Attr_Head wall = {};
        Velmar::RunUndoStep("Download", [&] {
            wall = service.CreateComposite(*system, level(300), "Wall");
            stored = service.TagComposite(*system, wall, level(300));
        });
        own.typeID = API_CompWallID;
        own.index = Composite("Own", 300, Parameters, false);
        storedId_ = stored;
        wallComposite = wall.index;
        walls[0] = Place(API_WallID, wall.index, nullptr, true);
        walls[1] = Place(API_WallID, own.index);
    };
    // What the project holds, without the GUIDs a run makes anew.
    const auto outcome = [&] {
        std::string text;
        for (const auto* composite : Project().Attributes(API_CompWallID)) {
            const auto& data = composite->userData;
            const auto tag = data ? Velmar::Bo::CompositeTag::FromUserData(data->version, data->platformSign,
                                                                           data->bytes.data(), data->bytes.size())
                                  : std::nullopt;
            text += HostText::Utf8(composite->name) + " " + std::to_string(composite->record.compWall.totalThick) +
                    " " + std::to_string(composite->skins.size()) + " skins " +
                    (tag ? tag->systemName + " " + std::to_string(tag->lod) : "untagged") + "; ";
        }
        for (const API_Elem_Head& wall : walls)
            text += Values(wall) + " | link " + (Project().FindElement(wall.guid)->userData ? "yes" : "no") + "; ";
        if (placed) {
            API_Elem_Head head = {};
            head.guid = *placed;
            text += "placed: " + Values(head) + "; ";
        }
        return text + std::to_string(Project().ModuleData().size()) + " stored";
    };
    struct Flow {
        const char* what;
        std::function<void()> run;
        // Reads after which the step leaves out what it could not read, as the add-on does where it may.
        std::set<std::string> leftOut;
        bool valuesWritten = false;  // the first wall has its values before the step
        bool usersOwn = false;       // the user's command, which the add-on's refusals never end
    };
    const Flow flows[] = {
        {"download",
         [&] {
             Velmar::RunUndoStep("Download", [&] {
                 service.TagComposite(*system, service.CreateComposite(*system, level(300), "New"), level(300));
             });
         },
         {},
         false,
         false},
        {"link",
         [&] {
             Velmar::RunUndoStep("Download", [&] {
                 service.LinkComposite(own, *system, level(300));
                 Velmar::Services::PropertyProvider::instance()->UpdateUsersOf({own.index});
             });
         },
         {},
         false,
         false},
        {"LOD update",
         [&] {
             lods->SetActive(level(400));
             Velmar::Lod::UpdateToActiveLod(Velmar::Lod::LodUpdateScope::All);
         },
         {"ACAPI_Element_Get", "ACAPI_Element_GetUserData", "ACAPI_UserData_GetUserData"},
         false,
         false},
        {"Neutral",
         [&] {
             state->SetNeutral(true);
             Velmar::Services::PropertyProvider::instance()->ReapplyToAll();
         },
         {},
         false,
         false},
        {"Update",
         [&] {
             Velmar::Services::Update::RunUpdate({{systemOf("137,5", "2026-04-02 10:20:30"), stored}});
         },
         // The system is left for the next update, and the closing report names it.
         {"ACAPI_Attribute_Get", "ACAPI_Attribute_GetDefExt", "ACAPI_Attribute_ModifyExt", "ACAPI_ModulData_Get",
          "ACAPI_ModulData_Store"},
         false,
         false},
        {"rename", [&] { Velmar::Services::PropertyProvider::instance()->RefreshDefinitions(3); }, {}, true, false},
        // The user's own command: the wall stays whatever the host refuses the add-on, which only logs.
        {"placing a wall",
         [&] {
             host_.Handlers().newElement = AnsweringElementHandler;
             Sim::Element wall = Sim::NewElement(API_WallID);
             wall.record.wall.composite = wallComposite;
             wall.record.wall.modelElemStructureType = API_CompositeStructure;
             placed = host_.PlaceElement(wall);
             host_.Handlers().newElement = nullptr;
         },
         {},
         false,
         true},
    };
    const auto prepareFor = [&](const Flow& flow) {
        prepare();
        if (flow.valuesWritten)
            Velmar::Services::PropertyProvider::instance()->UpdateElement(walls[0], true);
    };
    for (const Flow& flow : flows) {
        prepareFor(flow);
        const std::string untouched = outcome();
        host_.Faults().StartRecording();
        flow.run();
        const std::set<std::string> called = host_.Faults().StopRecording();
        const std::string done = outcome();
        ASSERT_NE(done, untouched) << flow.what;
        for (const std::string& operation : called) {
            // Releasing memory is no refusal a host makes: refused here, the handles would only leak.
            if (operation == "ACAPI_DisposeAttrDefsHdlsExt")
                continue;
            for (const int times : {1, Sim::FaultInjector::Every}) {
                prepareFor(flow);
                const std::string before = Project().ToJson();
                const std::size_t logged = AddOnLog().size();
                host_.Faults().Arm(operation, APIERR_GENERAL, times);
                std::string reason;
                try {
                    flow.run();
                } catch (const GS::Exception& exception) {
                    reason = HostText::Utf8(exception.GetMessage());
                } catch (const std::exception& exception) {
                    reason = exception.what();
                }
                host_.Faults().Clear();
                const std::string row =
                    std::string(flow.what) + ", " + operation + " refused " + (times == 1 ? "once" : "always");
                if (!reason.empty()) {
                    if (Project().ToJson() != before) {
                        Velmar::Testing::WriteFile("/tmp/m-before.json", before);
                        Velmar::Testing::WriteFile("/tmp/m-after.json", Project().ToJson());
                    }
                    EXPECT_EQ(Project().ToJson(), before) << row << ": " << reason;
                    continue;
                }
                const std::string after = outcome();
                const bool skipsReported = AddOnLog().find("values not written", logged) != std::string::npos;
                const bool leftAsItWas = after == untouched && flow.leftOut.count(operation) != 0;
                if (flow.usersOwn) {
                    EXPECT_NE(Project().FindElement(*placed), nullptr) << row << ": the user's wall stays";
                    EXPECT_TRUE(after == done ||
                                AddOnLog().find("the host refused " + operation, logged) != std::string::npos)
                        << row << ": what the host refused is logged";
                    continue;
                }
                EXPECT_TRUE(after == done || skipsReported || leftAsItWas)
                    << row << "\n  " << after << "\n  instead of\n  " << done;
            }
        }
    }
}

}  // namespace
