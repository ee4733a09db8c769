#include "RS.hpp"

#include <cstdint>
#include <limits>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace {

// A module's tables indexed once at open time, so the many string reads at start-up are hash lookups.
struct OpenModule {
    std::unordered_map<std::uint64_t, const char*> strings;
    std::unordered_map<GSResID, const RS::Dialog*> dialogs;
    std::unordered_map<GSResID, const RS::ModuleIdentifier*> identifiers;
};

std::uint64_t StringKey(GSResID listId, Int32 index)
{
    return (static_cast<std::uint64_t>(static_cast<std::uint16_t>(listId)) << 32) | static_cast<std::uint32_t>(index);
}

template <typename T>
bool IsValidTable(const T* table, Int32 count)
{
    return count >= 0 && (count == 0 || table != nullptr);
}

OpenModule IndexModule(const RS::ModuleData& data)
{
    OpenModule module;
    // The first definition wins, as the compiler never emits duplicates.
    for (Int32 i = 0; i < data.stringCount; ++i)
        module.strings.emplace(StringKey(data.strings[i].listId, data.strings[i].index), data.strings[i].text);
    for (Int32 i = 0; i < data.dialogCount; ++i)
        module.dialogs.emplace(data.dialogs[i].id, &data.dialogs[i]);
    for (Int32 i = 0; i < data.identifierCount; ++i)
        module.identifiers.emplace(data.identifiers[i].id, &data.identifiers[i]);
    return module;
}

class Registry {
public:
    GSResModule Add(OpenModule module)
    {
        std::unique_lock lock(mutex_);
        // Handles are never reused, so a stale handle cannot reach a module opened later.
        if (next_ == std::numeric_limits<GSResModule>::max())
            return InvalidResModule;
        const GSResModule handle = next_++;
        modules_.emplace(handle, std::move(module));
        return handle;
    }

    void Remove(GSResModule handle)
    {
        std::unique_lock lock(mutex_);
        modules_.erase(handle);
    }

    // Looks `key` up in one of the module's maps; the result points into the caller's ModuleData, which
    // outlives the handle, so it stays valid after the lock is released.
    template <typename Key, typename Value>
    Value Find(GSResModule handle, std::unordered_map<Key, Value> OpenModule::*map, Key key) const
    {
        std::shared_lock lock(mutex_);
        const auto module = modules_.find(handle);
        if (module == modules_.end())
            return nullptr;
        const auto& entries = module->second.*map;
        const auto found = entries.find(key);
        return found == entries.end() ? nullptr : found->second;
    }

private:
    mutable std::shared_mutex mutex_;
    GSResModule next_ = 1;
    std::unordered_map<GSResModule, OpenModule> modules_;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

}  // namespace

namespace RS {

GSResModule RSOpenModule(const ModuleData* data)
{
    if (data == nullptr || !IsValidTable(data->strings, data->stringCount) ||
        !IsValidTable(data->dialogs, data->dialogCount) || !IsValidTable(data->identifiers, data->identifierCount))
        return InvalidResModule;
    return TheRegistry().Add(IndexModule(*data));
}

void RSCloseModule(GSResModule module)
{
    TheRegistry().Remove(module);
}

const Dialog* RSGetDialog(GSResModule module, GSResID dialogId)
{
    return TheRegistry().Find(module, &OpenModule::dialogs, dialogId);
}

bool RSGetModuleIdentifier(GSResModule module, GSResID id, UInt32* developerId, UInt32* localId)
{
    const ModuleIdentifier* identifier = TheRegistry().Find(module, &OpenModule::identifiers, id);
    if (identifier == nullptr)
        return false;
    if (developerId != nullptr)
        *developerId = identifier->developerId;
    if (localId != nullptr)
        *localId = identifier->localId;
    return true;
}

}  // namespace RS

bool RSGetIndString(GS::UniString* str, GSResID resID, Int32 index, GSResModule resModule)
{
    if (str == nullptr)
        return false;
    const char* text = TheRegistry().Find(resModule, &OpenModule::strings, StringKey(resID, index));
    *str = text == nullptr ? GS::UniString() : GS::UniString(text, CC_UTF8);
    return text != nullptr;
}
