#include "platform/memory.h"

#include <charconv>
#include <limits>
#include <new>

#include "platform/fatal.h"

namespace pebitness {
namespace {

// Builds "分配 N 字节内存失败!" without asking for memory: this runs when there is none to be had.
// N is the size as the caller asked for it (before a request for nothing becomes one byte), written
// in full, also past the 32-bit range; std::to_chars needs neither memory nor the locale.
[[noreturn]] void RaiseMemoryRequestFailed(std::size_t size) noexcept {
    char message[64];
    static_assert(MemoryRequestFailedFormat.size() - 2 + std::numeric_limits<std::size_t>::digits10 +
                      1 <= sizeof message);
    std::size_t length = 0;
    const TextView format = MemoryRequestFailedFormat;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 'd') {
            length = static_cast<std::size_t>(
                std::to_chars(message + length, message + sizeof message, size).ptr - message);
            ++i;
        } else {
            message[length++] = format.data()[i];
        }
    }
    RaiseFatalError(TextView(message, length), 0, 0);
}

}  // namespace

void* RequestMemory(std::size_t size) {
    // The memory source sees the size as asked, so that a test source can refuse a request by it;
    // only a request for nothing becomes one byte, a block of its own as operator new must give.
    // A failure names the size as asked.
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
