// The shared float store, its min/max summary and the per-column envelopes,
// checked against brute force on random data.
#include "chart/ChartPointStore.h"
#include "chart/ColumnEnvelope.h"
#include "chart/SharedSeriesStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace varnex {
namespace {

ValueRange BruteMinMax(const ChartPointStore& store, std::int64_t begin, std::int64_t end)
{
    ValueRange r{std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
    for (std::int64_t i = begin; i < end; ++i) {
        r.minimum = std::min(r.minimum, store.Value(i));
        r.maximum = std::max(r.maximum, store.Value(i));
    }
    return r;
}

void Fill(ChartPointStore& store, std::int64_t n, std::mt19937& random)
{
    std::normal_distribution<float> noise(0.0f, 1000.0f);
    for (std::int64_t i = 0; i < n; ++i)
        store.Append(noise(random));
}

TEST(ChartPointStoreTest, SummaryMatchesBruteForceOverRandomRanges)
{
    std::mt19937 random(7);
    ChartPointStore store;
    Fill(store, 300000, random); // uses the 64, 4096 and 262144 blocks
    ASSERT_EQ(store.Size(), 300000);
    std::uniform_int_distribution<std::int64_t> index(0, store.Size() - 1);
    for (int trial = 0; trial < 300; ++trial) {
        std::int64_t a = index(random), b = index(random);
        if (a > b)
            std::swap(a, b);
        ++b;
        const ValueRange fast = store.MinMax(a, b);
        const ValueRange slow = BruteMinMax(store, a, b);
        ASSERT_EQ(fast.minimum, slow.minimum) << a << ".." << b;
        ASSERT_EQ(fast.maximum, slow.maximum) << a << ".." << b;
    }
    EXPECT_EQ(store.MinMax(0, store.Size()).maximum, BruteMinMax(store, 0, store.Size()).maximum);
}

TEST(ChartPointStoreTest, SetAndTruncateKeepTheSummaryTrue)
{
    std::mt19937 random(11);
    ChartPointStore store;
    Fill(store, 10000, random);
    store.Set(5000, 1e9f);
    store.Set(123, -1e9f);
    EXPECT_EQ(store.MinMax(0, 10000).maximum, 1e9f);
    EXPECT_EQ(store.MinMax(0, 10000).minimum, -1e9f);
    store.Set(5000, 0.0f);
    EXPECT_EQ(store.MinMax(4096, 8192).maximum, BruteMinMax(store, 4096, 8192).maximum);

    store.Truncate(4100); // cuts blocks of every level in the middle
    ASSERT_EQ(store.Size(), 4100);
    Fill(store, 5000, random);
    for (auto [a, b] : {std::pair<std::int64_t, std::int64_t>{0, 9100}, {4000, 4200}, {4096, 8192}, {64, 9000}}) {
        EXPECT_EQ(store.MinMax(a, b).minimum, BruteMinMax(store, a, b).minimum) << a << ".." << b;
        EXPECT_EQ(store.MinMax(a, b).maximum, BruteMinMax(store, a, b).maximum) << a << ".." << b;
    }
    store.Clear();
    EXPECT_EQ(store.Size(), 0);
    store.Append(3.0f);
    EXPECT_EQ(store.MinMax(0, 1).maximum, 3.0f);
}

TEST(ChartPointStoreTest, NaNPointsDoNotWidenTheRange)
{
    ChartPointStore store;
    for (int i = 0; i < 200; ++i)
        store.Append(i == 70 ? std::numeric_limits<float>::quiet_NaN() : float(i % 10));
    EXPECT_EQ(store.MinMax(0, 200).minimum, 0.0f);
    EXPECT_EQ(store.MinMax(0, 200).maximum, 9.0f);
    EXPECT_TRUE(std::isnan(store.MinMax(70, 71).minimum));
}

TEST(ChartPointStoreTest, HoldsAMillionPointsInAboutFourBytesEach)
{
    ChartPointStore store;
    for (int i = 0; i < 1000000; ++i)
        store.Append(float(i));
    const double perPoint = double(store.MemoryBytes()) / 1e6;
    EXPECT_LE(perPoint, 4.5);
    EXPECT_GE(perPoint, 4.0);
}

TEST(SharedSeriesStoreTest, TwoSeriesOfTheSamePointsStoreThemOnce)
{
    SharedSeriesStore shared(2);
    for (int i = 0; i < 500; ++i) {
        EXPECT_EQ(shared.AddPoint(0, i * 0.5), i);
        EXPECT_EQ(shared.AddPoint(1, i * 0.5), i);
    }
    EXPECT_EQ(shared.Count(0), 500);
    EXPECT_EQ(shared.Count(1), 500);
    EXPECT_EQ(shared.Points().Size(), 500);
    EXPECT_EQ(shared.Points().Value(499), 249.5f);
}

TEST(SharedSeriesStoreTest, CountsStayPerSeriesThroughClears)
{
    SharedSeriesStore shared(2);
    for (int i = 0; i < 10; ++i)
        shared.AddPoint(0, i);
    for (int i = 0; i < 4; ++i)
        shared.AddPoint(1, i);
    EXPECT_EQ(shared.Count(0), 10);
    EXPECT_EQ(shared.Count(1), 4);
    shared.Clear(0);
    EXPECT_EQ(shared.Count(0), 0);
    EXPECT_EQ(shared.Points().Size(), 4); // series 1 still shows its points
    shared.Clear(1);
    EXPECT_EQ(shared.Points().Size(), 0);
    shared.AddPoint(0, 0.0);
    shared.AddPoint(1, 0.0);
    EXPECT_EQ(shared.Points().Size(), 1);
}

TEST(SharedSeriesStoreTest, ADifferentValueAtTheSameXReplacesTheSharedPoint)
{
    SharedSeriesStore shared(2);
    shared.AddPoint(0, 1.0);
    shared.AddPoint(0, 2.0);
    shared.AddPoint(1, 1.0);
    shared.AddPoint(1, 5.0);
    EXPECT_EQ(shared.Points().Size(), 2);
    EXPECT_EQ(shared.Points().Value(1), 5.0f);
    EXPECT_EQ(shared.Points().MinMax(0, 2).maximum, 5.0f);
}

TEST(ColumnMapperTest, ColumnsSplitTheWindowIntoConsecutiveRuns)
{
    const struct {
        double minimum, maximum;
        int width;
        std::int64_t count;
    } cases[] = {
        {1, 100, 380, 101},        {1, 100, 380, 60},      {101, 200, 380, 150},
        {1, 1000000, 380, 1000001}, {1, 1000000, 380, 5000}, {1, 1, 380, 2},
        {1, 7, 3, 8},              {1000, 2000, 1, 5000},  {1, 50, 380, 0},
    };
    for (const auto& c : cases) {
        const ColumnMapper mapper(c.minimum, c.maximum, c.width);
        const IndexSpan window = mapper.Window(c.count);
        std::int64_t next = window.begin;
        for (int col = 0; col < c.width; ++col) {
            const IndexSpan span = mapper.Indices(col, c.count);
            if (span.Empty())
                continue;
            ASSERT_EQ(span.begin, next) << c.minimum << ".." << c.maximum << " column " << col;
            for (std::int64_t i : {span.begin, span.end - 1})
                ASSERT_EQ(std::lround(mapper.PixelOf(double(i))), col) << "index " << i;
            next = span.end;
        }
        EXPECT_EQ(next, window.end) << c.minimum << ".." << c.maximum;
    }
}

TEST(ColumnMapperTest, PlacesTheWindowEndsOnTheFirstAndLastColumn)
{
    const ColumnMapper page(101, 200, 380);
    EXPECT_DOUBLE_EQ(page.PixelOf(101), 0.0);
    EXPECT_DOUBLE_EQ(page.PixelOf(200), 379.0);
    const ColumnMapper single(7, 7, 381); // a page of one point sits in the middle
    EXPECT_DOUBLE_EQ(single.PixelOf(7), 190.0);
    EXPECT_LT(single.PixelOf(6), 0.0);
    EXPECT_GT(single.PixelOf(8), 380.0);
    EXPECT_EQ(single.Indices(190, 100).begin, 7);
    EXPECT_EQ(single.Indices(190, 100).end, 8);
}

TEST(ColumnEnvelopeTest, PerColumnMinMaxEqualsBruteForce)
{
    std::mt19937 random(3);
    ChartPointStore store;
    Fill(store, 1000001, random);
    for (auto [minimum, maximum, width] : {std::tuple<double, double, int>{1, 1000000, 380}, {1, 100, 380},
                                          {250001, 500000, 853}, {999001, 1000000, 17}}) {
        const ColumnMapper mapper(minimum, maximum, width);
        const auto columns = SummariseColumns(store, store.Size(), mapper);
        ASSERT_EQ(int(columns.size()), width);
        for (int col = 0; col < width; ++col) {
            const IndexSpan span = mapper.Indices(col, store.Size());
            ASSERT_EQ(columns[std::size_t(col)].empty, span.Empty());
            if (span.Empty())
                continue;
            const ValueRange slow = BruteMinMax(store, span.begin, span.end);
            ASSERT_EQ(columns[std::size_t(col)].minimum, slow.minimum) << "column " << col;
            ASSERT_EQ(columns[std::size_t(col)].maximum, slow.maximum) << "column " << col;
            ASSERT_EQ(columns[std::size_t(col)].first, store.Value(span.begin));
            ASSERT_EQ(columns[std::size_t(col)].last, store.Value(span.end - 1));
        }
    }
}

} // namespace
} // namespace varnex
