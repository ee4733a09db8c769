// Host function tables for baselines: one counting the property group and definition listings, and one
// that also records the property reads and writes the module makes on chosen elements, for a baseline
// to repeat the same calls.
#pragma once

#include "ACAPinc.hpp"
#include "Archicad.hpp"

#include <cstdint>
#include <unordered_map>

namespace Velmar::Bench {

// How often the host was asked for property groups and definitions; the property writer lists them once
// per run, however many elements it writes.
struct Lookups {
    static inline std::int64_t groups = 0;
    static inline std::int64_t definitions = 0;
};

inline const API_HostFunctions& CountingHost()
{
    static const API_HostFunctions table = [] {
        API_HostFunctions counting = Sim::HostFunctions();
        static const auto groups = counting.ACAPI_Property_GetPropertyGroups;
        static const auto definitions = counting.ACAPI_Property_GetPropertyDefinitions;
        counting.ACAPI_Property_GetPropertyGroups = [](GS::Array<API_PropertyGroup>& listed) {
            ++Lookups::groups;
            return groups(listed);
        };
        counting.ACAPI_Property_GetPropertyDefinitions = [](const API_Guid& group,
                                                            GS::Array<API_PropertyDefinition>& listed) {
            ++Lookups::definitions;
            return definitions(group, listed);
        };
        return counting;
    }();
    return table;
}

// What the module read and wrote of the elements that have an entry here, while `writes` is set.
struct RecordedWrites {
    static inline std::unordered_map<API_Guid, GS::Array<API_Property>>* writes = nullptr;
    static inline std::unordered_map<API_Guid, GS::Array<API_Guid>>* reads = nullptr;

    static void Record(const API_Guid& element, const API_Property& property)
    {
        if (writes == nullptr)
            return;
        if (const auto found = writes->find(element); found != writes->end())
            found->second.Push(property);
    }
};

inline const API_HostFunctions& RecordingHost()
{
    static const API_HostFunctions table = [] {
        API_HostFunctions recording = CountingHost();
        static const auto set = recording.ACAPI_Element_SetProperty;
        static const auto setAll = recording.ACAPI_Element_SetProperties;
        static const auto readAll = recording.ACAPI_Element_GetPropertyValuesByGuid;
        recording.ACAPI_Element_SetProperty = [](const API_Guid& element, const API_Property& property) {
            RecordedWrites::Record(element, property);
            return set(element, property);
        };
        recording.ACAPI_Element_SetProperties = [](const API_Guid& element, const GS::Array<API_Property>& properties) {
            for (const API_Property& property : properties)
                RecordedWrites::Record(element, property);
            return setAll(element, properties);
        };
        recording.ACAPI_Element_GetPropertyValuesByGuid = [](const API_Guid& element, const GS::Array<API_Guid>& wanted,
                                                             GS::Array<API_Property>& properties) {
            if (RecordedWrites::reads != nullptr) {
                if (const auto found = RecordedWrites::reads->find(element); found != RecordedWrites::reads->end())
                    found->second = wanted;
            }
            return readAll(element, wanted, properties);
        };
        return recording;
    }();
    return table;
}

}  // namespace Velmar::Bench
