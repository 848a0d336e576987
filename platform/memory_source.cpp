#include <cstdlib>

#include "platform/memory.h"

namespace pebitness {

void* ObtainMemoryFromSystem(std::size_t size) noexcept { return std::malloc(size); }
void ReturnMemoryToSystem(void* block) noexcept { std::free(block); }

}  // namespace pebitness
