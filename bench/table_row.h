// What the benchmarks share: the median of a figure's runs, and the tab-separated row scripts/bench turns into a
// line of its table (what, ours, the peer's, their ratio).
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace tallyrun::bench {

template <class T>
T Median(std::vector<T> values)
{
    std::ranges::sort(values);
    return values[values.size() / 2];
}

inline void PrintRow(const std::string& what, double ours, double peer, const char* unit = "ms")
{
    std::printf("%s\t%.1f %s\t%.1f %s\t%.2fx\n", what.c_str(), ours, unit, peer, unit, ours / peer);
}

}  // namespace tallyrun::bench
