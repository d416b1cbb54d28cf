// How the benchmarks time their work: medians of rounds taken in turn.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace Bench {

constexpr int rounds = 7;

// Microseconds on the performance counter.
inline double Now() {
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1e6 * double(counter.QuadPart) / double(frequency.QuadPart);
}

// One thing to measure: `prepare` (if any) runs untimed before each round of `work`.
struct Measurement {
    std::function<void()> prepare;
    std::function<void()> work;
};

// The median round of each measurement, in microseconds. The rounds of all of them are taken
// in turn, so that a machine growing busier or quieter meanwhile weighs on each alike: remote
// calls in particular drift by a fifth from one second to the next.
inline std::vector<double> MediansInTurn(const std::vector<Measurement>& measurements) {
    std::vector<std::vector<double>> times(measurements.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t index = 0; index < measurements.size(); ++index) {
            if (measurements[index].prepare)
                measurements[index].prepare();
            const double start = Now();
            measurements[index].work();
            times[index].push_back(Now() - start);
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& series : times) {
        std::sort(series.begin(), series.end());
        medians.push_back(series[series.size() / 2]);
    }
    return medians;
}

} // namespace Bench
