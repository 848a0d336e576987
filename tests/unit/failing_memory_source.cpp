#include "tests/unit/failing_memory_source.h"

#include <cstdlib>

#include "platform/memory.h"

namespace pebitness {
namespace {

bool armed = false;
std::size_t refusedSize = 0;

}  // namespace

namespace test {

void RefuseNextMemoryRequestOf(std::size_t size) noexcept {
    refusedSize = size;
    armed = true;
}

}  // namespace test

void* ObtainMemoryFromSystem(std::size_t size) noexcept {
    if (armed && size == refusedSize) {
        armed = false;
        return nullptr;
    }
    return std::malloc(size);
}

void ReturnMemoryToSystem(void* block) noexcept { std::free(block); }

}  // namespace pebitness
