// Memory requests. Every allocation of the program, the global operator new included, goes through
// RequestMemory; a request that cannot be met raises the fatal failure "分配 %d 字节内存失败!" and
// never returns, so no caller checks for it.
#pragma once

#include <cstddef>

namespace pebitness {

void* RequestMemory(std::size_t size);
void ReleaseMemory(void* block) noexcept;

// Where the memory comes from: the C runtime's heap in the shipped program. Returns null when the
// request cannot be met. Defined in its own translation unit so that test builds can link another.
void* ObtainMemoryFromSystem(std::size_t size) noexcept;
void ReturnMemoryToSystem(void* block) noexcept;

}  // namespace pebitness
