// Velmar::Bo::System: a downloaded product system as the model writers and the rules use it: kind,
// thickness, four frames with their boards, the parameters in the project language and the rules.
#pragma once

#include "BoRule.hpp"
#include "CVSystem.hpp"
#include "Lod.hpp"

#include <array>

namespace Velmar::Bo {

enum class SystemKind : Int32 { Floor = 0, Wall = 1, Ceiling = 2 };

// A parameter's value type, from the attribute's "DataType".
enum class DataType : Int32 {
    String = 1,
    Number = 2,
    Integer = 3,
    Length = 4,
    Area = 5,
    Volume = 6,
    Angle = 7,
    Boolean = 8
};
DataType DataTypeOf(const GS::UniString& text);

struct Board {
    std::optional<double> thickness;  // metres
    std::optional<GS::UniString> type;
    std::optional<Corvana::Colour> colour;
    std::optional<double> lambda;
    Int32 layer = 0;
};

struct Frame {
    std::array<Board, 4> boards;
    std::optional<double> depth;  // metres, the inside dimension of the profile
    std::optional<double> insulationThickness;
    std::optional<GS::UniString> insulationType;
    Int32 number = 0;
    std::optional<Corvana::Colour> insulationColour;
    std::optional<double> insulationLambda;
};

struct Property {
    GS::UniString name;
    Corvana::CVAttribute attribute;
    Int32 language = 1;
    std::optional<LOD> lod;
    DataType dataType = DataType::String;
};

// Year, month, day of week (0), day, hour, minute, second, milliseconds (0).
using TimeStamp = std::array<UInt16, 8>;

class System {
public:
    // Kind, frames and boards read the Dutch texts whatever the language; parameters use `languageIndex`.
    // Without a language the system has a name and a time stamp but no kind, frames, parameters or rules.
    // A number that does not convert raises the standard conversion error.
    System(const Corvana::CVSystem& source, std::optional<Int32> languageIndex);

    std::array<Frame, 4> frames;
    std::optional<SystemKind> kind;
    GS::UniString name;
    std::optional<TimeStamp> timeStamp;
    std::optional<double> thickness;
    GS::Array<Property> properties;
    GS::Array<Rule> rules;
    std::string rawText;  // UTF-8
};

// "year-month-day hour:minute:second" in digits; none for anything else.
std::optional<TimeStamp> ParseTimeStamp(const GS::UniString& text);

}  // namespace Velmar::Bo
