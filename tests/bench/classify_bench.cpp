// The classification floor, natively: classifying a list of real PE files, against the system calls
// that no classification can do without, an open, one read of ProbeSize bytes and a close of the
// same files with the same flags. Google Benchmark times both; each round is one run of each, in
// the order A B A B, and what is printed is the median of the per-round ratios and their spread.
//
// Usage: pebitness_classify_bench LIST_FILE [ROUNDS]     (LIST_FILE: one path a line)
// Prints: classify-native ratio=R min=R max=R rounds=N files=N
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "classify/classify.h"
#include "tests/bench/ratio_summary.h"

namespace {

using pebitness::ProbeSize;
using pebitness::Text;
using pebitness::TextView;

// One pass over every file is a few milliseconds; this many passes make one measurement.
constexpr benchmark::IterationCount PassesPerRun = 100;

std::vector<Text> ReadList(const char* listFile) {
    std::vector<Text> paths;
    std::ifstream in(listFile);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) paths.emplace_back(TextView(line.data(), line.size()));
    return paths;
}

void ClassifyAll(const std::vector<Text>& paths) {
    for (const Text& path : paths) {
        TextView verdict = pebitness::ClassifyFileBitness(path);
        benchmark::DoNotOptimize(verdict);
    }
}

// The floor: the same open as the POSIX backend's, one read, a close.
void OpenReadCloseAll(const std::vector<Text>& paths) {
    unsigned char head[ProbeSize];
    for (const Text& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) continue;
        ssize_t delivered = ::read(fd, head, sizeof head);
        benchmark::DoNotOptimize(delivered);
        benchmark::ClobberMemory();
        ::close(fd);
    }
}

// Keeps every run's time per pass, in the order the runs were made, and prints nothing itself.
class CollectingReporter : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            auto& into = run.benchmark_name().rfind("classify", 0) == 0 ? classify : floor;
            into.push_back(run.real_accumulated_time / static_cast<double>(run.iterations));
        }
    }
    std::vector<double> classify;
    std::vector<double> floor;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LIST_FILE [ROUNDS]\n", argv[0]);
        return 2;
    }
    const std::vector<Text> paths = ReadList(argv[1]);
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 40;
    if (paths.empty() || rounds < 1) {
        std::fprintf(stderr, "%s: no files to classify, or no rounds\n", argv[0]);
        return 2;
    }
    // Both sides start from a warm file cache.
    ClassifyAll(paths);
    OpenReadCloseAll(paths);

    // Registered, and therefore run, in the order classify, floor, classify, floor, ...
    for (int round = 0; round < rounds; ++round) {
        benchmark::RegisterBenchmark(("classify/" + std::to_string(round)).c_str(),
                                     [&paths](benchmark::State& state) {
                                         for (auto _ : state) ClassifyAll(paths);
                                     })
            ->Iterations(PassesPerRun)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("floor/" + std::to_string(round)).c_str(),
                                     [&paths](benchmark::State& state) {
                                         for (auto _ : state) OpenReadCloseAll(paths);
                                     })
            ->Iterations(PassesPerRun)
            ->UseRealTime();
    }
    int benchmarkArgc = 1;
    benchmark::Initialize(&benchmarkArgc, argv);
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    if (reporter.classify.size() != reporter.floor.size() || reporter.classify.empty()) {
        std::fprintf(stderr, "%s: the runs did not pair up\n", argv[0]);
        return 1;
    }
    std::vector<double> ratios;
    for (std::size_t i = 0; i < reporter.classify.size(); ++i)
        ratios.push_back(reporter.classify[i] / reporter.floor[i]);
    pebitness::bench::PrintRatioSummary("classify-native", std::move(ratios), paths.size());
    return 0;
}
