#include "platform/memory.h"

#include <new>

#include "platform/fatal.h"

namespace pebitness {
namespace {

// Builds "分配 N 字节内存失败!" without asking for memory: this runs when there is none to be had.
// The count is written in full, also past the 32-bit range.
[[noreturn]] void RaiseMemoryRequestFailed(std::size_t size) noexcept {
    char digits[24];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + size % 10);
        size /= 10;
    } while (size != 0);

    char message[64];
    std::size_t length = 0;
    TextView format = MemoryRequestFailedFormat;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 'd') {
            while (count != 0) message[length++] = digits[--count];
            ++i;
        } else {
            message[length++] = format.data()[i];
        }
    }
    RaiseFatalError(TextView(message, length), 0, 0);
}

}  // namespace

void* RequestMemory(std::size_t size) {
    // A request for nothing still gets a block of its own, as operator new must give.
    void* block = ObtainMemoryFromSystem(size == 0 ? 1 : size);
    if (block == nullptr) RaiseMemoryRequestFailed(size);
    return block;
}

void ReleaseMemory(void* block) noexcept {
    if (block != nullptr) ReturnMemoryToSystem(block);
}

}  // namespace pebitness

// The global allocation functions, so that the standard library's containers and every other
// allocation of the program take the same path. None of them returns null or throws.
void* operator new(std::size_t size) { return pebitness::RequestMemory(size); }
void* operator new[](std::size_t size) { return pebitness::RequestMemory(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return pebitness::RequestMemory(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return pebitness::RequestMemory(size);
}
void operator delete(void* block) noexcept { pebitness::ReleaseMemory(block); }
void operator delete[](void* block) noexcept { pebitness::ReleaseMemory(block); }
void operator delete(void* block, std::size_t) noexcept { pebitness::ReleaseMemory(block); }
void operator delete[](void* block, std::size_t) noexcept { pebitness::ReleaseMemory(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept {
    pebitness::ReleaseMemory(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    pebitness::ReleaseMemory(block);
}
