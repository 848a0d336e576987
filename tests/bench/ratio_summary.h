// The one line each classification benchmark prints, which scripts/bench reads:
//   NAME ratio=MEDIAN min=MIN max=MAX rounds=N files=F
// The ratios are taken in rounds that measure the program and its floor side by side.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

namespace pebitness::bench {

inline void PrintRatioSummary(const char* name, std::vector<double> ratios, std::size_t files) {
    std::sort(ratios.begin(), ratios.end());
    const std::size_t n = ratios.size();
    const double median = n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
    std::printf("%s ratio=%.3f min=%.3f max=%.3f rounds=%zu files=%zu\n", name, median,
                ratios.front(), ratios.back(), n, files);
}

}  // namespace pebitness::bench
