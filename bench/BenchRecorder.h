#pragma once
// A console reporter that also keeps each benchmark's CPU time per
// iteration, for the figures and ratios a benchmark prints at the end.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class BenchRecorder : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration) ms[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // By benchmark name, in the benchmark's own time unit.
    std::map<std::string, double> ms;
};
