#pragma once
// Benchmarks against a server on a busy machine: each one runs in rounds,
// the rounds of all of them interleaved, so that a burst of other work falls
// on one round of one of them rather than on all of its runs. The ratio of
// two benchmarks is taken round by round; its median and range are printed,
// for the time that passes and for the processor time of both sides of the
// socket (this process's, and the server session's "server_us" counter).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

class ServerRounds : public benchmark::ConsoleReporter {
public:
    // Registers "name/round:N" for every benchmark and round, round by round.
    static void Register(int rounds,
                         const std::vector<std::pair<std::string, void (*)(benchmark::State&)>>& runs,
                         double minTime, benchmark::TimeUnit unit) {
        for (int round = 1; round <= rounds; ++round)
            for (const auto& [name, run] : runs)
                benchmark::RegisterBenchmark((name + "/round:" + std::to_string(round)).c_str(), run)
                    ->UseRealTime()
                    ->MinTime(minTime)
                    ->Unit(unit);
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            const std::string name = run.benchmark_name();
            const std::size_t cut = name.find("/round:");
            if (cut == std::string::npos) continue;
            const std::string family = name.substr(0, cut);
            const int round = std::atoi(name.c_str() + name.find(':', cut) + 1);
            real_[family][round] = run.GetAdjustedRealTime();
            if (auto it = run.counters.find("server_us"); it != run.counters.end())
                both_[family][round] =
                    run.GetAdjustedCPUTime() +
                    it->second.value * (run.time_unit == benchmark::kMillisecond ? 1e-3 : 1e3);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Prints the median and range over the rounds of a / b.
    void PrintRatio(const char* label, const std::string& a, const std::string& b) const {
        Print(label, "real time", Ratios(real_, a, b));
        Print(label, "processor time of both sides", Ratios(both_, a, b));
    }

private:
    using Times = std::map<std::string, std::map<int, double>>;

    static std::vector<double> Ratios(const Times& times, const std::string& a,
                                      const std::string& b) {
        std::vector<double> out;
        const auto ia = times.find(a), ib = times.find(b);
        if (ia == times.end() || ib == times.end()) return out;
        for (const auto& [round, ta] : ia->second)
            if (auto it = ib->second.find(round); it != ib->second.end() && it->second > 0)
                out.push_back(ta / it->second);
        std::sort(out.begin(), out.end());
        return out;
    }

    static void Print(const char* label, const char* what, const std::vector<double>& ratios) {
        if (ratios.empty()) return;
        std::printf("%s %.2fx median of %zu rounds (%.2f to %.2f), %s\n", label,
                    ratios[ratios.size() / 2], ratios.size(), ratios.front(), ratios.back(),
                    what);
    }

    Times real_, both_;
};
