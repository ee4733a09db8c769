// Velmar::Bo::ObjectAccessor: one element of the project, with the product system it is linked to and
// the user's answers, as a compiled rule reads it.
#pragma once

#include "BoSystem.hpp"
#include "ExportProperty.hpp"
#include "TargetObject.hpp"

#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Velmar::Bo {

// (question code, answer) in request order.
using AnswerList = std::vector<std::pair<GS::UniString, GS::UniString>>;

struct SystemParameter {
    GS::UniString name;
    Corvana::CVAttribute attribute;
    Int32 language = 1;
    DataType type = DataType::String;
};
using ParameterTable = std::vector<SystemParameter>;

// The system's parameters under the names rule logic uses: the attribute "ID" (the parameter's own name
// when it has none).
ParameterTable BuildParameterTable(const System& system);

// A number in the attribute's unit, in metres for "mm", "cm" and "dm" (any letter case); unchanged otherwise.
double ScaleByUnit(double value, const std::optional<GS::UniString>& unit);

class ObjectAccessor : public Rules::TargetObject {
public:
    // Both lists are borrowed and must outlive the accessor's use.
    ObjectAccessor(const AnswerList* answers, const ParameterTable* parameters)
        : answers_(answers), parameters_(parameters)
    {
    }

    // The element the next evaluation reads; its record is read at the first element value asked for.
    void SetElement(const API_Elem_Head& header)
    {
        header_ = header;
        record_.reset();
        elementValues_.clear();
        selectedValues_.clear();
    }
    // The same with the record the caller has just read, which every element value is then taken from.
    void SetElement(const API_Element& element)
    {
        header_ = element.header;
        record_ = element;
        elementValues_.clear();
        selectedValues_.clear();
    }
    const API_Elem_Head& Element() const { return header_; }

    Rules::OptionalValue GetElementValue(const std::string& name) override;
    Rules::OptionalValue GetParameterValue(const std::string& name) override;
    Rules::OptionalValue GetAnswerValue(const std::string& code) override;

private:
    // What an answer gives whatever the element: its text, and for a property selector its definition.
    struct Answer {
        const GS::UniString* text = nullptr;
        std::optional<API_Guid> definition;
    };
    const Answer& FindAnswer(const std::string& code);
    Rules::OptionalValue ReadParameter(const std::string& name) const;
    Rules::OptionalValue ReadElementValue(const std::string& name);
    // The catalog entries "[name]" reads on an element of the type, per catalog in lookup order.
    const std::vector<Properties::Selection>& SelectionsFor(API_ElemTypeID type, const std::string& name);
    Rules::OptionalValue ReadSelectedProperty(const API_Guid& definition) const;

    const AnswerList* answers_;
    API_Elem_Head header_ = {};
    std::optional<API_Element> record_;
    const ParameterTable* parameters_;
    // A rule asks for the same few names on every element; parameters and answers are the same for all of
    // them, so each name is looked up and converted once.
    std::unordered_map<std::string, Rules::OptionalValue> parameterValues_;
    std::unordered_map<std::string, Answer> answerOf_;
    std::unordered_map<API_ElemTypeID, std::unordered_map<std::string, std::vector<Properties::Selection>>> selections_;
    // The rules of a system all judge one element before the next, and several read the same element
    // values and selected properties: each is read from the host once per element.
    std::unordered_map<std::string, Rules::OptionalValue> elementValues_;
    std::unordered_map<std::string, Rules::OptionalValue> selectedValues_;
};

}  // namespace Velmar::Bo
