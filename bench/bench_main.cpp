// The benchmarks of Lifeledger's hot paths, each paired with the floor it
// cannot beat, measured in the same run. After the run one table prints
// every benchmark with its floor and the ratio.
#include "bench_support.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

// "BM_Fill/10000/real_time" -> "BM_Fill/10000"
std::string Plain(std::string name)
{
    const std::string suffix = "/real_time";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        name.resize(name.size() - suffix.size());
    return name;
}

class TableReporter : public benchmark::ConsoleReporter {
public:
    TableReporter() : ConsoleReporter(OO_Tabular) {}

    std::map<std::string, double> seconds;  // per iteration, real time
    std::map<std::string, double> medians;  // the same, median of the repetitions

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the median counts; without, the single run.
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !seconds.count(Plain(run.run_name.str())))
                seconds[Plain(run.run_name.str())] = run.real_accumulated_time / static_cast<double>(run.iterations);
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[Plain(run.run_name.str())] = run.real_accumulated_time / static_cast<double>(run.iterations);
        }
    }
};

std::string Human(double s)
{
    char buf[32];
    if (s >= 1)
        std::snprintf(buf, sizeof buf, "%.2f s", s);
    else if (s >= 1e-3)
        std::snprintf(buf, sizeof buf, "%.2f ms", s * 1e3);
    else
        std::snprintf(buf, sizeof buf, "%.2f us", s * 1e6);
    return buf;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    ReleaseBenchWindows();
    for (const auto& [name, median] : reporter.medians)
        reporter.seconds[name] = median;

    std::printf("\n%-34s %12s %12s %8s   %s\n", "benchmark", "time", "floor", "ratio", "target");
    for (const TBenchPair& pair : BenchPairs()) {
        const auto subject = reporter.seconds.find(pair.subject);
        const auto floor = reporter.seconds.find(pair.floor);
        if (subject == reporter.seconds.end() || floor == reporter.seconds.end())
            continue;
        const double ratio = subject->second / floor->second;
        std::printf("%-34s %12s %12s %7.2fx   %s%s\n", pair.subject.c_str(), Human(subject->second).c_str(),
                    Human(floor->second).c_str(), ratio, pair.target.c_str(),
                    pair.limit > 0 && ratio > pair.limit ? "  (missed)" : "");
    }
    benchmark::Shutdown();
    return 0;
}
