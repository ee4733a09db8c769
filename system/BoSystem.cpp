#include "BoSystem.hpp"

#include "Array.hpp"
#include "BuiltInRules.hpp"
#include "LodProvider.hpp"
#include "Numbers.hpp"
#include "Utf8Text.hpp"

#include <regex>

namespace Velmar::Bo {

namespace {

using Corvana::CVAttribute;
using Corvana::CVMaterial;
using Corvana::CVSystem;
using Corvana::FindAttribute;

constexpr Int32 Dutch = 1;

struct DataTypeName {
    const char* text;
    DataType type;
};
constexpr DataTypeName DataTypeNames[] = {
    {"String", DataType::String},   {"Number", DataType::Number}, {"Int", DataType::Integer},
    {"Integer", DataType::Integer}, {"Length", DataType::Length}, {"Area", DataType::Area},
    {"Volume", DataType::Volume},   {"Angle", DataType::Angle},   {"Bool", DataType::Boolean},
    {"Boolean", DataType::Boolean},
};

const std::regex TimeStampPattern("^(\\d+)-(\\d+)-(\\d+)\\s+(\\d+):(\\d+):(\\d+)$");

GS::UniString Replace(GS::UniString text, const char* marker, const GS::UniString& by)
{
    GS::Array<GS::UniString> parts;
    text.Split(marker, &parts);
    GS::UniString result = parts[0];
    for (UIndex i = 1; i < parts.GetSize(); ++i)
        result += by + parts[i];
    return result;
}

std::optional<GS::UniString> DutchValue(const CVAttribute* attribute)
{
    return attribute != nullptr ? attribute->ValueText(Dutch) : std::nullopt;
}

std::optional<double> Metres(const CVAttribute* attribute)
{
    if (attribute == nullptr)
        return std::nullopt;
    return attribute->ValueNumber(Dutch) / 1000.0;
}

// A profile is named by brand and trade mark, or by the trade mark alone.
bool MatchesProductName(const CVMaterial& product, const GS::UniString& name)
{
    const auto brand = DutchValue(FindAttribute(product.General(), "ZBN_BRANDNAME"));
    const auto mark = DutchValue(FindAttribute(product.General(), "ZBN_TRADE_MARK"));
    if (!brand && !mark)
        return false;
    GS::UniString joined = brand.value_or(GS::UniString());
    if (mark)
        joined += (brand ? GS::UniString(" ") : GS::UniString()) + *mark;
    return name.IsEqual(joined, GS::CaseInsensitive) || (mark && name.IsEqual(*mark, GS::CaseInsensitive));
}

bool MatchesDisplayName(const CVMaterial& product, const GS::UniString& name, GS::CaseComparison comparison)
{
    const auto display = DutchValue(FindAttribute(product.General(), "pibName"));
    return display && display->IsEqual(name, comparison);
}

template <typename Matches>
const CVMaterial* FirstProduct(const CVSystem& source, Matches&& matches)
{
    for (const auto& product : source.linkedProducts) {
        if (matches(product))
            return &product;
    }
    return nullptr;
}

Board BuildBoard(const CVSystem& source, Int32 side, Int32 layer)
{
    static const char* const LayerNames[] = {"1_BUITEN", "2", "3", "4"};
    const GS::UniString key =
        Replace(Replace("PLAAT_ZIJDE_@_LAAG_#_", "@", std::to_string(side).c_str()), "#", LayerNames[layer - 1]);
    Board board;
    board.layer = layer;
    const CVAttribute* thickness = FindAttribute(source.Composition(), key + "DIKTE");
    const CVAttribute* type = FindAttribute(source.Composition(), key + "TYPE");
    if (thickness == nullptr || type == nullptr)
        return board;
    board.thickness = Metres(thickness);
    board.type = DutchValue(type);
    if (board.type) {
        if (const auto* product = FirstProduct(
                source, [&](const CVMaterial& p) { return MatchesDisplayName(p, *board.type, GS::CaseSensitive); })) {
            board.colour = product->colour;
            board.lambda = product->lambda;
        }
    }
    return board;
}

Frame BuildFrame(const CVSystem& source, Int32 number)
{
    const GS::UniString n(std::to_string(number).c_str());
    Frame frame;
    frame.number = number;
    std::optional<double> depth;
    for (const char* key : {"STIJL_FRAME_@", "REGEL_FRAME_@"}) {
        const auto profile = DutchValue(FindAttribute(source.Composition(), Replace(key, "@", n)));
        if (!profile)
            continue;
        const auto* product =
            FirstProduct(source, [&](const CVMaterial& p) { return MatchesProductName(p, *profile); });
        const CVAttribute* inside =
            product != nullptr ? FindAttribute(product->Composition(), "Inside_dimensions_BIM") : nullptr;
        if (inside != nullptr) {
            const double value = inside->ValueNumber(Dutch);
            depth = depth ? std::max(*depth, value) : value;
        }
    }
    if (depth)
        frame.depth = *depth / 1000.0;
    frame.insulationType =
        DutchValue(FindAttribute(source.Composition(), Replace("AKOESTISCHE_ISOLATIE_FRAME_@_TYPE", "@", n)));
    frame.insulationThickness =
        Metres(FindAttribute(source.Composition(), Replace("AKOESTISCHE_ISOLATIE_FRAME_@_DIKTE", "@", n)));
    if (frame.insulationType) {
        if (const auto* product = FirstProduct(source, [&](const CVMaterial& p) {
                return MatchesDisplayName(p, *frame.insulationType, GS::CaseInsensitive);
            })) {
            frame.insulationColour = product->colour;
            frame.insulationLambda = product->lambda;
        }
    }
    for (Int32 layer = 1; layer <= 4; ++layer)
        frame.boards[static_cast<std::size_t>(layer - 1)] = BuildBoard(source, number, layer);
    return frame;
}

SystemKind KindOf(const CVSystem& source)
{
    const auto text = DutchValue(FindAttribute(source.General(), "template_type"));
    if (text && text->IsEqual("VLOER", GS::CaseInsensitive))
        return SystemKind::Floor;
    if (text && text->IsEqual("PLAFOND", GS::CaseInsensitive))
        return SystemKind::Ceiling;
    return SystemKind::Wall;
}

}  // namespace

DataType DataTypeOf(const GS::UniString& text)
{
    for (const auto& row : DataTypeNames) {
        if (text.IsEqual(row.text, GS::CaseInsensitive))
            return row.type;
    }
    return DataType::String;
}

std::optional<TimeStamp> ParseTimeStamp(const GS::UniString& text)
{
    const std::string digits = Velmar::Utf8Of(text);
    std::smatch match;
    // A time stamp is short; anything longer is no time stamp and never reaches the pattern.
    if (digits.size() > 64 || !std::regex_match(digits, match, TimeStampPattern))
        return std::nullopt;
    const int year = Velmar::ParseInteger(match[1]), month = Velmar::ParseInteger(match[2]),
              day = Velmar::ParseInteger(match[3]);
    const int hour = Velmar::ParseInteger(match[4]), minute = Velmar::ParseInteger(match[5]),
              second = Velmar::ParseInteger(match[6]);
    return TimeStamp{static_cast<UInt16>(year),
                     static_cast<UInt16>(month),
                     0,
                     static_cast<UInt16>(day),
                     static_cast<UInt16>(hour),
                     static_cast<UInt16>(minute),
                     static_cast<UInt16>(second),
                     0};
}

System::System(const Corvana::CVSystem& source, std::optional<Int32> languageIndex)
    : name(source.id.value_or(GS::UniString())), rawText(source.rawText.value_or(std::string()))
{
    if (source.timeStamp)
        timeStamp = ParseTimeStamp(*source.timeStamp);
    if (!languageIndex)
        return;
    kind = KindOf(source);
    for (Int32 n = 1; n <= 4; ++n)
        frames[static_cast<std::size_t>(n - 1)] = BuildFrame(source, n);
    thickness = Metres(FindAttribute(source.Composition(), "Thickness"));

    const auto lods = Lod::LodProvider::instance();
    properties.SetCapacity(source.allAttributes.GetSize());
    for (const auto& attribute : source.allAttributes) {
        Property property;
        property.attribute = attribute;
        property.language = *languageIndex;
        property.name = attribute.NameText(*languageIndex).value_or(attribute.ID.ValueOr(GS::UniString()));
        if (attribute.LOD.HasValue()) {
            if (const auto index = lods->FindByName(attribute.LOD.Get()))
                property.lod = lods->GetLevels()[*index];
        }
        property.dataType = DataTypeOf(attribute.DataType.ValueOr(GS::UniString()));
        properties.Push(std::move(property));
    }
    for (const auto& rule : Rules::SelectBuiltInRules(*languageIndex))
        rules.Push(Rule(rule));
}

}  // namespace Velmar::Bo
