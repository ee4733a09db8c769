// What the simulated project holds, row by row: elements with their geometry, user data, property values
// and classification; attributes with their type's parts; property groups and definitions;
// classification systems and items; module data.
#pragma once

#include "APIdefs.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Sim {

struct UserData {
    Int32 version = 0;
    UInt16 platformSign = 0;
    std::string bytes;

    bool operator==(const UserData& other) const
    {
        return version == other.version && platformSign == other.platformSign && bytes == other.bytes;
    }
};

using Ring = std::vector<API_Coord>;

// An element's own property values by definition, in definition GUID order. An element carries a few
// dozen at most, so they sit in one sorted array: a look-up touches one block of memory and copying the
// element (every first change in a command does) is one allocation, not one per value.
class PropertyValues {
public:
    using Entry = std::pair<API_Guid, API_PropertyValue>;
    using iterator = std::vector<Entry>::iterator;
    using const_iterator = std::vector<Entry>::const_iterator;

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    bool empty() const { return entries_.empty(); }
    std::size_t size() const { return entries_.size(); }

    iterator find(const API_Guid& definition)
    {
        const auto at = std::lower_bound(entries_.begin(), entries_.end(), definition, Before);
        return at != entries_.end() && at->first == definition ? at : entries_.end();
    }
    const_iterator find(const API_Guid& definition) const
    {
        const auto at = std::lower_bound(entries_.begin(), entries_.end(), definition, Before);
        return at != entries_.end() && at->first == definition ? at : entries_.end();
    }
    std::size_t count(const API_Guid& definition) const { return find(definition) != end() ? 1 : 0; }

    API_PropertyValue& operator[](const API_Guid& definition)
    {
        const auto at = std::lower_bound(entries_.begin(), entries_.end(), definition, Before);
        if (at != entries_.end() && at->first == definition)
            return at->second;
        return entries_.insert(at, Entry(definition, API_PropertyValue{}))->second;
    }
    std::size_t erase(const API_Guid& definition)
    {
        const auto at = find(definition);
        if (at == entries_.end())
            return 0;
        entries_.erase(at);
        return 1;
    }

private:
    static bool Before(const Entry& entry, const API_Guid& definition) { return entry.first < definition; }

    std::vector<Entry> entries_;
};

// A kit record with every byte zero. The kit's API_Element and API_Attribute are unions: "= {}" sets only
// their first member, and the bytes of a longer member are left as they were.
template <typename Record>
Record ZeroedRecord()
{
    Record record;
    std::memset(static_cast<void*>(&record), 0, sizeof record);
    return record;
}

struct Element {
    UInt64 order = 0;  // creation order: element lists come in it
    // The header (type, guid) and the type's part, as ACAPI_Element_Get hands it out.
    API_Element record = ZeroedRecord<API_Element>();
    // A slab's contour and holes as open rings; a curtain wall's base line as its two end points.
    Ring polygon;
    std::vector<Ring> holes;
    std::optional<UserData> userData;
    // Values the element carries itself; a definition without one here has its default.
    PropertyValues properties;
    // At most one item per classification system: system → item.
    std::map<API_Guid, API_Guid> classification;

    API_ElemTypeID Type() const { return record.header.type.typeID; }
    const API_Guid& Guid() const { return record.header.guid; }
};

struct Attribute {
    // Header and the type's part; texts the record only points at are kept beside it.
    API_Attribute record = ZeroedRecord<API_Attribute>();
    GS::UniString name;
    GS::UniString id;
    GS::UniString manufacturer;
    GS::UniString description;
    std::vector<API_CWallComponent> skins;
    std::vector<API_CWallLineComponent> lines;  // skins + 1 when the composite has skins
    std::optional<UserData> userData;

    API_AttrTypeID Type() const { return record.header.typeID; }
    Int32 Index() const { return record.header.index.ToInt32_Deprecated(); }
};

struct PropertyGroup {
    UInt64 order = 0;
    API_PropertyGroup group;
};

struct PropertyDefinition {
    UInt64 order = 0;
    API_PropertyDefinition definition;
};

struct ClassificationItem {
    API_ClassificationItem item;
    API_Guid system = {};
    API_Guid parent = {};  // null for a root item
    std::vector<API_Guid> children;
};

struct ClassificationSystem {
    UInt64 order = 0;
    API_ClassificationSystem system;
    std::vector<API_Guid> roots;
};

// Attributes are keyed by type and index.
struct AttributeKey {
    API_AttrTypeID type;
    Int32 index;
    bool operator<(const AttributeKey& other) const
    {
        return type != other.type ? type < other.type : index < other.index;
    }
};

}  // namespace Sim
