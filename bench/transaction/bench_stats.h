// Medians and percentiles of measured samples.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace corvane::bench {

// The p-th percentile (0..100) by the nearest-rank rule; 0 for no samples.
inline double Percentile(std::vector<double> samples, double p) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  size_t rank = static_cast<size_t>(std::ceil(p / 100.0 * samples.size()));
  if (rank < 1) rank = 1;
  return samples[std::min(rank, samples.size()) - 1];
}

inline double Median(const std::vector<double>& samples) {
  if (samples.empty()) return 0;
  std::vector<double> s = samples;
  std::sort(s.begin(), s.end());
  size_t n = s.size();
  return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
}

}  // namespace corvane::bench
