// GS::HashTable: the host's key-value table, with the host's names over std::unordered_map.
#pragma once

#include "Definitions.hpp"
#include "GSException.hpp"

#include <type_traits>
#include <unordered_map>

namespace GS {

template <typename Key>
struct HashOf {
    std::size_t operator()(const Key& key) const noexcept
    {
        if constexpr (std::is_enum_v<Key>)
            return std::hash<std::underlying_type_t<Key>>()(static_cast<std::underlying_type_t<Key>>(key));
        else
            return std::hash<Key>()(key);
    }
};

template <typename Key, typename Value>
class HashTable {
public:
    // Adds a new entry; false when the key is already there.
    bool Add(const Key& key, const Value& value) { return entries_.emplace(key, value).second; }
    // Adds or replaces.
    void Put(const Key& key, const Value& value) { entries_.insert_or_assign(key, value); }
    bool Delete(const Key& key) { return entries_.erase(key) > 0; }
    void Clear() { entries_.clear(); }

    bool ContainsKey(const Key& key) const { return entries_.count(key) > 0; }
    Value* GetPtr(const Key& key)
    {
        const auto found = entries_.find(key);
        return found == entries_.end() ? nullptr : &found->second;
    }
    const Value* GetPtr(const Key& key) const { return const_cast<HashTable*>(this)->GetPtr(key); }
    // The host raises when the key is missing.
    Value& Get(const Key& key)
    {
        if (Value* value = GetPtr(key))
            return *value;
        throw IllegalArgumentException("HashTable key not found");
    }
    const Value& Get(const Key& key) const { return const_cast<HashTable*>(this)->Get(key); }

    USize GetSize() const { return static_cast<USize>(entries_.size()); }
    bool IsEmpty() const { return entries_.empty(); }

    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::unordered_map<Key, Value, HashOf<Key>> entries_;
};

}  // namespace GS
