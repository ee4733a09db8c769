// JavascriptEngine: the values, arrays, functions and objects through which a page's JavaScript and an
// add-on talk, with the host's names. Every value travels as a counted reference, GS::Ref<JS::Base>.
#pragma once

#include "Array.hpp"
#include "Ref.hpp"
#include "UniString.hpp"

#include <functional>

namespace JS {

class Base {
public:
    virtual ~Base() = default;
};

class Value : public Base {
public:
    enum ValueType { UNDEFINED, BOOL, INTEGER, DOUBLE, STRING };

    Value() = default;  // undefined
    explicit Value(bool value) : type_(BOOL), boolValue_(value) {}
    explicit Value(Int32 value) : type_(INTEGER), integerValue_(value) {}
    explicit Value(double value) : type_(DOUBLE), doubleValue_(value) {}
    explicit Value(const GS::UniString& value) : type_(STRING), stringValue_(value) {}
    explicit Value(const char* value) : Value(GS::UniString(value)) {}

    ValueType GetType() const { return type_; }
    bool GetBool() const { return boolValue_; }
    Int32 GetInteger() const { return integerValue_; }
    double GetDouble() const { return doubleValue_; }
    const GS::UniString& GetString() const { return stringValue_; }

private:
    ValueType type_ = UNDEFINED;
    bool boolValue_ = false;
    Int32 integerValue_ = 0;
    double doubleValue_ = 0.0;
    GS::UniString stringValue_;
};

class Array : public Base {
public:
    void AddItem(const GS::Ref<Base>& item) { items_.Push(item); }
    const GS::Array<GS::Ref<Base>>& GetItemArray() const { return items_; }

private:
    GS::Array<GS::Ref<Base>> items_;
};

class Function : public Base {
public:
    using Callable = std::function<GS::Ref<Base>(GS::Ref<Base>)>;

    Function(const GS::UniString& name, Callable callable) : name_(name), callable_(std::move(callable)) {}

    const GS::UniString& GetName() const { return name_; }
    // Calls the function with one argument (a null reference for none), as a page's call reaches it.
    GS::Ref<Base> Invoke(const GS::Ref<Base>& argument) const { return callable_(argument); }

private:
    GS::UniString name_;
    Callable callable_;
};

class Object : public Base {
public:
    explicit Object(const GS::UniString& name) : name_(name) {}

    const GS::UniString& GetName() const { return name_; }
    // Takes ownership of the item.
    void AddItem(Base* item) { items_.Push(GS::Ref<Base>(item)); }
    const GS::Array<GS::Ref<Base>>& GetItemArray() const { return items_; }
    // The function item with that name, in insertion order; null when there is none.
    GS::Ref<Function> FindFunction(const GS::UniString& name) const;

private:
    GS::UniString name_;
    GS::Array<GS::Ref<Base>> items_;
};

}  // namespace JS
