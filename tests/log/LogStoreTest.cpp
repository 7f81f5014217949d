#include "log/LogStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace varnex {
namespace {

LogRowInput rowOf(std::int32_t no, std::string_view time, std::string_view function,
                  std::string_view value, std::string_view unit, std::string_view value2 = {},
                  std::string_view unit2 = {})
{
    LogRowInput row;
    row.No = no;
    row.Time = time;
    row.Function = function;
    row.Value = value;
    row.Unit = unit;
    row.Value2 = value2;
    row.Unit2 = unit2;
    return row;
}

TEST(LogStore, StartsEmptyWithoutCurrentRow)
{
    LogStore store;
    EXPECT_TRUE(store.empty());
    EXPECT_EQ(store.size(), 0u);
    EXPECT_EQ(store.currentRow(), -1);
}

TEST(LogStore, AppendedRowReadsBackFieldByFieldAndBecomesCurrent)
{
    LogStore store;
    store.append(rowOf(7, "14:05:09", "ACV DCV", "1.23456", "V", "50.00", "KHz"));
    ASSERT_EQ(store.size(), 1u);
    EXPECT_EQ(store.currentRow(), 0);
    const LogRowView row = store.row(0);
    EXPECT_EQ(row.No, 7);
    EXPECT_EQ(row.Time, "14:05:09");
    EXPECT_EQ(row.Function, "ACV DCV");
    EXPECT_EQ(row.Value, "1.23456");
    EXPECT_EQ(row.Unit, "V");
    EXPECT_EQ(row.Value2, "50.00");
    EXPECT_EQ(row.Unit2, "KHz");

    store.append(rowOf(8, "14:05:10", "ohm", "0.9981", "K*"));
    EXPECT_EQ(store.currentRow(), 1);
    EXPECT_EQ(store.row(1).Unit, "K*");
    EXPECT_EQ(store.row(1).Unit2, "") << "an empty second display is stored empty";
}

TEST(LogStore, TextOfFieldFollowsTheFieldOrder)
{
    LogStore store;
    store.append(rowOf(1, "t", "f", "v", "u", "v2", "u2"));
    const LogRowView row = store.row(0);
    const std::vector<std::pair<LogField, std::string_view>> expected = {
        {LogField::No, ""},   {LogField::Time, "t"},    {LogField::Function, "f"},
        {LogField::Value, "v"}, {LogField::Unit, "u"},  {LogField::Value2, "v2"},
        {LogField::Unit2, "u2"}};
    for (const auto& [field, text] : expected)
        EXPECT_EQ(row.text(field), text) << LogFieldName(field);
}

TEST(LogStore, FieldNamesAreTheColumnTitles)
{
    const char* names[LogFieldCount] = {"No", "Time", "Function", "Value", "Unit", "Value2", "Unit2"};
    for (int i = 0; i < LogFieldCount; ++i)
        EXPECT_STREQ(LogFieldName(static_cast<LogField>(i)), names[i]);
}

TEST(LogStore, TextsAreCutToTwentyCharactersInEveryField)
{
    const std::string twenty = "ABCDEFGHIJKLMNOPQRST";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"ABCDEFGHIJKLMNOPQRS", "ABCDEFGHIJKLMNOPQRS"}, // 19
        {twenty, twenty},                               // 20
        {twenty + "U", twenty},                         // 21
        {twenty + twenty, twenty},                      // 40
        {"   leading and trailing   ", "   leading and trail"}, // nothing trimmed
    };
    LogStore store;
    for (const auto& [input, stored] : cases) {
        store.append(rowOf(-3, input, input, input, input, input, input));
        const LogRowView row = store.row(store.size() - 1);
        EXPECT_EQ(row.No, -3);
        for (LogField f : {LogField::Time, LogField::Function, LogField::Value, LogField::Unit,
                           LogField::Value2, LogField::Unit2})
            EXPECT_EQ(row.text(f), stored) << LogFieldName(f) << " from \"" << input << '"';
    }
}

TEST(LogStore, KeepsLatin1Bytes)
{
    LogStore store;
    store.append(rowOf(1, "12:00:00", "\xB5" "A", "-0.0012", "\xB5" "A"));
    EXPECT_EQ(store.row(0).Function, "\xB5" "A");
}

TEST(LogStore, RandomAccessAcrossManyChunks)
{
    LogStore store;
    constexpr int Rows = 70000; // several row chunks
    for (int i = 0; i < Rows; ++i)
        store.append(rowOf(i + 1, std::to_string(i / 5), "DCV", std::to_string(i * 3), "mV"));
    ASSERT_EQ(store.size(), static_cast<std::size_t>(Rows));
    for (int i : {0, 1, 16383, 16384, 16385, 32767, 32768, 50001, Rows - 1}) {
        const LogRowView row = store.row(i);
        EXPECT_EQ(row.No, i + 1);
        EXPECT_EQ(row.Time, std::to_string(i / 5));
        EXPECT_EQ(row.Value, std::to_string(i * 3));
        EXPECT_EQ(row.Unit, "mV");
    }
    EXPECT_EQ(store.currentRow(), Rows - 1);
}

TEST(LogStore, ViewsStayValidWhileRowsAreAppended)
{
    LogStore store;
    store.append(rowOf(1, "10:00:00", "DCV", "first", "V"));
    const LogRowView first = store.row(0);
    for (int i = 0; i < 50000; ++i)
        store.append(rowOf(i + 2, "10:00:01", "DCV", std::to_string(i), "V"));
    EXPECT_EQ(first.Value, "first");
    EXPECT_EQ(first.Time, "10:00:00");
}

TEST(LogStore, SetCurrentRowStaysInsideTheTable)
{
    LogStore store;
    store.setCurrentRow(3);
    EXPECT_EQ(store.currentRow(), -1) << "an empty table has no current row";
    for (int i = 0; i < 5; ++i)
        store.append(rowOf(i + 1, "", "", "", ""));
    const std::vector<std::pair<std::int64_t, std::int64_t>> moves = {
        {0, 0}, {2, 2}, {4, 4}, {5, 4}, {1000, 4}, {-1, 0}, {-50, 0}};
    for (const auto& [asked, expected] : moves) {
        store.setCurrentRow(asked);
        EXPECT_EQ(store.currentRow(), expected) << "asked " << asked;
    }
}

TEST(LogStore, ClearEmptiesAndReturnsToTheFreshMemoryFootprint)
{
    LogStore store;
    const std::size_t fresh = store.memoryBytes();
    for (int i = 0; i < 100000; ++i)
        store.append(rowOf(i, std::to_string(i / 3), "DCV", std::to_string(i), "V"));
    EXPECT_GT(store.memoryBytes(), fresh + 100000u * 28u);
    store.clear();
    EXPECT_TRUE(store.empty());
    EXPECT_EQ(store.currentRow(), -1);
    EXPECT_EQ(store.distinctTexts(), 0u);
    EXPECT_EQ(store.memoryBytes(), fresh);

    store.append(rowOf(1, "09:00:00", "ACV", "5.000", "V"));
    EXPECT_EQ(store.size(), 1u);
    EXPECT_EQ(store.row(0).Value, "5.000");
    EXPECT_EQ(store.row(0).Function, "ACV");
}

TEST(LogStore, RealisticRowsCostFarLessThanTheBudget)
{
    // A day of readings: five a second, a new time text each second, a value that
    // wanders over the meter's counts. The budget is 96 bytes a row (100 less the
    // chart's float); the store should stay well inside it.
    LogStore store;
    constexpr int Rows = 500000;
    store.reserve(Rows);
    for (int i = 0; i < Rows; ++i) {
        const int second = i / 5;
        char time[16];
        std::snprintf(time, sizeof time, "%02d:%02d:%02d", second / 3600 % 24, second / 60 % 60,
                      second % 60);
        const std::string value = std::to_string((i * 37) % 220000);
        store.append(rowOf(i + 1, time, "DCV", value, "V", i % 2 ? "50.00" : "", i % 2 ? "KHz" : ""));
    }
    const double bytesPerRow = static_cast<double>(store.memoryBytes()) / Rows;
    EXPECT_LT(bytesPerRow, 40.0);
    EXPECT_GE(bytesPerRow, 28.0) << "seven 32-bit words a row at least";
}

TEST(LogStore, ReserveChangesNothingVisible)
{
    LogStore store;
    store.reserve(1000000);
    EXPECT_TRUE(store.empty());
    EXPECT_EQ(store.currentRow(), -1);
}

// Records what the store tells its observer, in order.
class RecordingObserver : public LogStoreObserver {
public:
    std::vector<std::string> events;
    void rowAboutToBeAppended(std::size_t i) override { events.push_back("about " + std::to_string(i)); }
    void rowAppended(std::size_t i) override { events.push_back("appended " + std::to_string(i)); }
    void storeAboutToBeCleared() override { events.push_back("about clear"); }
    void storeCleared() override { events.push_back("cleared"); }
    void currentRowMoved(std::int64_t r) override { events.push_back("current " + std::to_string(r)); }
};

TEST(LogStore, TellsItsObserverAboutEveryChangeInOrder)
{
    LogStore store;
    RecordingObserver observer;
    store.setObserver(&observer);
    EXPECT_EQ(store.observer(), &observer);

    store.append(rowOf(1, "", "", "", ""));
    store.append(rowOf(2, "", "", "", ""));
    store.setCurrentRow(0);
    store.setCurrentRow(0); // no move, no call
    store.clear();
    store.setObserver(nullptr);
    store.append(rowOf(3, "", "", "", ""));

    const std::vector<std::string> expected = {
        "about 0", "appended 0", "current 0", "about 1", "appended 1", "current 1",
        "current 0", "about clear", "cleared", "current -1"};
    EXPECT_EQ(observer.events, expected);
}

// A load reads into a table of its own and hands its rows over in one step.
TEST(LogStore, SwapRowsExchangesRowsButEachKeepsItsObserver)
{
    LogStore shown, loaded;
    RecordingObserver observer;
    shown.setObserver(&observer);
    shown.append(rowOf(1, "a", "", "", ""));
    loaded.append(rowOf(7, "x", "", "", ""));
    loaded.append(rowOf(8, "y", "", "", ""));
    loaded.setCurrentRow(0);
    observer.events.clear();

    shown.swapRows(loaded);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown.row(1).No, 8);
    EXPECT_EQ(shown.row(1).Time, "y");
    EXPECT_EQ(shown.currentRow(), 0);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded.row(0).Time, "a");
    EXPECT_EQ(shown.observer(), &observer);
    EXPECT_EQ(loaded.observer(), nullptr);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"about clear", "cleared", "current 0"}));
    loaded.append(rowOf(9, "", "", "", ""));
    EXPECT_EQ(observer.events.size(), 3u) << "the other store's appends are not told";
}

} // namespace
} // namespace varnex
