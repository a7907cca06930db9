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
struct TSample {
    double Real = 0;  // seconds
    double Cpu = 0;   // seconds, of this process and the children it waited for
};

// Something to measure: runs once and says how long that took. Most are
// plain functions timed by the harness (Timed); those that start a program
// time it themselves.
using TMeasure = std::function<TSample()>;

// Times fn in this process: `iterations` calls per sample.
TMeasure Timed(std::function<void()> fn, int iterations = 1);

struct TComparison {
    std::string Name;     // what the subject is
    std::string Floor;    // what it is measured against
    double Target = 0;    // the subject may take at most Target x the floor; 0: reported only
    TMeasure Subject;
    TMeasure Against;
    int Repetitions = 7;
};

struct TResult {
    std::string Name, Floor;
    double Target = 0;
    double SubjectReal = 0, SubjectCpu = 0, FloorReal = 0, FloorCpu = 0;  // medians
    double RatioReal = 0, RatioCpu = 0;                                     // of the medians
    int Over = 0, Repetitions = 0;  // repetitions whose real-time ratio missed the target
    std::string Verdict;            // "met", "missed", "noise: ..." or "reported"
    // As printed: the subject's and the floor's figures, the ratio.
    std::string SubjectText, FloorText, RatioText, TargetText;
};

// Runs subject and floor in turn, each once per repetition, after one
// untimed warm-up of each.
TResult Compare(const TComparison& comparison);

// A figure that is not a time ratio (memory per creature, say): met when
// value <= target (a target of 0: reported only).
TResult Figure(const std::string& name, const std::string& valueText, const std::string& floorText, double value,
               double target, const std::string& targetText);

// "1.23 ms", "456 us", "2.05 s"
std::string Seconds(double s);

// The results as a Markdown table (for the README) and as plain lines.
std::string MarkdownTable(const std::vector<TResult>& results);
void PrintLine(const TResult& result);
