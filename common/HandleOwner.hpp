// Velmar::HandleOwner: owns a host memory handle and kills it when it goes, so no path leaks host memory.
#pragma once

#include "BM.hpp"

namespace Velmar {

class HandleOwner {
public:
    explicit HandleOwner(GSHandle handle = nullptr) : handle_(handle) {}
    ~HandleOwner() { BMKillHandle(&handle_); }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;

    GSHandle Get() const { return handle_; }
    GSHandle* operator&() { return &handle_; }
    GSHandle Release()
    {
        GSHandle handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    GSHandle handle_;
};

}  // namespace Velmar
