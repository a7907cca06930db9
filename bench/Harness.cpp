#include "Harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

double cpuNow()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string format(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

Measure timed(std::function<void()> fn, int iterations)
{
    return [fn = std::move(fn), iterations] {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = cpuNow();
        for (int i = 0; i < iterations; ++i)
            fn();
        const double real = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return Sample{real / iterations, (cpuNow() - cpu) / iterations};
    };
}

std::string seconds(double s)
{
    if (s >= 1)
        return format("%.2f s", s);
    if (s >= 1e-3)
        return format("%.1f ms", s * 1e3);
    return format("%.1f us", s * 1e6);
}

BenchResult runComparison(const Comparison& c)
{
    c.subject();
    c.against();
    std::vector<double> aReal, aCpu, bReal, bCpu;
    BenchResult r;
    r.name = c.name;
    r.floor = c.floor;
    r.target = c.target;
    r.repetitions = c.repetitions;
    for (int i = 0; i < c.repetitions; ++i) {
        const Sample a = c.subject();
        const Sample b = c.against();
        aReal.push_back(a.real), aCpu.push_back(a.cpu), bReal.push_back(b.real), bCpu.push_back(b.cpu);
        if (c.target > 0 && a.real > c.target * b.real)
            ++r.over;
    }
    r.subjectReal = median(aReal), r.subjectCpu = median(aCpu);
    r.floorReal = median(bReal), r.floorCpu = median(bCpu);
    r.ratioReal = r.subjectReal / r.floorReal;
    r.ratioCpu = r.floorCpu > 0 ? r.subjectCpu / r.floorCpu : 0;
    r.subjectText = seconds(r.subjectReal) + " / " + seconds(r.subjectCpu);
    r.floorText = seconds(r.floorReal) + " / " + seconds(r.floorCpu);
    r.ratioText = format("%.2fx", r.ratioReal) + " / " + format("%.2fx", r.ratioCpu);
    if (c.target <= 0) {
        r.verdict = "reported";
        r.targetText = "";
    } else {
        r.targetText = "<= " + format("%.2fx", c.target);
        // A verdict that most repetitions do not share is noise, not a result.
        const int under = r.repetitions - r.over;
        if (r.over * 5 <= r.repetitions)
            r.verdict = "met";
        else if (under * 5 <= r.repetitions)
            r.verdict = "missed";
        else
            r.verdict = "noise: " + std::to_string(r.over) + " of " + std::to_string(r.repetitions) + " repetitions over";
    }
    return r;
}

BenchResult figure(const std::string& name, const std::string& valueText, const std::string& floorText, double value,
               double target, const std::string& targetText)
{
    BenchResult r;
    r.name = name;
    r.subjectText = valueText;
    r.floorText = floorText;
    r.target = target;
    r.targetText = targetText;
    r.verdict = target <= 0 ? "reported" : value <= target ? "met" : "missed";
    return r;
}

std::string markdownTable(const std::vector<BenchResult>& results)
{
    std::string out = "| benchmark | real / CPU | floor: real / CPU | ratio real / CPU | target | verdict |\n"
                      "|---|---|---|---|---|---|\n";
    for (const BenchResult& r : results)
        out += "| " + r.name + " | " + r.subjectText + " | " + (r.floor.empty() ? "" : r.floor + ": ") + r.floorText
               + " | " + r.ratioText + " | " + r.targetText + " | " + r.verdict + " |\n";
    return out;
}

void printLine(const BenchResult& r)
{
    std::printf("%-46s %-24s %-30s %-16s %-9s %s\n", r.name.c_str(), r.subjectText.c_str(), r.floorText.c_str(),
                r.ratioText.c_str(), r.targetText.c_str(), r.verdict.c_str());
    std::fflush(stdout);
}
