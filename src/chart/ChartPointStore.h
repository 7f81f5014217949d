#pragma once
// The chart's points as 32-bit floats in fixed chunks (4 bytes a point, no doubling
// on growth), with a min/max summary per block of 64, 4096, 262144 and 16777216
// points so that the envelope of any index range costs a few hundred steps.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace varnex {

struct ValueRange {
    float minimum = 0.0f;
    float maximum = 0.0f;
};

class ChartPointStore {
public:
    static constexpr int kChunkShift = 16; // 65536 points (256 KiB) a chunk
    static constexpr int kLevels = 4;      // summary blocks of 64^1 .. 64^4 points
    static constexpr int kLevelShift = 6;

    ChartPointStore() = default;
    ChartPointStore(const ChartPointStore&) = delete;
    ChartPointStore& operator=(const ChartPointStore&) = delete;

    std::int64_t Size() const { return size_; }
    float Value(std::int64_t index) const
    {
        return chunks_[static_cast<std::size_t>(index >> kChunkShift)][index & kChunkMask];
    }
    void Append(float value);
    void Set(std::int64_t index, float value);
    // Keeps the first n points.
    void Truncate(std::int64_t n);
    void Clear() { Truncate(0); }

    // Smallest and largest value among indices [begin, end); begin < end <= Size().
    // NaN values are skipped; a range of only NaN gives {NaN, NaN}.
    ValueRange MinMax(std::int64_t begin, std::int64_t end) const;

    std::size_t MemoryBytes() const;

private:
    static constexpr std::int64_t kChunkSize = std::int64_t{1} << kChunkShift;
    static constexpr std::int64_t kChunkMask = kChunkSize - 1;

    void RebuildBlock(int level, std::int64_t block);

    std::vector<std::unique_ptr<float[]>> chunks_;
    std::int64_t size_ = 0;
    std::array<std::vector<ValueRange>, kLevels> levels_;
};

} // namespace varnex
