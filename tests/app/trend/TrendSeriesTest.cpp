// The trend series: its summaries against a plain scan, its statistics against a two-pass
// reference over ten million readings, its segments and its memory per reading.
#include "app/trend/TrendSeries.h"
#include "app/trend/TrendStatistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace varnex {
namespace {

struct TwoPass {
    std::int64_t count = 0;
    double mean = 0, sigma = 0, minimum = INFINITY, maximum = -INFINITY;
    std::int64_t overloads = 0;
};

TwoPass Reference(const std::vector<float>& values)
{
    TwoPass r;
    double sum = 0;
    for (float v : values) {
        if (v == kOverloadValue) {
            ++r.overloads;
            continue;
        }
        if (std::isnan(v))
            continue;
        ++r.count;
        sum += double(v);
        r.minimum = std::min(r.minimum, double(v));
        r.maximum = std::max(r.maximum, double(v));
    }
    r.mean = r.count ? sum / double(r.count) : 0;
    double squares = 0;
    for (float v : values)
        if (v != kOverloadValue && !std::isnan(v))
            squares += (double(v) - r.mean) * (double(v) - r.mean);
    r.sigma = r.count ? std::sqrt(squares / double(r.count)) : 0;
    return r;
}

// Ten million readings, a large offset against a small spread (where a naive sum of
// squares cancels), in two lanes that alternate in runs, with overloads and texts that
// are no number.
TEST(TrendStatistics, TenMillionReadingsMatchTheTwoPassReferencePerLane)
{
    constexpr std::int64_t kCount = 10'000'000;
    TrendSeries series;
    const int volts = series.laneFor("DCV", "V");
    const int ohms = series.laneFor("OHM", "\u03A9");
    std::vector<float> perLane[2];
    std::mt19937_64 rng(7);
    std::normal_distribution<double> voltNoise(0.0, 0.00037);
    std::normal_distribution<double> ohmNoise(0.0, 1.5);
    std::uniform_int_distribution<int> oddity(0, 9999);
    for (std::int64_t i = 0; i < kCount; ++i) {
        const bool inOhms = (i / 250'000) % 3 == 2;
        float v = inOhms ? float(100000.0 + ohmNoise(rng)) : float(9.87654 + voltNoise(rng));
        const int o = oddity(rng);
        if (o == 0)
            v = kOverloadValue;
        else if (o == 1)
            v = kNoValue;
        const int lane = inOhms ? ohms : volts;
        series.append(lane, 1'700'000'000'000 + i * 100, v, false);
        perLane[lane].push_back(v);
    }
    ASSERT_EQ(series.size(), kCount);

    const std::vector<LaneStatistics> whole = WholeStatistics(series);
    const std::vector<LaneStatistics> span = SpanStatistics(series, 0, 1e15);
    ASSERT_EQ(whole.size(), 2u);
    ASSERT_EQ(span.size(), 2u);
    for (int lane : {volts, ohms}) {
        const TwoPass ref = Reference(perLane[lane]);
        const double spread = ref.sigma;
        // Running sums over every reading, block summaries merged for the span, and the
        // lane's own Welford total: all three agree with the reference.
        for (const RunningStats& got : {whole[std::size_t(lane)].stats, span[std::size_t(lane)].stats,
                                        series.lanes()[std::size_t(lane)].all}) {
            EXPECT_EQ(got.count, ref.count) << "lane " << lane;
            EXPECT_NEAR(got.mean, ref.mean, spread * 1e-6) << "lane " << lane;
            EXPECT_NEAR(got.sigma(), ref.sigma, ref.sigma * 1e-6) << "lane " << lane;
            EXPECT_EQ(got.minimum, ref.minimum);
            EXPECT_EQ(got.maximum, ref.maximum);
        }
        EXPECT_EQ(whole[std::size_t(lane)].overloads, ref.overloads);
        EXPECT_EQ(series.lanes()[std::size_t(lane)].overloads, ref.overloads);
    }
    // The budget: at most 16 bytes per reading, summaries included.
    EXPECT_LE(double(series.memoryBytes()) / double(kCount), 16.0);
}

TEST(TrendSeries, AnyRangeSummaryEqualsAScanOfItsReadings)
{
    TrendSeries series;
    const int lane = series.laneFor("DCV", "V");
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> value(-5.0f, 5.0f);
    std::vector<float> values;
    for (int i = 0; i < 300'000; ++i) {
        float v = value(rng);
        if (i % 977 == 0)
            v = kOverloadValue;
        if (i % 1231 == 0)
            v = kNoValue;
        values.push_back(v);
        series.append(lane, i, v, false);
    }
    std::uniform_int_distribution<int> index(0, int(values.size()));
    for (int trial = 0; trial < 200; ++trial) {
        int b = index(rng), e = index(rng);
        if (b > e)
            std::swap(b, e);
        if (trial == 0) {
            b = 0;
            e = int(values.size()); // the whole series, through the top levels
        }
        const RangeSummary s = series.summarize(b, e);
        const TwoPass ref = Reference(std::vector<float>(values.begin() + b, values.begin() + e));
        ASSERT_EQ(s.stats.count, ref.count) << b << ".." << e;
        ASSERT_EQ(s.overloads, ref.overloads) << b << ".." << e;
        if (ref.count > 0) {
            EXPECT_EQ(s.stats.minimum, ref.minimum);
            EXPECT_EQ(s.stats.maximum, ref.maximum);
            EXPECT_NEAR(s.stats.mean, ref.mean, 1e-9);
            EXPECT_NEAR(s.stats.sigma(), ref.sigma, 1e-9);
        }
    }
}

TEST(TrendSeries, SegmentsSplitWhereTheLaneChangesOrTimeGoesBack)
{
    TrendSeries series;
    const int v = series.laneFor("DCV", "V");
    const int a = series.laneFor("DCA", "A");
    EXPECT_EQ(series.laneFor("DCV", "V"), v); // the same lane again
    series.append(v, 1000, 1.0f, false);
    series.append(v, 2000, 1.0f, false);
    series.append(a, 3000, 0.5f, false); // function changed
    series.append(a, 2500, 0.5f, false); // clock went back
    series.append(a, 2600, 0.5f, true);  // placed by its time of day
    ASSERT_EQ(series.segments().size(), 4u);
    EXPECT_EQ(series.segments()[0].end, 2);
    EXPECT_EQ(series.segments()[1].lane, a);
    EXPECT_EQ(series.segments()[2].firstMs, 2500);
    EXPECT_TRUE(series.segments()[3].placed);
    EXPECT_TRUE(series.hasPlacedRows());
    EXPECT_EQ(series.firstMs(), 1000);
    EXPECT_EQ(series.lastMs(), 3000);

    const IndexRange r = series.indicesIn(series.segments()[0], 1500, 2001);
    EXPECT_EQ(r.begin, 1);
    EXPECT_EQ(r.end, 2);
    EXPECT_EQ(series.nearest(v, 1600), 1);
    EXPECT_EQ(series.nearest(a, 2590), 4);
    EXPECT_EQ(series.nearest(series.laneFor("FREQ", "Hz"), 1000), -1);

    series.clear();
    EXPECT_EQ(series.size(), 0);
    EXPECT_TRUE(series.segments().empty());
    EXPECT_FALSE(series.hasPlacedRows());
}

} // namespace
} // namespace varnex
