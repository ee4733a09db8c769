#include "BM.hpp"

#include <cstdlib>
#include <cstring>

namespace {
// A handle points at a master pointer; the block behind it starts with its size.
struct Block {
    char* data;
    Int32 size;
};
}  // namespace

GSHandle BMAllocateHandle(Int32 size, GSFlags, Int16)
{
    if (size < 0)
        return nullptr;
    auto* block = static_cast<Block*>(std::malloc(sizeof(Block)));
    if (block == nullptr)
        return nullptr;
    block->data = static_cast<char*>(std::calloc(size > 0 ? static_cast<std::size_t>(size) : 1, 1));
    if (block->data == nullptr) {
        std::free(block);
        return nullptr;
    }
    block->size = size;
    return &block->data;
}

void BMKillHandle(GSHandle* handle)
{
    if (handle == nullptr || *handle == nullptr)
        return;
    auto* block = reinterpret_cast<Block*>(*handle);
    std::free(block->data);
    std::free(block);
    *handle = nullptr;
}

Int32 BMGetHandleSize(GSHandle handle)
{
    return handle == nullptr ? 0 : reinterpret_cast<Block*>(handle)->size;
}

GSHandle BMReallocHandle(GSHandle handle, Int32 newSize, GSFlags flags, Int16 reserved)
{
    if (handle == nullptr)
        return BMAllocateHandle(newSize, flags, reserved);
    if (newSize < 0)
        return nullptr;
    auto* block = reinterpret_cast<Block*>(handle);
    auto* data = static_cast<char*>(std::realloc(block->data, newSize > 0 ? static_cast<std::size_t>(newSize) : 1));
    if (data == nullptr)
        return nullptr;
    if (newSize > block->size)
        std::memset(data + block->size, 0, static_cast<std::size_t>(newSize - block->size));
    block->data = data;
    block->size = newSize;
    return handle;
}

void BNZeroMemory(void* ptr, std::size_t size)
{
    if (ptr != nullptr)
        std::memset(ptr, 0, size);
}
