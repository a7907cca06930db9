#pragma once

#include <string>
#include <vector>

// A benchmark and the one it is measured against, with the target ratio.
struct TBenchPair {
    std::string subject;
    std::string floor;
    double limit;        // 0: reported only
    std::string target;  // as printed
};

const std::vector<TBenchPair>& BenchPairs();

// Closes the windows the benchmarks opened, before the application goes.
void ReleaseBenchWindows();
