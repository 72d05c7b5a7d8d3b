// Every allocation of the program comes from the process heap; one that
// cannot be met ends the program with the size that was asked for.
#include <windows.h>

#include <new>

#include "core/fatal_error.h"

namespace core {

void* HeapBlock(std::size_t size) {
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

void* HeapBlockOrFatal(std::size_t size) {
    void* block = HeapBlock(size);
    if (!block) FatalError(0, AllocationFailureMessage(static_cast<long long>(size)));
    return block;
}

void FreeHeapBlock(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace core

// The replaceable allocation functions live in the global namespace.
using core::FreeHeapBlock;
using core::HeapBlock;
using core::HeapBlockOrFatal;

void* operator new(std::size_t size) { return HeapBlockOrFatal(size); }
void* operator new[](std::size_t size) { return HeapBlockOrFatal(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return HeapBlock(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return HeapBlock(size); }
void operator delete(void* block) noexcept { FreeHeapBlock(block); }
void operator delete[](void* block) noexcept { FreeHeapBlock(block); }
void operator delete(void* block, std::size_t) noexcept { FreeHeapBlock(block); }
void operator delete[](void* block, std::size_t) noexcept { FreeHeapBlock(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { FreeHeapBlock(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { FreeHeapBlock(block); }
