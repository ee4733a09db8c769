// Velmar::Rules::TargetObject: the element under test as a compiled rule reads it.
#pragma once

#include "Value.hpp"

#include <string>

namespace Velmar::Rules {

// Each operation gets the bracketed inner text and returns a new value, or no value. The predicate
// only borrows the object.
class TargetObject {
public:
    virtual ~TargetObject() = default;

    // "[name]"
    virtual OptionalValue GetElementValue(const std::string& name) = 0;
    // "[[name]]"
    virtual OptionalValue GetParameterValue(const std::string& name) = 0;
    // "[[[code]]]"; a code that begins with "~" answers a number.
    virtual OptionalValue GetAnswerValue(const std::string& code) = 0;
};

}  // namespace Velmar::Rules
