#pragma once
// Count, mean and spread of a set of readings, kept by Welford's update and merged by
// Chan's pairwise rule, so ten million readings keep their digits (a plain sum of
// squares loses them once the mean is large against the spread).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace varnex {

struct RunningStats {
    std::int64_t count = 0;
    double mean = 0.0;
    double m2 = 0.0; // sum of squared differences from the mean
    double minimum = std::numeric_limits<double>::infinity();
    double maximum = -std::numeric_limits<double>::infinity();

    void add(double x)
    {
        ++count;
        const double delta = x - mean;
        mean += delta / double(count);
        m2 += delta * (x - mean);
        if (x < minimum)
            minimum = x;
        if (x > maximum)
            maximum = x;
    }

    void merge(const RunningStats& other)
    {
        if (other.count == 0)
            return;
        if (count == 0) {
            *this = other;
            return;
        }
        const double n = double(count) + double(other.count);
        const double delta = other.mean - mean;
        mean += delta * (double(other.count) / n);
        m2 += other.m2 + delta * delta * (double(count) * double(other.count) / n);
        count += other.count;
        if (other.minimum < minimum)
            minimum = other.minimum;
        if (other.maximum > maximum)
            maximum = other.maximum;
    }

    // Population standard deviation (the spread of the readings shown, not an estimate).
    double sigma() const { return count > 0 ? std::sqrt(std::max(0.0, m2 / double(count))) : 0.0; }
};

} // namespace varnex
