// BM: the host's memory manager. Handles are blocks whose size the manager remembers.
#pragma once

#include "Definitions.hpp"

GSHandle BMAllocateHandle(Int32 size, GSFlags flags, Int16 reserved);
void BMKillHandle(GSHandle* handle);
Int32 BMGetHandleSize(GSHandle handle);
GSHandle BMReallocHandle(GSHandle handle, Int32 newSize, GSFlags flags, Int16 reserved);
