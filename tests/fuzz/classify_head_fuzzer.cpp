// The head classifier against the rule as it is stated for a head of n bytes: the verdict is 32- or
// 64-bit exactly when the first 50 45 pair starts at some p with 1 <= p <= n - 5, the bytes at
// p - 1, p + 2 and p + 3 are 00, and the byte at p + 4 is 4C (32-bit) or 64 (64-bit).
#include <cstddef>
#include <cstdint>
#include <string>

#include "classify/classify.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

using pebitness::ByteView;
using pebitness::TextView;

TextView Reference(const std::uint8_t* head, std::size_t n) {
    std::size_t p = 0;
    bool found = false;
    for (std::size_t i = 0; i + 1 < n && !found; ++i) {
        if (head[i] == 0x50 && head[i + 1] == 0x45) {
            p = i;
            found = true;
        }
    }
    if (!found || p < 1 || p + 5 > n) return pebitness::VerdictUnknown;
    if (head[p - 1] != 0x00 || head[p + 2] != 0x00 || head[p + 3] != 0x00)
        return pebitness::VerdictUnknown;
    if (head[p + 4] == 0x4C) return pebitness::Verdict32;
    if (head[p + 4] == 0x64) return pebitness::Verdict64;
    return pebitness::VerdictUnknown;
}

std::string Name(TextView verdict) {
    if (verdict == pebitness::Verdict32) return "32";
    if (verdict == pebitness::Verdict64) return "64";
    if (verdict == pebitness::VerdictUnknown) return "unknown";
    return "not a verdict";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The classifier only ever sees what one read of ProbeSize bytes delivers.
    const std::size_t n = size < pebitness::ProbeSize ? size : pebitness::ProbeSize;
    const std::string expected = Name(Reference(data, n));
    const std::string got = Name(pebitness::ClassifyHead(ByteView(data, n)));
    if (got != expected) pebitness::fuzz::Mismatch("ClassifyHead", expected, got);
    return 0;
}
