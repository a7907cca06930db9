// A benchmark harness for ratios that mean something on a shared machine:
// each subject is measured against its floor in the same run, the two taking
// turns (A, B, A, B, ...), and what is reported is the median CPU time and
// the median real time of each, their ratios, and a verdict that is given
// only when the repetitions agree on it.
#pragma once

#include <functional>
#include <string>
#include <vector>

// One measurement of one side: how long it took.
struct Sample {
    double real = 0;  // seconds
    double cpu = 0;   // seconds, of this process and the children it waited for
};

// Something to measure: runs once and says how long that took. Most are
// plain functions timed by the harness (Timed); those that start a program
// time it themselves.
using Measure = std::function<Sample()>;

// Times fn in this process: `iterations` calls per sample.
Measure timed(std::function<void()> fn, int iterations = 1);

struct Comparison {
    std::string name;     // what the subject is
    std::string floor;    // what it is measured against
    double target = 0;    // the subject may take at most Target x the floor; 0: reported only
    Measure subject;
    Measure against;
    int repetitions = 7;
};

struct BenchResult {
    std::string name, floor;
    double target = 0;
    double subjectReal = 0, subjectCpu = 0, floorReal = 0, floorCpu = 0;  // medians
    double ratioReal = 0, ratioCpu = 0;                                     // of the medians
    int over = 0, repetitions = 0;  // repetitions whose real-time ratio missed the target
    std::string verdict;            // "met", "missed", "noise: ..." or "reported"
    // As printed: the subject's and the floor's figures, the ratio.
    std::string subjectText, floorText, ratioText, targetText;
};

// Runs subject and floor in turn, each once per repetition, after one
// untimed warm-up of each.
BenchResult runComparison(const Comparison& comparison);

// A figure that is not a time ratio (memory per creature, say): met when
// value <= target (a target of 0: reported only).
BenchResult figure(const std::string& name, const std::string& valueText, const std::string& floorText, double value,
               double target, const std::string& targetText);

// "1.23 ms", "456 us", "2.05 s"
std::string seconds(double s);

// The results as a Markdown table (for the README) and as plain lines.
std::string markdownTable(const std::vector<BenchResult>& results);
void printLine(const BenchResult& result);
