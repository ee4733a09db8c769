// Check as the rule pages drive it: the "ACAPI" rule functions with the module's code over the simulated
// host's table, on walls and slabs linked to systems stored in the project.
#include "AcapiBridge.hpp"
#include "ConfigurationService.hpp"
#include "HostGuid.hpp"
#include "HostText.hpp"
#include "PaletteController.hpp"
#include "RecordingWindow.hpp"
#include "RuleProject.hpp"
#include "RuleRecords.hpp"

#include <gtest/gtest.h>

#include <map>

extern "C" const RS::ModuleData GSResourceModuleData;

namespace {

using namespace brixlab::xdWebEngine;
using brixlab::controllers::PaletteController;
using Velmar::Testing::LinkData;
using Velmar::Testing::SystemText;
using Answer = GS::Ref<JS::Base>;

using Window = Velmar::Testing::RecordingWindow;

class Check : public ::testing::Test {
protected:
    void SetUp() override
    {
        project_.Host().OpenResources(&GSResourceModuleData);
        UseLanguage("en-US");
        const auto controller = PaletteController::instance();
        for (const auto id : {PaletteIdentifiers::Rules, PaletteIdentifiers::Result}) {
            controller->AddFactory(id, [] { return std::make_shared<Window>(); });
            controller->AddTitle(id, "window");
            controller->AddSize(id, {800, 600});
            controller->AddAddressProvider(id, [] { return GS::UniString("https://app.velmar.example/rules"); });
        }
        acapi_.reset(CreateAcapiObject(caller_, [] { return GS::UniString("https://app.velmar.example/rules"); }));
    }

    void UseLanguage(const std::string& code)
    {
        Velmar::Testing::WriteFile(project_.Host().DataRoot() + "/user/settings.json",
                                   R"({"version":"1","databaseSettings":[{"countryCode":"BE"}],)"
                                   R"("defaultCountry":"BE","defaultLanguage":")" +
                                       code + "\"}");
        Velmar::Services::ConfigurationService::Replace(std::make_shared<Velmar::Services::ConfigurationService>(
            "settings.json", "mapping.json", [](const auto&, Int32) {}));
    }

    // Walls A1 (12 m) and A2 (8 m) and slab SA on system A (DILATATIE 10 m, BRANDWERENDHEID 60), walls B1
    // (16 m) and B2 (12 m) on system B (DILATATIE 15 m); a wall without user data, one with too little,
    // and one linked to a system the project does not keep.
    void PlaceLinkedProject()
    {
        const GS::Guid a = project_.StoreSystem(
            SystemText("SYS-A", {{"DILATATIE", "mm", "10000", "Length"}, {"BRANDWERENDHEID", "", "60", "Number"}}));
        const GS::Guid b = project_.StoreSystem(
            SystemText("SYS-B", {{"DILATATIE", "mm", "15000", "Length"}, {"BRANDWERENDHEID", "", "120", "Number"}}));
        const std::pair<const char*, double> walls[] = {{"A1", 12}, {"A2", 8}, {"B1", 16}, {"B2", 12}};
        for (const auto& [name, length] : walls)
            Name(name, project_.Wall(length));
        Name("SA", project_.Host().CreateElement(API_SlabID));
        for (const char* name : {"A1", "A2", "SA"})
            project_.Link(guids_[name], LinkData(a));
        project_.Link(guids_["B1"], LinkData(b));
        // Another data version all the same: the link is the first 16 bytes, whatever the version says.
        project_.Link(guids_["B2"], LinkData(b, 2));
        project_.Link(project_.Wall(20), Sim::UserData{1, 0x5757, "12345678"});
        project_.Link(project_.Wall(20), LinkData(HostGuid::New()));
        project_.Wall(20);
    }

    void Name(const std::string& name, const API_Guid& guid)
    {
        guids_[name] = guid;
        names_[HostText::Utf8(APIGuidToString(guid))] = name;
    }

    // The window the controller holds; it keeps windows from one test to the next in a process.
    static std::shared_ptr<Window> Held(PaletteIdentifiers id)
    {
        return std::static_pointer_cast<Window>(PaletteController::instance()->GetOpenWindow(id));
    }

    Answer Call(const char* name, const std::string& argument = {})
    {
        const auto function = acapi_->FindFunction(name);
        return function->Invoke(argument.empty() ? nullptr : Answer(new JS::Value(HostText::Uni(argument))));
    }

    static std::string Text(const Answer& answer)
    {
        const auto value = GS::DynamicCast<JS::Value>(answer);
        if (value == nullptr || value->GetType() == JS::Value::UNDEFINED)
            return "undefined";
        return value->GetType() == JS::Value::BOOL ? (value->GetBool() ? "true" : "false")
                                                   : HostText::Utf8(value->GetString());
    }

    // "label: failed X Y; passed Z" per result, with the elements by their names.
    std::string Results()
    {
        const auto results =
            Velmar::Json::ParseRecord<ResultList>("{\"list\":" + Text(Call("ruleresult_getResults")) + "}");
        std::string text;
        for (const auto& result : results.list.Items()) {
            text += (text.empty() ? "" : " | ") + HostText::Utf8(result.rule.Get().Label.Get()) + ":";
            const std::pair<const char*, const Velmar::Json::ArrayProperty<API_Guid>*> lists[] = {
                {" failed", &result.failedItems}, {"; passed", &result.successItems}};
            for (const auto& [title, list] : lists) {
                text += title;
                for (const API_Guid& guid : list->Items())
                    text += " " + names_[HostText::Utf8(APIGuidToString(guid))];
            }
        }
        return text;
    }

    std::string Run(const std::vector<const char*>& labels, const std::string& answers = "")
    {
        std::string rules;
        for (const char* label : labels)
            rules += std::string(rules.empty() ? "" : ",") + "{\"Label\":\"" + label + "\"}";
        return Text(Call("rules_runRules", "{\"activeRules\":[" + rules + "],\"targetProperties\":[" + answers + "]}"));
    }

    std::vector<std::string> Reports()
    {
        std::vector<std::string> texts;
        for (const auto& report : project_.Host().Reports())
            texts.push_back(report.text);
        project_.Host().Reports().clear();
        return texts;
    }

    struct ResultList : Velmar::Json::BaseObject {
        Velmar::Json::ArrayProperty<velmar::rules::model::RuleExecutionResult> list{"list"};
        VELMAR_JSON_MEMBERS(list)
    };

    Velmar::Testing::RuleProject project_;
    Window caller_;
    std::unique_ptr<JS::Object> acapi_;
    std::map<std::string, API_Guid> guids_;
    std::map<std::string, std::string> names_;
};

TEST_F(Check, ListsEachSystemsRulesOncePerLabelInTheActiveLanguage)
{
    struct Case {
        const char* language;
        std::size_t rules;
        const char* first;
    };
    const Case cases[] = {
        {"en-US", 6, "Maximum Wall Height"}, {"nl-NL", 6, "Maximum Wandhoogte"},
        {"nl-BE", 12, "Maximum Wandhoogte"},  // "nl-NL" rules are never the active language's: listed per system
        {"en-GB", 12, "Maximum Wandhoogte"}, {"fr-BE", 0, ""},
    };
    PlaceLinkedProject();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        UseLanguage(c.language);
        Velmar::Json::rj::Document rules;
        const std::string text = Text(Call("rules_getRules"));
        rules.Parse(text.c_str());
        ASSERT_TRUE(rules.IsArray()) << text;
        EXPECT_EQ(rules.Size(), c.rules);
        if (c.rules > 0) {
            EXPECT_STREQ(rules[0]["Label"].GetString(), c.first);
        }
    }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(Check, RunsTheSystemsOwnRulesAndMergesTheirVerdictsPerLabel)
{
    PlaceLinkedProject();
    const API_Guid fire = project_.Definition("Fire", API_PropertyRealValueType);
    project_.SetValue(guids_["A1"], fire, 90.0);
    project_.SetValue(guids_["B1"], fire, 90.0);
    const std::string fireAnswer =
        "{\"targetProperty\":\"~P1\",\"targetValue\":\"" + HostText::Utf8(APIGuidToString(fire)) + "\"}";
    struct Case {
        std::vector<const char*> labels;
        std::string answers;
        const char* results;
    };
    const Case cases[] = {
        {{"Maximum length"}, "", "Maximum length: failed B1 A1; passed B2 A2 SA"},
        {{"MAXIMUM length", "No such rule"}, "", "Maximum length: failed B1 A1; passed B2 A2 SA"},
        {{"No such rule"}, "", ""},
        {{"Fire resistance"}, "", "Fire resistance: failed; passed B1 B2 A1 A2 SA"},
        {{"Fire resistance"}, fireAnswer, "Fire resistance: failed A1; passed B1 B2 A2 SA"},
        {{"Fire resistance", "Maximum length"},
         fireAnswer,
         "Maximum length: failed B1 A1; passed B2 A2 SA | Fire resistance: failed A1; passed B1 B2 A2 SA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.results);
        PaletteController::instance()->OpenWindow(PaletteIdentifiers::Rules);
        const int loads = Held(PaletteIdentifiers::Result) ? Held(PaletteIdentifiers::Result)->loads : 0;
        EXPECT_EQ(Run(c.labels, c.answers), "true");
        EXPECT_EQ(Results(), c.results);
        EXPECT_FALSE(Held(PaletteIdentifiers::Rules)->visible);
        EXPECT_TRUE(Held(PaletteIdentifiers::Result)->visible);
        EXPECT_EQ(Held(PaletteIdentifiers::Result)->loads, loads + 1) << "the result page shows the new run";
    }
    EXPECT_TRUE(Reports().empty());
}

TEST_F(Check, FailuresEndTheRunOrGiveTheVerdictsOfMissingValues)
{
    PlaceLinkedProject();
    const GS::Guid broken = project_.StoreSystem(SystemText("SYS-C", {{"DILATATIE", "", "abc", "String"}}));
    struct Case {
        const char* what;
        std::vector<const char*> labels;
        const char* fault;
        int times;
        const char* answer;
        std::vector<std::string> reports;
        std::string results;
    };
    const char* const earlier = "Maximum length: failed B1 A1; passed B2 A2 SA";
    const Case cases[] = {
        // A1 fails Maximum length anyway; the host answers its read for Fire resistance again.
        {"an element that cannot be read fails the rule that met the failure only",
         {"Fire resistance", "Maximum length"},
         "ACAPI_Element_Get",
         1,
         "true",
         {},
         std::string(earlier) + " | Fire resistance: failed; passed B1 B2 A1 A2 SA"},
        {"without quantities no length exceeds",
         {"Maximum length"},
         "ACAPI_Element_GetQuantities",
         -1,
         "true",
         {},
         "Maximum length: failed; passed B1 B2 A1 A2 SA"},
        {"no element list: nothing to check", {"Maximum length"}, "ACAPI_Element_GetElemList", -1, "true", {}, ""},
        {"no user data: nothing linked", {"Maximum length"}, "ACAPI_Element_GetUserData", -1, "true", {}, ""},
        {"a parameter that is no number ends the run",
         {"Maximum length"},
         "",
         0,
         "undefined",
         {"failed\n invalid stod argument"},
         earlier},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Run({"Maximum length"}), "true");
        if (c.reports.size() == 1)
            project_.Link(guids_["B2"], LinkData(broken));
        if (*c.fault != '\0')
            project_.Host().Faults().Arm(c.fault, APIERR_GENERAL, c.times);
        EXPECT_EQ(Run(c.labels), c.answer);
        project_.Host().Faults().Clear();
        EXPECT_EQ(Reports(), c.reports);
        EXPECT_EQ(Results(), c.results);
    }
}

TEST_F(Check, ACancelledRunKeepsTheEarlierResultsAndSaysSo)
{
    PlaceLinkedProject();
    ASSERT_EQ(Run({"Fire resistance"}), "true");
    PaletteController::instance()->OpenWindow(PaletteIdentifiers::Rules);
    project_.Host().ArmProcessCancel(2);
    EXPECT_EQ(Run({"Fire resistance", "Maximum length"}), "true");
    EXPECT_EQ(Reports(), std::vector<std::string>{"Check cancelled: the earlier results are kept."});
    EXPECT_EQ(Results(), "Fire resistance: failed; passed B1 B2 A1 A2 SA");
    EXPECT_TRUE(Held(PaletteIdentifiers::Rules)->visible) << "the user may run the check again";
    const auto& window = project_.Host().ProcessWindows().back();
    EXPECT_EQ(window.phases, 2) << "a phase for the walls, one for the slabs";
    EXPECT_TRUE(window.cancelled);
    EXPECT_FALSE(window.open);
}

TEST_F(Check, OffersTheSingleNumericPropertiesSortedByDisplayName)
{
    const API_Guid fire = project_.Definition("Brandwerendheid", API_PropertyRealValueType);
    project_.Definition("Rw", API_PropertyIntegerValueType);
    project_.Definition("aantal", API_PropertyIntegerValueType);
    project_.Definition("Opmerking", API_PropertyStringValueType);
    project_.Definition("Waarden", API_PropertyRealValueType, API_PropertyListCollectionType);
    const std::string fireEntry = "{\"targetValue\":\"" + HostText::Utf8(APIGuidToString(fire)) +
                                  "\",\"targetProperty\":\"Velmar.Brandwerendheid\"}";
    struct Case {
        const char* fault;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"",
         {"General Ratings.Acoustic Requirement", "General Ratings.Fire Resistance Requirement",
          "General Ratings.Thermal Transmittance", "Velmar.Brandwerendheid", "Velmar.Rw", "Velmar.aantal"}},
        {"ACAPI_Property_GetPropertyDefinitions", {"Velmar.Brandwerendheid", "Velmar.Rw", "Velmar.aantal"}},
        {"ACAPI_Property_GetPropertyGroups", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        if (*c.fault != '\0')
            project_.Host().Faults().Arm(c.fault, APIERR_GENERAL, 1);
        const std::string text = Text(Call("rules_getProperties"));
        Velmar::Json::rj::Document properties;
        properties.Parse(text.c_str());
        ASSERT_TRUE(properties.IsArray()) << text;
        std::vector<std::string> names;
        for (const auto& property : properties.GetArray())
            names.push_back(property["targetProperty"].GetString());
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(text.find(fireEntry) != std::string::npos, !c.names.empty()) << text;
    }
}

}  // namespace
