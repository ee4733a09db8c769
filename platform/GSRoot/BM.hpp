// BM: the host's memory manager. Handles are blocks whose size the manager remembers.
#pragma once

#include "Definitions.hpp"

#include <cstddef>

GSHandle BMAllocateHandle(Int32 size, GSFlags flags, Int16 reserved);
void BMKillHandle(GSHandle* handle);
Int32 BMGetHandleSize(GSHandle handle);
GSHandle BMReallocHandle(GSHandle handle, Int32 newSize, GSFlags flags, Int16 reserved);
// Sets every byte of a block to zero, as the kit's examples clear a record before they fill part of it.
void BNZeroMemory(void* ptr, std::size_t size);
