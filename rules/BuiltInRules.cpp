#include "BuiltInRules.hpp"

#include "LanguageIndex.hpp"

namespace Velmar::Rules {

namespace {

// Product configuration: where the result texts send the architect for help.
const std::string HelpdeskTelephone = "+32 2 710 40 40";
const std::string HelpdeskEmail = "helpdesk@velmar.example";

const std::string MaximumHeightLogic =
    R"x((!ISNULL([[RTF]]) &amp;&amp; ((([[[DIN_18183]]] = \"TOEP1\") &amp;&amp; ([Type.Height] &gt; )x"
    R"x([[MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_1_VOLGENS_DIN_18183_]])) || ( ([[[DIN_18183]]] = \"TOEP2\") )x"
    R"x(&amp;&amp; ([Type.Height] &gt; [[MAXIMALE_HOOGTE_BIJ_BRAND_TOEPASSINGSGEBIED_2_VOLGENS_DIN_18183_]]))))||)x"
    R"x((ISNULL([[RTF]]) &amp;&amp; ((([[[DIN_18183]]] = \"TOEP1\") &amp;&amp; ([Type.Height] &gt; [[MH_FOA1]])) || )x"
    R"x((([[[DIN_18183]]] = \"TOEP2\") &amp;&amp; ([Type.Height] &gt; [[MH_FOA2]])))))x";
const std::string MaximumLengthLogic = "[Quantity.length] &gt; [[DILATATIE]]";
const std::string FireResistanceLogic = "[[[~P1]]] &gt; [[BRANDWERENDHEID]]";
const std::string SoundRwLogic = "[[[~P2]]] &gt; [[ASIRW]]";
const std::string SoundDntLogic = "[[[~P3]]] &gt; [[LUCHTGELUIDISOLATIE_DNT_A_K]]";
const std::string MaximumLoadLogic = "[[[~P4]]] &gt; ([[Weight]]*[Type.Height])";

std::string Text(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string RuleText(const char* language, const char* label, const std::string& logic, const std::string& resultLabel,
                     const std::string& questions)
{
    return std::string(R"({"TargetPlatform":"Archicad","Label":)") + Text(label) + R"(,"Language":)" + Text(language) +
           R"(,"Logic":)" + Text(logic) + R"(,"ResultLabel":)" + Text(resultLabel) +
           (questions.empty() ? "" : R"(,"Questions":[)" + questions + "]") + "}";
}

std::string HeightQuestion(const char* label, const char* area1, const char* area2)
{
    return std::string(R"({"Code":"DIN_18183","Label":)") + Text(label) + R"(,"Options":[{"Code":"TOEP1","Label":)" +
           Text(area1) + R"(},{"Code":"TOEP2","Label":)" + Text(area2) + "}]}";
}

std::string PropertyQuestion(const char* code, const char* label)
{
    return std::string(R"({"Code":)") + Text(code) + R"(,"Label":)" + Text(label) + R"(,"IsPropertySelector":true})";
}

std::vector<std::string> DutchRules()
{
    return {
        RuleText(
            "nl-NL", "Maximum Wandhoogte", MaximumHeightLogic,
            "Kies een geschikt wandtype via de selector of neem contact op met de Velmar Helpdesk per telefoon op " +
                HelpdeskTelephone + " of per E-mail aan " + HelpdeskEmail + ".",
            HeightQuestion("De maximale wandhoogte van de Velmar wanden is bepaald volgens DIN 4103 en DIN 18183. "
                           "Hierin worden 2 toepassingsgebieden onderscheiden, waarbij het aantal aanwezige "
                           "personen in de ruimte maatgevend is:",
                           "Toepassingsgebied 1", "Toepassingsgebied 2")),
        RuleText("nl-NL", "Maximale lengte", MaximumLengthLogic,
                 "Voorzie de nodige dilataties conform de Velmar-verwerkingsvoorschriften of neem contact op met de "
                 "Velmar Helpdesk per telefoon " +
                     HelpdeskTelephone + " of per E-mail aan " + HelpdeskEmail,
                 ""),
        RuleText("nl-NL", "Brandwerendheid", FireResistanceLogic, "Voorgeschreven brandwerendheid niet behaald",
                 PropertyQuestion("~P1", "Selecteer instance parameter met brandwerendheidswaarde")),
        RuleText("nl-NL", "Geluidsisolatie Rw", SoundRwLogic, "Voorgeschreven geluidisolatie RW niet behaald",
                 PropertyQuestion("~P2", "Selecteer instance parameter met geluidisolatieswaarde RW")),
        RuleText("nl-NL", "Geluidisolatie DnT,a,k", SoundDntLogic, "Voorgeschreven geluidisolatie DnT,a,k niet behaald",
                 PropertyQuestion("~P3", "Selecteer instance parameter met geluidisolatieswaarde DnT,a,k")),
        RuleText("nl-NL", "Maximale belasting", MaximumLoadLogic,
                 "Voorgeschreven maximum belasting wordt door het wandsysteem overschreden",
                 PropertyQuestion("~P4", "Selecteer instance parameter met maximale belasting")),
    };
}

std::vector<std::string> EnglishRules()
{
    return {
        RuleText("en-US", "Maximum Wall Height", MaximumHeightLogic,
                 "Choose a suitable wall type with the selector or contact the Velmar Helpdesk by telephone on " +
                     HelpdeskTelephone + " or by email to " + HelpdeskEmail + ".",
                 HeightQuestion("The maximum wall height of the Velmar walls is determined in accordance with DIN 4103 "
                                "and DIN 18183. Two areas of application are distinguished, where the number of "
                                "people present in the room is decisive:",
                                "Area of application 1", "Area of application 2")),
        RuleText("en-US", "Maximum length", MaximumLengthLogic,
                 "Provide the necessary dilations in accordance with the Velmar processing instructions or contact "
                 "the Velmar Helpdesk by telephone " +
                     HelpdeskTelephone + " or by e-mail to " + HelpdeskEmail,
                 ""),
        RuleText("en-US", "Fire resistance", FireResistanceLogic, "Prescribed fire resistance not achieved",
                 PropertyQuestion("~P1", "Select the instance parameter (numeric) with which you want to check the "
                                         "fire resistance.")),
        RuleText("en-US", "Sound insulation Rw", SoundRwLogic, "Prescribed sound insulation RW not achieved",
                 PropertyQuestion("~P2", "Select the instance parameter (numeric) with which you want to check the "
                                         "Sound Insulation Rw.")),
        RuleText("en-US", "Sound insulation DnT,a,k", SoundDntLogic, "Prescribed sound insulation DnT,a,k not achieved",
                 PropertyQuestion("~P3", "Select the instance parameter (numeric) with which you want to check the "
                                         "Sound Insulation DnT,a,k.")),
        RuleText("en-US", "Maximum load", MaximumLoadLogic, "Prescribed maximum load is exceeded by the wall system",
                 PropertyQuestion("~P4", "Select the instance parameter (numeric) with which you want to check the "
                                         "Maximum load.")),
    };
}

}  // namespace

std::string BuiltInRules()
{
    std::string document = "{ \"Rules\": [";
    bool first = true;
    for (const auto& rules : {DutchRules(), EnglishRules()}) {
        for (const auto& rule : rules) {
            document += first ? "" : ",";
            document += rule;
            first = false;
        }
    }
    return document + "] }";
}

GS::Array<Rule> SelectBuiltInRules(Int32 languageIndex)
{
    GS::Array<Rule> selected;
    const auto document = Json::ParseRecord<RuleSet>(BuiltInRules());
    for (const Rule& rule : document.Rules.Items()) {
        if (!rule.TargetPlatform.HasValue() || !rule.TargetPlatform.Get().IsEqual("Archicad", GS::CaseInsensitive) ||
            !rule.Language.HasValue())
            continue;
        if (App::LanguageIndexOf(rule.Language.Get()) == languageIndex)
            selected.Push(rule);
    }
    return selected;
}

}  // namespace Velmar::Rules
