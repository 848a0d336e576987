// The system calls of a classification, for counting under strace: classifies each file named on
// the command line between two marker calls that strace shows as write(-1, "pebitness-bench-...").
// Everything the process does between them belongs to the classifications. One classification
// before the first marker warms up the heap, which may grow at the first request.
//
// Usage: strace -f -o LOG pebitness_classify_syscalls FILE...
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "classify/classify.h"

namespace {

void Mark(const char* marker) {
    // A write to no descriptor fails at once and changes nothing; strace still shows its bytes.
    const ssize_t ignored = ::write(-1, marker, std::strlen(marker));
    static_cast<void>(ignored);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE...\n", argv[0]);
        return 2;
    }
    pebitness::ClassifyFileBitness(pebitness::TextView(argv[1], std::strlen(argv[1])));
    Mark("pebitness-bench-begin");
    for (int i = 1; i < argc; ++i)
        pebitness::ClassifyFileBitness(pebitness::TextView(argv[i], std::strlen(argv[i])));
    Mark("pebitness-bench-end");
    return 0;
}
