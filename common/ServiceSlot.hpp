// A module-wide slot holding one shared service: created on first use under the service's own mutex,
// or replaced explicitly by a named step. Readers take a copy of the pointer for the duration of a call.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

namespace Velmar {

template <typename Service>
class ServiceSlot {
public:
    template <typename Factory>
    std::shared_ptr<Service> GetOrCreate(Factory&& create)
    {
        if (auto existing = std::atomic_load(&instance_))
            return existing;
        std::lock_guard<std::mutex> lock(mutex_);
        if (auto existing = std::atomic_load(&instance_))
            return existing;
        auto created = std::shared_ptr<Service>(create());
        std::atomic_store(&instance_, created);
        return created;
    }

    std::shared_ptr<Service> GetOrCreate()
    {
        return GetOrCreate([] { return std::make_shared<Service>(); });
    }

    std::shared_ptr<Service> Get() const { return std::atomic_load(&instance_); }

    void Replace(std::shared_ptr<Service> service)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        std::atomic_store(&instance_, std::move(service));
    }

    void Reset() { Replace(nullptr); }

    // The creation mutex, for steps that must not overlap a first use.
    std::mutex& Mutex() { return mutex_; }

private:
    std::shared_ptr<Service> instance_;
    std::mutex mutex_;
};

}  // namespace Velmar
