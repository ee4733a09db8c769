// The rule document records: a rule with its condition and questions, as pages and product systems send them.
#pragma once

#include "Record.hpp"

namespace Velmar::Rules {

// Percent-decodes a Logic text and replaces its entities ("&amp;" first, so "&amp;gt;" becomes ">");
// a text whose percent-decoding fails is answered unchanged.
GS::UniString DecodeLogic(const GS::UniString& text);

// A text property whose value is decoded with DecodeLogic whenever it is read.
class LogicProperty : public Json::ValueProperty<GS::UniString> {
public:
    using ValueProperty::ValueProperty;
    void ReadFrom(const Json::rj::Value& object);
};

class Option : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> Code{"Code"};
    Json::ValueProperty<GS::UniString> Label{"Label"};
    VELMAR_JSON_MEMBERS(Code, Label)
};

class Question : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> Code{"Code"};
    Json::ValueProperty<GS::UniString> DefaultOption{"DefaultOption"};
    Json::ValueProperty<GS::UniString> Label{"Label"};
    Json::ArrayProperty<Option> Options{"Options"};
    Json::ValueProperty<bool> IsPropertySelector{"IsPropertySelector"};
    VELMAR_JSON_MEMBERS(Code, DefaultOption, Label, Options, IsPropertySelector)
};

class Rule : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> TargetPlatform{"TargetPlatform"};
    Json::ValueProperty<GS::UniString> Label{"Label"};
    Json::ValueProperty<GS::UniString> Language{"Language"};
    LogicProperty Logic{"Logic"};
    Json::ValueProperty<GS::UniString> ResultLabel{"ResultLabel"};
    Json::ArrayProperty<Question> Questions{"Questions"};
    VELMAR_JSON_MEMBERS(TargetPlatform, Label, Language, Logic, ResultLabel, Questions)
};

class RuleSet : public Json::BaseObject {
public:
    Json::ArrayProperty<Rule> Rules{"Rules"};
    VELMAR_JSON_MEMBERS(Rules)
};

}  // namespace Velmar::Rules
