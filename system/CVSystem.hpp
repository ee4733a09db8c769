// The product-data platform's records: a system with its attributes, property sets and linked products,
// in the platform's own vocabulary (attributes named by text ids, names and values per language).
#pragma once

#include "Record.hpp"

#include <array>
#include <optional>

namespace Velmar::Corvana {

// A text in the platform's three languages; LanguageIndex 1 is "nl_NL", 2 "fr_FR", 3 "en_US".
class CVValue : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> nl_NL{"nl_NL"};
    Json::ValueProperty<GS::UniString> fr_FR{"fr_FR"};
    Json::ValueProperty<GS::UniString> en_US{"en_US"};
    VELMAR_JSON_MEMBERS(nl_NL, fr_FR, en_US)

    std::optional<GS::UniString> For(Int32 languageIndex) const;
};

class CVAttribute : public Json::BaseObject {
public:
    Json::ValueProperty<GS::UniString> ID{"ID"};
    Json::ValueProperty<GS::UniString> Unit{"Unit"};
    Json::ValueProperty<GS::UniString> LOD{"LOD"};
    Json::ValueProperty<CVValue> Name{"Name"};
    Json::ValueProperty<CVValue> Value{"Value"};
    Json::ValueProperty<GS::UniString> DataType{"DataType"};
    VELMAR_JSON_MEMBERS(ID, Unit, LOD, Name, Value, DataType)

    // The value in one language, with no fall-back to another.
    std::optional<GS::UniString> ValueText(Int32 languageIndex) const;
    // The value text as a number, a decimal comma read as a point; raises the standard stod errors.
    double ValueNumber(Int32 languageIndex) const;
    std::optional<GS::UniString> NameText(Int32 languageIndex) const;
};

using AttributeList = GS::Array<CVAttribute>;

// A run of attributes inside a product's one list, as read-only items.
class AttributeView {
public:
    AttributeView(const CVAttribute* first, USize count) : first_(first), count_(count) {}
    AttributeView(const AttributeList& list) : first_(list.IsEmpty() ? nullptr : &list[0]), count_(list.GetSize()) {}

    const CVAttribute* begin() const { return first_; }
    const CVAttribute* end() const { return first_ + count_; }
    USize GetSize() const { return count_; }
    bool IsEmpty() const { return count_ == 0; }
    const CVAttribute& operator[](UIndex index) const { return first_[index]; }

private:
    const CVAttribute* first_;
    USize count_;
};

// Where a part of the "Attributes" object sits in the product's list.
struct AttributeRange {
    UIndex first = 0;
    USize count = 0;
};

// The first attribute with that "ID".
const CVAttribute* FindAttribute(AttributeView attributes, const GS::UniString& id);

class CVPropertySet {
public:
    GS::UniString name;
    AttributeRange range;
};

// What a system and a linked product share: id, time stamp, description and the "Attributes" object.
// The attributes are kept once, in reading order; the parts of the object are ranges of that list.
class CVProduct : public Json::BaseObject {
public:
    std::optional<GS::UniString> id;
    std::optional<GS::UniString> timeStamp;
    std::optional<GS::UniString> description;
    AttributeList allAttributes;  // general, composition, then each property set's
    AttributeRange generalRange;
    AttributeRange compositionRange;
    GS::Array<CVPropertySet> propertySets;

    AttributeView General() const { return View(generalRange); }
    AttributeView Composition() const { return View(compositionRange); }
    AttributeView Attributes(const CVPropertySet& set) const { return View(set.range); }

    void ReadFrom(const Json::rj::Value& object) override;
    void WriteTo(Json::rj::Value& object, Json::Allocator& allocator, bool writeAbsent) const override;

private:
    AttributeView View(const AttributeRange& range) const
    {
        return AttributeView(range.count == 0 ? nullptr : &allAttributes[range.first], range.count);
    }
};

using Colour = std::array<double, 3>;

// A linked product (a board, a profile, an insulation), with its colour and thermal conductivity.
class CVMaterial : public CVProduct {
public:
    std::optional<Colour> colour;
    std::optional<double> lambda;

    // A "RGB" text that is not "#" and six hexadecimal digits raises "invalid stoi argument", a "ZZLAMBDA"
    // text that is no number "invalid stod argument".
    void ReadFrom(const Json::rj::Value& object) override;
};

class CVSystem : public CVProduct {
public:
    GS::Array<CVMaterial> linkedProducts;
    std::optional<std::string> rawText;  // the whole data response, UTF-8 as received

    void ReadFrom(const Json::rj::Value& object) override;
    void WriteTo(Json::rj::Value& object, Json::Allocator& allocator, bool writeAbsent) const override;
};

}  // namespace Velmar::Corvana
