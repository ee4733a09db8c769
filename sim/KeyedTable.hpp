// The project's keyed tables and the journal of one undo step: each row a step touches keeps its value
// from before the step (first touch) and from after it (at commit), so undo and redo put back exactly
// those rows, at a cost that grows with what the step changed, not with the project.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>

namespace Sim {

template <typename Key, typename Value>
struct Changes {
    struct Row {
        std::optional<Value> before;
        std::optional<Value> after;
    };
    std::map<Key, Row> rows;

    bool Empty() const { return rows.empty(); }
};

template <typename Key, typename Value>
class Table {
public:
    using Journal = Changes<Key, Value>;

    const Value* Find(const Key& key) const
    {
        const auto found = rows_.find(key);
        return found != rows_.end() ? &found->second : nullptr;
    }

    // A row to change in place; its value before the change goes to the journal (when there is one).
    Value* Edit(const Key& key, Journal* journal)
    {
        const auto found = rows_.find(key);
        if (found == rows_.end())
            return nullptr;
        Touch(key, journal);
        ++revision_;
        Edited(key, found->second);
        return &found->second;
    }

    Value& Put(const Key& key, Value value, Journal* journal)
    {
        Touch(key, journal);
        return Set(key, std::move(value));
    }

    bool Erase(const Key& key, Journal* journal)
    {
        if (rows_.count(key) == 0)
            return false;
        Touch(key, journal);
        Remove(key);
        return true;
    }

    // Closes a step: every row it touched records its value now.
    void Commit(Journal& journal) const
    {
        for (auto& [key, row] : journal.rows) {
            const Value* now = Find(key);
            row.after = now != nullptr ? std::optional<Value>(*now) : std::nullopt;
        }
    }

    // Puts back the rows' values from before the step (undo) or after it (redo).
    void Restore(const Journal& journal, bool before)
    {
        for (const auto& [key, row] : journal.rows) {
            const auto& value = before ? row.before : row.after;
            if (value)
                Set(key, *value);
            else
                Remove(key);
        }
    }

    const std::map<Key, Value>& Rows() const { return rows_; }
    // Grows with every change of a row, so a reader can tell whether anything changed since it looked.
    std::uint64_t Revision() const { return revision_; }

    void Clear()
    {
        rows_.clear();
        ++revision_;
        Cleared();
    }

protected:
    // Indexes kept beside the rows follow every change through these.
    virtual void Added(const Key&, const Value&) {}
    virtual void Removed(const Key&, const Value&) {}
    // A row handed out to be changed in place.
    virtual void Edited(const Key&, const Value&) {}
    virtual void Cleared() {}

public:
    virtual ~Table() = default;
    Table() = default;
    Table(const Table&) = default;
    Table& operator=(const Table&) = default;
    Table(Table&&) noexcept = default;
    Table& operator=(Table&&) noexcept = default;

private:
    Value& Set(const Key& key, Value value)
    {
        ++revision_;
        const auto found = rows_.find(key);
        if (found != rows_.end()) {
            Removed(key, found->second);
            found->second = std::move(value);
            Added(key, found->second);
            return found->second;
        }
        Value& stored = rows_.emplace(key, std::move(value)).first->second;
        Added(key, stored);
        return stored;
    }

    void Remove(const Key& key)
    {
        const auto found = rows_.find(key);
        if (found == rows_.end())
            return;
        ++revision_;
        Removed(key, found->second);
        rows_.erase(found);
    }

    void Touch(const Key& key, Journal* journal) const
    {
        if (journal == nullptr || journal->rows.count(key) > 0)
            return;
        const Value* now = Find(key);
        journal->rows[key].before = now != nullptr ? std::optional<Value>(*now) : std::nullopt;
    }

    std::map<Key, Value> rows_;
    std::uint64_t revision_ = 0;
};

}  // namespace Sim
