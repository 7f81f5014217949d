#include "log/LogTableModel.h"
#include "log/MeasurementLog.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <memory>
#include <string>
#include <vector>

namespace varnex {
namespace {

LogRowInput rowOf(std::int32_t no, std::string_view value, std::string_view unit,
                  std::string_view unit2 = {})
{
    LogRowInput row;
    row.No = no;
    row.Time = "14:05:09";
    row.Function = "DCV";
    row.Value = value;
    row.Unit = unit;
    row.Value2 = unit2.empty() ? "" : "50.00";
    row.Unit2 = unit2;
    return row;
}

class LogTableModelTest : public ::testing::Test {
protected:
    LogStore store;
    LogTableModel model{store};
    // Checks the model's invariants after every signal; a broken one aborts the test.
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};

    QString shown(int row, LogField field, int role = Qt::DisplayRole) const
    {
        return model.data(model.index(row, static_cast<int>(field)), role).toString();
    }
};

TEST_F(LogTableModelTest, SevenColumnsTitledWithTheFieldNames)
{
    EXPECT_EQ(model.columnCount(), 7);
    const QStringList titles = {"No", "Time", "Function", "Value", "Unit", "Value2", "Unit2"};
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), titles[c]) << c;
}

TEST_F(LogTableModelTest, ColumnAlignment)
{
    store.append(rowOf(1, "1.000", "V"));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const std::vector<std::pair<LogField, Qt::Alignment>> expected = {
        {LogField::No, left},     {LogField::Time, centre}, {LogField::Function, centre},
        {LogField::Value, right}, {LogField::Unit, right},  {LogField::Value2, left},
        {LogField::Unit2, left}};
    for (const auto& [field, alignment] : expected) {
        const QVariant v = model.data(model.index(0, static_cast<int>(field)), Qt::TextAlignmentRole);
        EXPECT_EQ(v.value<Qt::Alignment>(), alignment) << LogFieldName(field);
    }
}

TEST_F(LogTableModelTest, CellsAreReadOnly)
{
    store.append(rowOf(1, "1.000", "V"));
    for (int c = 0; c < 7; ++c) {
        const Qt::ItemFlags f = model.flags(model.index(0, c));
        EXPECT_FALSE(f.testFlag(Qt::ItemIsEditable)) << c;
        EXPECT_TRUE(f.testFlag(Qt::ItemIsSelectable)) << c;
        EXPECT_FALSE(model.setData(model.index(0, c), "x")) << c;
    }
}

TEST_F(LogTableModelTest, ShowsEveryFieldAsText)
{
    store.append(rowOf(42, "-0.01234", "mV", "KHz"));
    EXPECT_EQ(shown(0, LogField::No), "42");
    EXPECT_EQ(shown(0, LogField::Time), "14:05:09");
    EXPECT_EQ(shown(0, LogField::Function), "DCV");
    EXPECT_EQ(shown(0, LogField::Value), "-0.01234");
    EXPECT_EQ(shown(0, LogField::Unit), "mV");
    EXPECT_EQ(shown(0, LogField::Value2), "50.00");
    EXPECT_EQ(shown(0, LogField::Unit2), "KHz");
}

TEST_F(LogTableModelTest, UnitPlaceholderShowsAsOhmSignButStaysStored)
{
    const std::vector<std::pair<std::string, QString>> units = {
        {"*", QStringLiteral("\u03A9")}, {"K*", QStringLiteral("K\u03A9")},
        {"M*", QStringLiteral("M\u03A9")}, {"mV", "mV"}, {"KHz", "KHz"}, {"", ""}};
    for (std::size_t i = 0; i < units.size(); ++i)
        store.append(rowOf(static_cast<int>(i), "1", units[i].first, units[i].first));
    for (std::size_t i = 0; i < units.size(); ++i) {
        const int row = static_cast<int>(i);
        EXPECT_EQ(shown(row, LogField::Unit), units[i].second) << units[i].first;
        EXPECT_EQ(shown(row, LogField::Unit2), units[i].second) << units[i].first;
        EXPECT_EQ(shown(row, LogField::Unit, LogTableModel::StoredTextRole),
                  QString::fromStdString(units[i].first));
    }
}

TEST_F(LogTableModelTest, OnlyUnitColumnsTranslateTheOhmPlaceholder)
{
    store.append(rowOf(1, "1*2", "V"));
    EXPECT_EQ(shown(0, LogField::Value), "1*2");
}

TEST_F(LogTableModelTest, Latin1BytesShowAsTheirCharacters)
{
    store.append(rowOf(1, "1.0", "\xB5" "A"));
    EXPECT_EQ(shown(0, LogField::Unit), QStringLiteral("\u00B5A"));
}

TEST_F(LogTableModelTest, EachAppendInsertsOneRowAndMovesTheCurrentRow)
{
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy current(&model, &LogTableModel::currentRowChanged);
    for (int i = 0; i < 3; ++i)
        store.append(rowOf(i + 1, std::to_string(i), "V"));
    EXPECT_EQ(model.rowCount(), 3);
    ASSERT_EQ(inserted.count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(inserted[i][1].toInt(), i);
        EXPECT_EQ(inserted[i][2].toInt(), i);
        EXPECT_EQ(current[i][0].toInt(), i);
    }
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(shown(2, LogField::Value), "2");
}

TEST_F(LogTableModelTest, ClearResetsToNoRows)
{
    store.append(rowOf(1, "1", "V"));
    store.append(rowOf(2, "2", "V"));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy current(&model, &LogTableModel::currentRowChanged);
    store.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(resets.count(), 1);
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current[0][0].toInt(), -1);
    store.append(rowOf(1, "9", "V"));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(shown(0, LogField::Value), "9");
}

TEST_F(LogTableModelTest, BulkChangeIsOneResetAtTheEnd)
{
    store.append(rowOf(1, "1", "V"));
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy current(&model, &LogTableModel::currentRowChanged);

    model.beginBulkChange();
    model.beginBulkChange(); // nested, as a save inside a larger change would be
    for (int i = 0; i < 1000; ++i)
        store.append(rowOf(i + 2, std::to_string(i), "V"));
    EXPECT_TRUE(model.inBulkChange());
    EXPECT_EQ(model.rowCount(), 1) << "the grid hears nothing during the change";
    model.endBulkChange();
    EXPECT_EQ(resets.count(), 0) << "only the outermost end resets";
    model.endBulkChange();

    EXPECT_FALSE(model.inBulkChange());
    EXPECT_EQ(inserted.count(), 0);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.rowCount(), 1001);
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current[0][0].toInt(), 1000);

    store.append(rowOf(2000, "after", "V"));
    EXPECT_EQ(inserted.count(), 1) << "single appends are rows again after the change";
}

TEST_F(LogTableModelTest, ClearInsideABulkChangeNeverReadsPastTheStore)
{
    for (int i = 0; i < 10; ++i)
        store.append(rowOf(i + 1, std::to_string(i), "V"));
    model.beginBulkChange();
    store.clear(); // an XML load replaces the content
    store.append(rowOf(1, "new", "V"));
    EXPECT_EQ(model.rowCount(), 10);
    EXPECT_FALSE(model.data(model.index(5, 3)).isValid());
    EXPECT_EQ(shown(0, LogField::Value), "new");
    model.endBulkChange();
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_F(LogTableModelTest, UnbalancedEndBulkChangeIsHarmless)
{
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.endBulkChange();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_FALSE(model.inBulkChange());
}

TEST(LogTableModel, ShowsRowsAlreadyInTheStoreAndDetachesWhenDestroyed)
{
    LogStore store;
    store.append(rowOf(1, "1", "V"));
    store.append(rowOf(2, "2", "V"));
    {
        LogTableModel model(store);
        EXPECT_EQ(model.rowCount(), 2);
        EXPECT_NE(store.observer(), nullptr);
    }
    EXPECT_EQ(store.observer(), nullptr);
    store.append(rowOf(3, "3", "V")); // no model left to tell
    EXPECT_EQ(store.size(), 3u);
}

class OnePageChart : public ChartFeed {
public:
    int points = 0;
    void AddPoint(double) override { ++points; }
    void ClearPoints() override { points = 0; }
    int CurrentPage() const override { return 1; }
};

TEST(LogTableModel, FollowsTheLiveLogAndCloseData)
{
    LogStore store;
    LogTableModel model(store);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    OnePageChart chart;
    MeasurementLog log(store, chart, [] { return std::string("9:15:00 AM"); });
    QSignalSpy current(&model, &LogTableModel::currentRowChanged);

    Reading r;
    r.FunctionText = "ohm";
    r.ValueText = "10.000";
    r.UnitText = "K*";
    log.INDataToTable(r);
    r.ValueText = "10.001";
    log.INDataToTable(r);

    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.data(model.index(1, 0)).toString(), "2");
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), "9:15:00 AM");
    EXPECT_EQ(model.data(model.index(1, 3)).toString(), "10.001");
    EXPECT_EQ(model.data(model.index(1, 4)).toString(), QStringLiteral("K\u03A9"));
    ASSERT_EQ(current.count(), 2);
    EXPECT_EQ(current.last()[0].toInt(), 1) << "the newest row is selected";

    log.CloseData();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(current.last()[0].toInt(), -1);
}

} // namespace
} // namespace varnex
