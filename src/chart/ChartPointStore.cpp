#include "chart/ChartPointStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace varnex {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Widens r by v; NaN values never widen, and an empty (NaN) range takes v.
void Widen(ValueRange& r, float minimum, float maximum)
{
    if (std::isnan(minimum))
        return;
    if (std::isnan(r.minimum)) {
        r = ValueRange{minimum, maximum};
        return;
    }
    if (minimum < r.minimum)
        r.minimum = minimum;
    if (maximum > r.maximum)
        r.maximum = maximum;
}

std::int64_t BlockSize(int level)
{
    return std::int64_t{1} << (ChartPointStore::kLevelShift * (level + 1));
}

} // namespace

void ChartPointStore::Append(float value)
{
    if ((size_ & kChunkMask) == 0 && static_cast<std::size_t>(size_ >> kChunkShift) == chunks_.size())
        chunks_.push_back(std::make_unique<float[]>(static_cast<std::size_t>(kChunkSize)));
    chunks_[static_cast<std::size_t>(size_ >> kChunkShift)][size_ & kChunkMask] = value;
    const std::int64_t index = size_++;
    for (int level = 0; level < kLevels; ++level) {
        const std::int64_t block = index / BlockSize(level);
        auto& blocks = levels_[static_cast<std::size_t>(level)];
        if (static_cast<std::int64_t>(blocks.size()) == block)
            blocks.push_back(ValueRange{kNaN, kNaN});
        Widen(blocks[static_cast<std::size_t>(block)], value, value);
    }
}

void ChartPointStore::Set(std::int64_t index, float value)
{
    if (index < 0 || index >= size_)
        return;
    chunks_[static_cast<std::size_t>(index >> kChunkShift)][index & kChunkMask] = value;
    for (int level = 0; level < kLevels; ++level)
        RebuildBlock(level, index / BlockSize(level));
}

void ChartPointStore::Truncate(std::int64_t n)
{
    if (n < 0)
        n = 0;
    if (n >= size_)
        return;
    size_ = n;
    chunks_.resize(static_cast<std::size_t>((n + kChunkSize - 1) >> kChunkShift));
    for (int level = 0; level < kLevels; ++level) {
        const std::int64_t blocks = (n + BlockSize(level) - 1) / BlockSize(level);
        auto& summary = levels_[static_cast<std::size_t>(level)];
        summary.resize(static_cast<std::size_t>(blocks));
        if (n % BlockSize(level) != 0)
            RebuildBlock(level, blocks - 1);
    }
    if (n == 0) {
        chunks_.shrink_to_fit();
        for (auto& summary : levels_)
            summary.shrink_to_fit();
    }
}

void ChartPointStore::RebuildBlock(int level, std::int64_t block)
{
    ValueRange r{kNaN, kNaN};
    if (level == 0) {
        const std::int64_t begin = block * BlockSize(0);
        const std::int64_t end = std::min(begin + BlockSize(0), size_);
        for (std::int64_t i = begin; i < end; ++i)
            Widen(r, Value(i), Value(i));
    } else {
        const auto& lower = levels_[static_cast<std::size_t>(level - 1)];
        const std::size_t begin = static_cast<std::size_t>(block) << kLevelShift;
        const std::size_t end = std::min(begin + (std::size_t{1} << kLevelShift), lower.size());
        for (std::size_t i = begin; i < end; ++i)
            Widen(r, lower[i].minimum, lower[i].maximum);
    }
    levels_[static_cast<std::size_t>(level)][static_cast<std::size_t>(block)] = r;
}

ValueRange ChartPointStore::MinMax(std::int64_t begin, std::int64_t end) const
{
    ValueRange r{kNaN, kNaN};
    if (begin < 0)
        begin = 0;
    if (end > size_)
        end = size_;
    std::int64_t i = begin;
    while (i < end) {
        // The largest summary block that starts at i and fits in the range.
        int level = kLevels - 1;
        for (; level >= 0; --level) {
            const std::int64_t size = BlockSize(level);
            if (i % size == 0 && i + size <= end)
                break;
        }
        if (level < 0) {
            const float v = Value(i);
            Widen(r, v, v);
            ++i;
        } else {
            const ValueRange& b = levels_[static_cast<std::size_t>(level)][static_cast<std::size_t>(i / BlockSize(level))];
            Widen(r, b.minimum, b.maximum);
            i += BlockSize(level);
        }
    }
    return r;
}

std::size_t ChartPointStore::MemoryBytes() const
{
    std::size_t bytes = chunks_.capacity() * sizeof(chunks_[0]) + chunks_.size() * kChunkSize * sizeof(float);
    for (const auto& summary : levels_)
        bytes += summary.capacity() * sizeof(ValueRange);
    return bytes;
}

} // namespace varnex
