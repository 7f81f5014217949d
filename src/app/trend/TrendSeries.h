#pragma once
// Every logged reading as a time and a value, compactly: an int64 millisecond time and a
// float value per reading (12 bytes) in fixed chunks that never move, plus a summary
// (min, max, count, mean, spread, overloads) per block of 64, 4096, 262144 and 16777216
// readings. Any index range is then summarised in a few hundred steps, so drawing or
// measuring a view costs about its width in pixels, not its number of readings.
//
// Readings are grouped in lanes: one per function and unit ("DCV" in V, "OHM" in Ω),
// since readings of different functions never share a scale. Runs of readings in one
// lane whose times do not go backwards form segments; each segment is searched by time.
#include "app/trend/RunningStats.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace varnex {

// The value stored for an overload (drawn as a mark at the edge, never counted) and for a
// reading without a number (neither drawn nor counted).
inline constexpr float kOverloadValue = std::numeric_limits<float>::infinity();
inline const float kNoValue = std::numeric_limits<float>::quiet_NaN();

struct TrendLane {
    std::string function; // the row's Function text, trimmed
    std::string unit;     // the SI unit ("V", "Ω", "Hz"), or the plain unit when unknown
    RunningStats all;     // every finite reading of the lane
    std::int64_t overloads = 0;
};

struct TrendSegment {
    std::int64_t begin = 0; // first index
    std::int64_t end = 0;   // one past the last
    int lane = 0;
    bool placed = false;    // times inferred from a time of day (rows loaded from a file)
    std::int64_t firstMs = 0, lastMs = 0;
};

struct RangeSummary {
    RunningStats stats;
    std::int64_t overloads = 0;
    bool empty() const { return stats.count == 0 && overloads == 0; }
};

struct IndexRange {
    std::int64_t begin = 0, end = 0;
    bool empty() const { return begin >= end; }
};

class TrendSeries {
public:
    static constexpr int kChunkShift = 16;
    static constexpr int kLevels = 4;
    static constexpr int kLevelShift = 6;

    TrendSeries() = default;
    TrendSeries(const TrendSeries&) = delete;
    TrendSeries& operator=(const TrendSeries&) = delete;

    // The lane of a function and unit, made on first use.
    int laneFor(const std::string& function, const std::string& unit);
    // value: kOverloadValue, kNoValue or a finite reading in the lane's unit.
    void append(int lane, std::int64_t utcMs, float value, bool placed);
    void clear();

    std::int64_t size() const { return size_; }
    std::int64_t timeAt(std::int64_t i) const { return times_[chunk(i)][offset(i)]; }
    float valueAt(std::int64_t i) const { return values_[chunk(i)][offset(i)]; }
    const std::vector<TrendLane>& lanes() const { return lanes_; }
    const std::vector<TrendSegment>& segments() const { return segments_; }
    bool hasPlacedRows() const { return placedRows_ > 0; }
    // Earliest and latest time of any reading; both 0 when empty.
    std::int64_t firstMs() const;
    std::int64_t lastMs() const;

    // Statistics and overloads of the readings with index in [begin, end).
    RangeSummary summarize(std::int64_t begin, std::int64_t end) const;
    // Indices of a segment's readings with fromMs <= time < toMs.
    IndexRange indicesIn(const TrendSegment& segment, double fromMs, double toMs) const;
    // The reading of `lane` nearest to timeMs (index), or -1 when the lane has none.
    std::int64_t nearest(int lane, double timeMs) const;

    std::size_t memoryBytes() const;

private:
    static constexpr std::int64_t kChunkSize = std::int64_t{1} << kChunkShift;
    static std::size_t chunk(std::int64_t i) { return std::size_t(i >> kChunkShift); }
    static std::size_t offset(std::int64_t i) { return std::size_t(i & (kChunkSize - 1)); }

    // A block summary: float bounds and a Welford triple (32 bytes per 64 readings).
    struct Block {
        float minimum = std::numeric_limits<float>::infinity();
        float maximum = -std::numeric_limits<float>::infinity();
        std::uint32_t count = 0;
        std::uint32_t overloads = 0;
        double mean = 0.0;
        double m2 = 0.0;
        void add(float v);
    };
    static void addValue(RangeSummary& s, float v);
    static void addBlock(RangeSummary& s, const Block& b);

    std::vector<std::unique_ptr<std::int64_t[]>> times_;
    std::vector<std::unique_ptr<float[]>> values_;
    std::array<std::vector<Block>, kLevels> levels_;
    std::vector<TrendLane> lanes_;
    std::vector<TrendSegment> segments_;
    std::int64_t size_ = 0;
    std::int64_t placedRows_ = 0;
};

} // namespace varnex
