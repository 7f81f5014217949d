#include "app/trend/TrendSeries.h"

#include <algorithm>
#include <cmath>

namespace varnex {

namespace {

constexpr std::int64_t BlockSize(int level)
{
    return std::int64_t{1} << (TrendSeries::kLevelShift * (level + 1));
}

} // namespace

void TrendSeries::Block::add(float v)
{
    if (v == kOverloadValue) {
        ++overloads;
        return;
    }
    if (std::isnan(v))
        return;
    minimum = std::min(minimum, v);
    maximum = std::max(maximum, v);
    ++count;
    const double x = double(v);
    const double delta = x - mean;
    mean += delta / double(count);
    m2 += delta * (x - mean);
}

void TrendSeries::addValue(RangeSummary& s, float v)
{
    if (v == kOverloadValue)
        ++s.overloads;
    else if (!std::isnan(v))
        s.stats.add(double(v));
}

void TrendSeries::addBlock(RangeSummary& s, const Block& b)
{
    s.overloads += b.overloads;
    if (b.count == 0)
        return;
    RunningStats other;
    other.count = b.count;
    other.mean = b.mean;
    other.m2 = b.m2;
    other.minimum = double(b.minimum);
    other.maximum = double(b.maximum);
    s.stats.merge(other);
}

int TrendSeries::laneFor(const std::string& function, const std::string& unit)
{
    for (std::size_t i = 0; i < lanes_.size(); ++i)
        if (lanes_[i].function == function && lanes_[i].unit == unit)
            return int(i);
    TrendLane lane;
    lane.function = function;
    lane.unit = unit;
    lanes_.push_back(std::move(lane));
    return int(lanes_.size() - 1);
}

void TrendSeries::append(int lane, std::int64_t utcMs, float value, bool placed)
{
    if (offset(size_) == 0) {
        times_.emplace_back(new std::int64_t[kChunkSize]);
        values_.emplace_back(new float[kChunkSize]);
    }
    times_.back()[offset(size_)] = utcMs;
    values_.back()[offset(size_)] = value;
    for (int level = 0; level < kLevels; ++level) {
        const std::size_t block = std::size_t(size_ / BlockSize(level));
        if (block == levels_[std::size_t(level)].size())
            levels_[std::size_t(level)].emplace_back();
        levels_[std::size_t(level)][block].add(value);
    }

    // A new segment when the lane or the kind of time changes or the time goes back.
    TrendSegment* last = segments_.empty() ? nullptr : &segments_.back();
    if (!last || last->lane != lane || last->placed != placed || utcMs < last->lastMs) {
        TrendSegment segment;
        segment.begin = size_;
        segment.end = size_;
        segment.lane = lane;
        segment.placed = placed;
        segment.firstMs = utcMs;
        segments_.push_back(segment);
        last = &segments_.back();
    }
    last->end = size_ + 1;
    last->lastMs = utcMs;
    ++size_;

    TrendLane& l = lanes_[std::size_t(lane)];
    if (value == kOverloadValue)
        ++l.overloads;
    else if (!std::isnan(value))
        l.all.add(double(value));
    if (placed)
        ++placedRows_;
}

void TrendSeries::clear()
{
    times_.clear();
    values_.clear();
    for (auto& level : levels_)
        level.clear();
    lanes_.clear();
    segments_.clear();
    size_ = 0;
    placedRows_ = 0;
}

std::int64_t TrendSeries::firstMs() const
{
    if (segments_.empty())
        return 0;
    std::int64_t t = segments_.front().firstMs;
    for (const TrendSegment& s : segments_)
        t = std::min(t, s.firstMs);
    return t;
}

std::int64_t TrendSeries::lastMs() const
{
    if (segments_.empty())
        return 0;
    std::int64_t t = segments_.front().lastMs;
    for (const TrendSegment& s : segments_)
        t = std::max(t, s.lastMs);
    return t;
}

RangeSummary TrendSeries::summarize(std::int64_t begin, std::int64_t end) const
{
    RangeSummary s;
    end = std::min(end, size_);
    std::int64_t i = std::max<std::int64_t>(begin, 0);
    while (i < end) {
        // The biggest whole block that starts here and ends inside the range.
        int level = kLevels - 1;
        for (; level >= 0; --level) {
            const std::int64_t n = BlockSize(level);
            if (i % n == 0 && i + n <= end)
                break;
        }
        if (level >= 0) {
            addBlock(s, levels_[std::size_t(level)][std::size_t(i / BlockSize(level))]);
            i += BlockSize(level);
        } else {
            addValue(s, valueAt(i));
            ++i;
        }
    }
    return s;
}

IndexRange TrendSeries::indicesIn(const TrendSegment& segment, double fromMs, double toMs) const
{
    // Times inside a segment never go back: two binary searches.
    auto firstAtOrAfter = [this, &segment](double t) {
        std::int64_t lo = segment.begin, hi = segment.end;
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (double(timeAt(mid)) < t)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    IndexRange r;
    if (toMs <= fromMs || double(segment.lastMs) < fromMs || double(segment.firstMs) >= toMs)
        return r;
    r.begin = firstAtOrAfter(fromMs);
    r.end = firstAtOrAfter(toMs);
    return r;
}

std::int64_t TrendSeries::nearest(int lane, double timeMs) const
{
    std::int64_t best = -1;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (const TrendSegment& segment : segments_) {
        if (segment.lane != lane || segment.begin >= segment.end)
            continue;
        std::int64_t lo = segment.begin, hi = segment.end;
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (double(timeAt(mid)) < timeMs)
                lo = mid + 1;
            else
                hi = mid;
        }
        for (std::int64_t i : {lo - 1, lo}) {
            if (i < segment.begin || i >= segment.end)
                continue;
            const double d = std::abs(double(timeAt(i)) - timeMs);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
    }
    return best;
}

std::size_t TrendSeries::memoryBytes() const
{
    std::size_t bytes = times_.size() * std::size_t(kChunkSize) * (sizeof(std::int64_t) + sizeof(float));
    bytes += (times_.capacity() + values_.capacity()) * sizeof(void*);
    for (const auto& level : levels_)
        bytes += level.capacity() * sizeof(Block);
    bytes += segments_.capacity() * sizeof(TrendSegment) + lanes_.capacity() * sizeof(TrendLane);
    return bytes;
}

} // namespace varnex
