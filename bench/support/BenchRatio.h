// Runs the registered Google Benchmarks and prints, for each pair of
// (ours, peer) names, the ratio of their real times measured in this run:
// absolute times on shared machines are noise, ratios are not.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tavrin::bench {

class CTimeCollector : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

// Runs everything and prints "ratio <ours> / <peer>: X" for each pair; the
// last line gives the geometric mean when there are several.
inline int RunWithRatios(int argc, char** argv, const std::vector<std::pair<std::string, std::string>>& pairs) {
  benchmark::Initialize(&argc, argv);
  CTimeCollector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  double logSum = 0;
  int n = 0;
  for (const auto& [ours, peer] : pairs) {
    const auto a = collector.times.find(ours), b = collector.times.find(peer);
    if (a == collector.times.end() || b == collector.times.end() || b->second <= 0) continue;
    const double ratio = a->second / b->second;
    std::printf("ratio %s / %s: %.2f\n", ours.c_str(), peer.c_str(), ratio);
    logSum += std::log(ratio);
    ++n;
  }
  if (n > 1) std::printf("geometric mean of %d ratios: %.2f\n", n, std::exp(logSum / n));
  benchmark::Shutdown();
  return 0;
}

}  // namespace tavrin::bench
