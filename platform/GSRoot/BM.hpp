// BM: the host's memory manager. Handles are blocks whose size the manager remembers.
#pragma once

#include "Definitions.hpp"

GSHandle BMAllocateHandle(Int32 size, GSFlags flags, Int16 reserved);
void BMKillHandle(GSHandle* handle);
Int32 BMGetHandleSize(GSHandle handle);
GSHandle BMReallocHandle(GSHandle handle, Int32 newSize, GSFlags flags, Int16 reserved);

namespace GS {
// Owns a handle and kills it when it goes, so no path leaks host memory.
class HandleGuard {
public:
    explicit HandleGuard(GSHandle handle = nullptr) : handle_(handle) {}
    ~HandleGuard() { BMKillHandle(&handle_); }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;

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
}  // namespace GS
