// GS::Ref: the host's counted reference, and GS::DynamicCast between references of related types.
#pragma once

#include <memory>

namespace GS {

template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    // Takes ownership of a new object, as the host's Ref does of a pointer handed to it.
    Ref(T* object) : object_(object) {}
    template <typename U>
    Ref(const Ref<U>& other) : object_(other.Shared())
    {
    }

    T* operator->() const { return object_.get(); }
    T& operator*() const { return *object_; }
    T* Get() const { return object_.get(); }
    explicit operator bool() const { return object_ != nullptr; }
    bool operator==(std::nullptr_t) const { return object_ == nullptr; }
    bool operator!=(std::nullptr_t) const { return object_ != nullptr; }

    const std::shared_ptr<T>& Shared() const { return object_; }
    static Ref FromShared(std::shared_ptr<T> object)
    {
        Ref ref;
        ref.object_ = std::move(object);
        return ref;
    }

private:
    std::shared_ptr<T> object_;
};

template <typename U, typename T>
Ref<U> DynamicCast(const Ref<T>& ref)
{
    return Ref<U>::FromShared(std::dynamic_pointer_cast<U>(ref.Shared()));
}

}  // namespace GS
