// The classification floor under Wine, where Google Benchmark is not built: a small harness of our
// own. Each round times one pass of classifying every listed file and one pass of the system calls
// that no classification can do without (CreateFileW with the program's flags, one ReadFile of
// ProbeSize bytes, CloseHandle) over the same files, in the order A B A B; what is printed is the
// median of the per-round ratios and their spread.
//
// Usage: pebitness_classify_floor LIST_FILE [ROUNDS]   (LIST_FILE: one Windows path a line, ASCII)
// Prints: classify-wine ratio=R min=R max=R rounds=N files=N
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "classify/classify.h"
#include "tests/bench/ratio_summary.h"

namespace {

using pebitness::ProbeSize;
using pebitness::Text;
using pebitness::TextView;

constexpr int PassesPerRun = 5;

volatile std::size_t sink;  // keeps the work from being optimised away

double Now() {
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double ClassifyAll(const std::vector<Text>& paths) {
    const double start = Now();
    for (int pass = 0; pass < PassesPerRun; ++pass)
        for (const Text& path : paths) sink = sink + pebitness::ClassifyFileBitness(path).size();
    return Now() - start;
}

double OpenReadCloseAll(const std::vector<std::wstring>& paths) {
    unsigned char head[ProbeSize];
    const double start = Now();
    for (int pass = 0; pass < PassesPerRun; ++pass) {
        for (const std::wstring& path : paths) {
            const HANDLE file =
                ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE) continue;
            DWORD delivered = 0;
            ::ReadFile(file, head, static_cast<DWORD>(sizeof head), &delivered, nullptr);
            sink = sink + delivered + head[0];
            ::CloseHandle(file);
        }
    }
    return Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LIST_FILE [ROUNDS]\n", argv[0]);
        return 2;
    }
    std::vector<Text> texts;
    std::vector<std::wstring> wides;
    if (std::FILE* list = std::fopen(argv[1], "rb")) {
        char line[4096];
        while (std::fgets(line, sizeof line, list)) {
            std::string path(line);
            while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
            if (path.empty()) continue;
            texts.emplace_back(TextView(path.data(), path.size()));
            wides.emplace_back(path.begin(), path.end());  // ASCII: one unit per byte
        }
        std::fclose(list);
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 40;
    if (texts.empty() || rounds < 1) {
        std::fprintf(stderr, "%s: no files to classify, or no rounds\n", argv[0]);
        return 2;
    }
    ClassifyAll(texts);  // both sides start from a warm file cache
    OpenReadCloseAll(wides);
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const double classify = ClassifyAll(texts);
        const double floor = OpenReadCloseAll(wides);
        ratios.push_back(classify / floor);
    }
    pebitness::bench::PrintRatioSummary("classify-wine", std::move(ratios), texts.size());
    return 0;
}
