#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>

namespace pebitness::fuzz {
namespace {

void PrintBytes(const char* label, const std::string& bytes) {
    std::fprintf(stderr, "  %s (%zu bytes):", label, bytes.size());
    for (char byte : bytes) std::fprintf(stderr, " %02X", static_cast<unsigned char>(byte));
    std::fprintf(stderr, "\n");
}

}  // namespace

void Mismatch(const char* what, const std::string& expected, const std::string& got) {
    std::fprintf(stderr, "MISMATCH: %s\n", what);
    PrintBytes("expected", expected);
    PrintBytes("got", got);
    std::abort();
}

}  // namespace pebitness::fuzz
