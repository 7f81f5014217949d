#pragma once
// What the broker tests share: a log that readings go through as in the program, and
// the JSON of what a subscriber received.
#include "log/MeasurementLog.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace varnex::testing {

using namespace std::chrono_literals;

class NullChart : public ChartFeed {
public:
    void AddPoint(double) override { ++points; }
    void ClearPoints() override { points = 0; }
    int CurrentPage() const override { return 1; }
    int points = 0;
};

// Readings through INDataToTable, as the decoder hands them on: DCV, values 0.00001 V
// apart so that the repeat filter never takes one.
class TestLog {
public:
    TestLog()
    {
        log.setUtcClock([this] { return utcMs += 7; });
    }
    LogResult logReading()
    {
        ++count;
        Reading r;
        r.FunctionText = "DCV";
        char text[32];
        std::snprintf(text, sizeof text, "%.5f", count * 0.00001);
        r.ValueText = text;
        r.UnitText = "V";
        r.ChartValue = count * 0.00001;
        return log.INDataToTable(r);
    }

    LogStore table;
    NullChart chart;
    MeasurementLog log{table, chart, [] { return std::string("12:00:00"); }};
    std::int64_t utcMs = 1796844274000; // 2026-12-09T19:24:34Z
    int count = 0;
};

inline QJsonObject JsonOf(const std::string& payload)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(payload)).object();
}

// The "no" of every message, in arrival order.
template <typename Messages>
std::vector<int> NumbersOf(const Messages& messages)
{
    std::vector<int> out;
    for (const auto& m : messages)
        out.push_back(JsonOf(m.payload).value("no").toInt(-1));
    return out;
}

} // namespace varnex::testing
