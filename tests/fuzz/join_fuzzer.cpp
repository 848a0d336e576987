// The shared join against its rule: the parts in order, a missing part counting as empty, in exactly
// one new buffer of the summed length plus one that ends with a zero byte; the result is never
// missing. This target supplies the memory source itself, to count the requests the join makes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "platform/text.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

// Counted on this thread only: libFuzzer's own threads may allocate meanwhile.
thread_local bool counting = false;
thread_local std::size_t requests = 0;
thread_local std::size_t lastRequest = 0;

}  // namespace

namespace pebitness {

void* ObtainMemoryFromSystem(std::size_t size) noexcept {
    if (counting) {
        ++requests;
        lastRequest = size;
    }
    return std::malloc(size);
}
void ReturnMemoryToSystem(void* block) noexcept { std::free(block); }

}  // namespace pebitness

namespace {

using pebitness::Text;
using pebitness::TextView;

// The join takes its parts as a list written out at the call, as the program's callers do.
Text Join(const std::vector<TextView>& p) {
    switch (p.size()) {
        case 0: return pebitness::JoinTexts({});
        case 1: return pebitness::JoinTexts({p[0]});
        case 2: return pebitness::JoinTexts({p[0], p[1]});
        case 3: return pebitness::JoinTexts({p[0], p[1], p[2]});
        case 4: return pebitness::JoinTexts({p[0], p[1], p[2], p[3]});
        case 5: return pebitness::JoinTexts({p[0], p[1], p[2], p[3], p[4]});
        case 6: return pebitness::JoinTexts({p[0], p[1], p[2], p[3], p[4], p[5]});
        default: return pebitness::JoinTexts({p[0], p[1], p[2], p[3], p[4], p[5], p[6]});
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pebitness::fuzz::FuzzInput input(data, size);
    const std::uint8_t shape = input.Byte();
    const std::size_t count = shape % 8;
    const std::uint8_t missing = input.Byte();  // bit i: part i is a missing text
    std::vector<std::string> pieces;
    std::vector<TextView> parts;
    pieces.reserve(count);
    std::string expected;
    for (std::size_t i = 0; i < count; ++i) {
        pieces.push_back(i + 1 == count ? input.Rest() : input.Piece());
        if ((missing >> i & 1) != 0) {
            parts.push_back(TextView());
        } else {
            parts.emplace_back(pieces.back().data(), pieces.back().size());
            expected += pieces.back();
        }
    }
    requests = 0;
    counting = true;
    const Text joined = Join(parts);
    counting = false;
    const std::string got(joined.c_str(), joined.size());
    if (got != expected) pebitness::fuzz::Mismatch("JoinTexts", expected, got);
    if (joined.c_str()[joined.size()] != '\0')
        pebitness::fuzz::Mismatch("join not zero-terminated", expected, got);
    if (requests != 1 || lastRequest != expected.size() + 1)
        pebitness::fuzz::Mismatch("join's memory requests (count, size)",
                                  "1, " + std::to_string(expected.size() + 1),
                                  std::to_string(requests) + ", " + std::to_string(lastRequest));
    return 0;
}
