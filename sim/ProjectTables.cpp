#include "HostText.hpp"
#include "Project.hpp"

#include <limits>

namespace Sim {

const Element* ElementTable::FindByGuid(const API_Guid& guid) const
{
    const auto order = OrderOf(guid);
    return order ? Find(*order) : nullptr;
}

std::optional<UInt64> ElementTable::OrderOf(const API_Guid& guid) const
{
    const auto found = index_.find(guid);
    return found != index_.end() ? std::optional<UInt64>(found->second) : std::nullopt;
}

std::vector<const Element*> ElementTable::OpeningsOf(const API_Guid& wall) const
{
    std::vector<const Element*> openings;
    const auto found = openings_.find(wall);
    if (found == openings_.end())
        return openings;
    for (UInt64 order : found->second)
        openings.push_back(Find(order));
    return openings;
}

namespace {
bool IsOpening(const Element& element)
{
    return element.Type() == API_WindowID || element.Type() == API_DoorID;
}
}  // namespace

void ElementTable::Added(const UInt64& order, const Element& element)
{
    Stamp(order, element.Guid());
    index_[element.Guid()] = order;
    if (IsOpening(element))
        openings_[element.record.window.owner].insert(order);
}

void ElementTable::Removed(const UInt64& order, const Element& element)
{
    Stamp(order, element.Guid());
    index_.erase(element.Guid());
    if (!IsOpening(element))
        return;
    const auto found = openings_.find(element.record.window.owner);
    if (found != openings_.end() && found->second.erase(order) > 0 && found->second.empty())
        openings_.erase(found);
}

void ElementTable::Edited(const UInt64& order, const Element& element)
{
    Stamp(order, element.Guid());
}

void ElementTable::Cleared()
{
    index_.clear();
    openings_.clear();
    byRevision_.clear();
    revisionOf_.clear();
}

void ElementTable::Stamp(UInt64 order, const API_Guid& guid)
{
    const auto previous = revisionOf_.find(order);
    if (previous != revisionOf_.end())
        byRevision_.erase(previous->second);
    revisionOf_[order] = Revision();
    byRevision_[Revision()] = Stamped{order, guid};
}

ElementChanges ElementTable::ChangesSince(std::uint64_t revision) const
{
    ElementChanges changes;
    for (auto it = byRevision_.upper_bound(revision); it != byRevision_.end(); ++it) {
        if (const Element* element = Find(it->second.order))
            changes.changed.push_back(element);
        else
            changes.removed.push_back(it->second.guid);
    }
    return changes;
}

void AttributeTable::Added(const AttributeKey& key, const Attribute& attribute)
{
    const std::string name = HostText::Utf8(attribute.name);
    byName_[NameKey{key.type, name}] = key;
    nameOf_[key] = name;
    byGuid_[{key.type, attribute.record.header.guid}] = key;
}

void AttributeTable::Removed(const AttributeKey& key, const Attribute& attribute)
{
    Unindex(key);
    edited_.erase(key);
    byGuid_.erase({key.type, attribute.record.header.guid});
}

void AttributeTable::Edited(const AttributeKey& key, const Attribute&)
{
    edited_.insert(key);
}

void AttributeTable::Cleared()
{
    byName_.clear();
    nameOf_.clear();
    edited_.clear();
    byGuid_.clear();
}

void AttributeTable::Unindex(const AttributeKey& key)
{
    const auto found = nameOf_.find(key);
    if (found == nameOf_.end())
        return;
    const auto named = byName_.find(NameKey{key.type, found->second});
    // Two attributes may have shared a name for a moment during a rename; only this one's entry goes.
    if (named != byName_.end() && !(named->second < key) && !(key < named->second))
        byName_.erase(named);
    nameOf_.erase(found);
}

void AttributeTable::IndexEdited() const
{
    for (const AttributeKey& key : edited_) {
        const_cast<AttributeTable*>(this)->Unindex(key);
        if (const Attribute* attribute = Find(key)) {
            const std::string name = HostText::Utf8(attribute->name);
            byName_[NameKey{key.type, name}] = key;
            nameOf_[key] = name;
        }
    }
    edited_.clear();
}

const Attribute* AttributeTable::FindByName(API_AttrTypeID type, const GS::UniString& name) const
{
    IndexEdited();
    const auto found = byName_.find(NameKey{type, HostText::Utf8(name)});
    return found != byName_.end() ? Find(found->second) : nullptr;
}

const Attribute* AttributeTable::FindByGuid(API_AttrTypeID type, const API_Guid& guid) const
{
    const auto found = byGuid_.find({type, guid});
    return found != byGuid_.end() ? Find(found->second) : nullptr;
}

Int32 AttributeTable::LastIndex(API_AttrTypeID type) const
{
    const auto& rows = Rows();
    auto after = rows.upper_bound(AttributeKey{type, std::numeric_limits<Int32>::max()});
    if (after == rows.begin())
        return 0;
    --after;
    return after->first.type == type ? after->first.index : 0;
}

}  // namespace Sim
