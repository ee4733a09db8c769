// Velmar::Bo::Properties: the fixed catalogs of element values a rule reads as "[key]": type values from
// the host's element record, quantities from the host's quantity record, per element type.
#pragma once

#include "APIdefs.h"
#include "Value.hpp"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace Velmar::Bo::Properties {

// The value type codes of a property value.
enum class ValueKind : Int32 { Text = 1, Real = 2, Integer = 3, Boolean = 4, Guid = 5, Unsigned = 6, Int = 7 };

struct PropertyValue {
    ValueKind kind = ValueKind::Text;
    GS::UniString name;
    std::variant<GS::UniString, double, Int64, bool, API_Guid> value;
    std::optional<GS::UniString> unit;
    bool present = true;
};

// Sums over the windows and doors in a wall, from their own quantity records.
struct OpeningSums {
    Int64 doors = 0;
    Int64 windows = 0;
    double insideSurface = 0.0;
    double outsideSurface = 0.0;
    double volume = 0.0;
};

// What one quantities request asks for: the host's mask, and whether the wall's openings are summed.
struct QuantityRequest {
    API_QuantitiesMask mask;
    bool openings = false;
};

struct QuantityRecord {
    API_ElementQuantity element = {};
    OpeningSums openings;
};

using Reading = std::variant<GS::UniString, double, Int64>;

struct ExportProperty {
    // Reads the value from the element record and, for quantity entries, the quantity record (else null).
    std::optional<Reading> (*value)(const API_Element& element, const QuantityRecord* quantities);
    // Marks what the value function reads; nothing for type entries.
    void (*request)(QuantityRequest& request);
    const char* dataType;  // "double", "string", "Int32", "UInt32" or "int"
    const char* description;
    const char* name;
    const char* key;
    bool needsQuantities;
};

struct Catalog {
    const ExportProperty* entries;
    std::size_t count;
    const char* everything;  // the request that selects every entry: "Quantity.*" or "Type.*"

    const ExportProperty* begin() const { return entries; }
    const ExportProperty* end() const { return entries + count; }
};

const Catalog& WallTypeCatalog();
const Catalog& SlabTypeCatalog();
const Catalog& WallQuantityCatalog();
const Catalog& SlabQuantityCatalog();
const Catalog& CurtainWallQuantityCatalog();

// The catalogs looked up for an element type, in lookup order; none for other types.
std::vector<const Catalog*> CatalogsFor(API_ElemTypeID type);

using Selection = std::vector<const ExportProperty*>;

// The entries whose key equals `name` ignoring letter case (every entry for the catalog's "everything"
// request), in catalog order.
Selection Select(const Catalog& catalog, const std::string& name);

// The values of the selected entries on the element, in their order. Quantity entries cost one quantities
// request for all of them; nothing when the host refuses it.
std::vector<PropertyValue> Evaluate(const Selection& selected, const API_Element& element);

// A value as a rule reads it: reals in "%f" form, integers in decimal, a GUID as its text, a boolean as
// is; text values give nothing.
Rules::OptionalValue RuleReading(const PropertyValue& value);

}  // namespace Velmar::Bo::Properties
