// Velmar::Bo::ObjectAccessor: one element of the project, with the product system it is linked to and
// the user's answers, as a compiled rule reads it.
#pragma once

#include "BoSystem.hpp"
#include "TargetObject.hpp"

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

    // The element the next evaluation reads.
    void SetElement(const API_Elem_Head& header) { header_ = header; }
    const API_Elem_Head& Element() const { return header_; }

    Rules::OptionalValue GetElementValue(const std::string& name) override;
    Rules::OptionalValue GetParameterValue(const std::string& name) override;
    Rules::OptionalValue GetAnswerValue(const std::string& code) override;

private:
    const GS::UniString* FindAnswer(const GS::UniString& code) const;

    const AnswerList* answers_;
    API_Elem_Head header_;
    const ParameterTable* parameters_;
};

}  // namespace Velmar::Bo
