#include "Harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

double CpuNow()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string Format(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

}  // namespace

TMeasure Timed(std::function<void()> fn, int iterations)
{
    return [fn = std::move(fn), iterations] {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = CpuNow();
        for (int i = 0; i < iterations; ++i)
            fn();
        const double real = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return TSample{real / iterations, (CpuNow() - cpu) / iterations};
    };
}

std::string Seconds(double s)
{
    if (s >= 1)
        return Format("%.2f s", s);
    if (s >= 1e-3)
        return Format("%.1f ms", s * 1e3);
    return Format("%.1f us", s * 1e6);
}

TResult Compare(const TComparison& c)
{
    c.Subject();
    c.Against();
    std::vector<double> aReal, aCpu, bReal, bCpu;
    TResult r;
    r.Name = c.Name;
    r.Floor = c.Floor;
    r.Target = c.Target;
    r.Repetitions = c.Repetitions;
    for (int i = 0; i < c.Repetitions; ++i) {
        const TSample a = c.Subject();
        const TSample b = c.Against();
        aReal.push_back(a.Real), aCpu.push_back(a.Cpu), bReal.push_back(b.Real), bCpu.push_back(b.Cpu);
        if (c.Target > 0 && a.Real > c.Target * b.Real)
            ++r.Over;
    }
    r.SubjectReal = Median(aReal), r.SubjectCpu = Median(aCpu);
    r.FloorReal = Median(bReal), r.FloorCpu = Median(bCpu);
    r.RatioReal = r.SubjectReal / r.FloorReal;
    r.RatioCpu = r.FloorCpu > 0 ? r.SubjectCpu / r.FloorCpu : 0;
    r.SubjectText = Seconds(r.SubjectReal) + " / " + Seconds(r.SubjectCpu);
    r.FloorText = Seconds(r.FloorReal) + " / " + Seconds(r.FloorCpu);
    r.RatioText = Format("%.2fx", r.RatioReal) + " / " + Format("%.2fx", r.RatioCpu);
    if (c.Target <= 0) {
        r.Verdict = "reported";
        r.TargetText = "";
    } else {
        r.TargetText = "<= " + Format("%.2fx", c.Target);
        // A verdict that most repetitions do not share is noise, not a result.
        const int under = r.Repetitions - r.Over;
        if (r.Over * 5 <= r.Repetitions)
            r.Verdict = "met";
        else if (under * 5 <= r.Repetitions)
            r.Verdict = "missed";
        else
            r.Verdict = "noise: " + std::to_string(r.Over) + " of " + std::to_string(r.Repetitions) + " repetitions over";
    }
    return r;
}

TResult Figure(const std::string& name, const std::string& valueText, const std::string& floorText, double value,
               double target, const std::string& targetText)
{
    TResult r;
    r.Name = name;
    r.SubjectText = valueText;
    r.FloorText = floorText;
    r.Target = target;
    r.TargetText = targetText;
    r.Verdict = target <= 0 ? "reported" : value <= target ? "met" : "missed";
    return r;
}

std::string MarkdownTable(const std::vector<TResult>& results)
{
    std::string out = "| benchmark | real / CPU | floor: real / CPU | ratio real / CPU | target | verdict |\n"
                      "|---|---|---|---|---|---|\n";
    for (const TResult& r : results)
        out += "| " + r.Name + " | " + r.SubjectText + " | " + (r.Floor.empty() ? "" : r.Floor + ": ") + r.FloorText
               + " | " + r.RatioText + " | " + r.TargetText + " | " + r.Verdict + " |\n";
    return out;
}

void PrintLine(const TResult& r)
{
    std::printf("%-46s %-24s %-30s %-16s %-9s %s\n", r.Name.c_str(), r.SubjectText.c_str(), r.FloorText.c_str(),
                r.RatioText.c_str(), r.TargetText.c_str(), r.Verdict.c_str());
    std::fflush(stdout);
}
