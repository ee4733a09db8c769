// Velmar::Bo::LOD: one level of development (100 to 500) and the flags that decide how composites are built.
#pragma once

#include "UniString.hpp"

namespace Velmar::Bo {

template <typename T>
class IComparable {
public:
    virtual ~IComparable() = default;
    virtual Int32 CompareTo(const T& other) const = 0;
};

class LOD : public IComparable<LOD> {
public:
    LOD() = default;
    LOD(const GS::UniString& name, bool layered, bool detailed, Int32 value)
        : name(name), layered(layered), detailed(detailed), value(value)
    {
    }

    // By value only: names and flags take no part.
    Int32 CompareTo(const LOD& other) const override { return value == other.value ? 0 : value > other.value ? 1 : -1; }

    GS::UniString name;
    bool layered = false;   // from LOD 300 up composites are layered build-ups
    bool detailed = false;  // LOD 500 builds detailed build-ups
    Int32 value = 0;
};

}  // namespace Velmar::Bo
