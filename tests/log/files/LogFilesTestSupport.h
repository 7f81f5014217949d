#pragma once
// Small helpers shared by the log file tests: a scratch folder, whole-file reads and writes,
// and tables filled from row lists.
#include "log/LogStore.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace varnex::testing {

struct Row {
    std::int32_t No;
    std::string Time, Function, Value, Unit, Value2, Unit2;
    bool operator==(const Row& o) const
    {
        return No == o.No && Time == o.Time && Function == o.Function && Value == o.Value &&
               Unit == o.Unit && Value2 == o.Value2 && Unit2 == o.Unit2;
    }
};

inline void PrintTo(const Row& r, std::ostream* os)
{
    *os << r.No << "|" << r.Time << "|" << r.Function << "|" << r.Value << "|" << r.Unit << "|"
        << r.Value2 << "|" << r.Unit2;
}

inline void Fill(LogStore& store, const std::vector<Row>& rows)
{
    for (const Row& r : rows)
        store.append(LogRowInput{r.No, r.Time, r.Function, r.Value, r.Unit, r.Value2, r.Unit2});
}

inline std::vector<Row> RowsOf(const LogStore& store)
{
    std::vector<Row> rows;
    for (std::size_t i = 0; i < store.size(); ++i) {
        const LogRowView v = store.row(i);
        rows.push_back(Row{v.No, std::string(v.Time), std::string(v.Function), std::string(v.Value),
                           std::string(v.Unit), std::string(v.Value2), std::string(v.Unit2)});
    }
    return rows;
}

class ScratchDir {
public:
    QString path(const QString& name) const { return dir_.filePath(name); }
    bool valid() const { return dir_.isValid(); }

private:
    QTemporaryDir dir_;
};

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

// Three readings as the meter gives them.
std::vector<Row> ThreeReadings();

} // namespace varnex::testing
