// The real unsaved-rows box: its count follows the rows that keep arriving while it is open.
#include "app/QtUserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace varnex {
namespace {

struct ReasonCase {
    const char* name;
    UnsavedReason reason;
    QMessageBox::StandardButton click;
    UnsavedChoice expected;
};

void PrintTo(const ReasonCase& c, std::ostream* os) { *os << c.name; }

class app_UnsavedBox : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(app_UnsavedBox, CountFollowsRowsArrivingWhileItIsOpen)
{
    const ReasonCase& c = GetParam();
    std::int64_t rows = 4;
    QString atOpening;
    QString atAnswer;
    QElapsedTimer sinceChange;

    // Stands in for the user and for the meter: once the box is up, two more rows are
    // logged; the user reads the box again and answers.
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (atOpening.isEmpty()) {
            atOpening = box->text();
            rows = 6;
            sinceChange.start();
            return;
        }
        // Give the box time to look again (a few refreshes), then answer.
        if (box->text() == atOpening && sinceChange.elapsed() < 10 * QtUserDialogs::kUnsavedCountRefreshMs)
            return;
        atAnswer = box->text();
        box->button(c.click)->click();
    });
    user.start();

    QtUserDialogs dialogs;
    const UnsavedChoice choice = dialogs.askUnsaved([&rows] { return rows; }, c.reason);

    EXPECT_EQ(choice, c.expected);
    EXPECT_EQ(atOpening.toStdString(), QtUserDialogs::unsavedQuestion(4, c.reason).toStdString());
    EXPECT_EQ(atAnswer.toStdString(), QtUserDialogs::unsavedQuestion(6, c.reason).toStdString())
        << "the box shows the rows there are when it is answered";
    EXPECT_TRUE(atAnswer.contains(QLatin1String("6 row(s)")));
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, app_UnsavedBox,
    ::testing::Values(ReasonCase{"ClosingDiscard", UnsavedReason::Closing, QMessageBox::Discard, UnsavedChoice::Discard},
                      ReasonCase{"XmlLogSave", UnsavedReason::OpeningXmlLog, QMessageBox::Save, UnsavedChoice::Save},
                      ReasonCase{"ClosingCancel", UnsavedReason::Closing, QMessageBox::Cancel, UnsavedChoice::Cancel}),
    [](const ::testing::TestParamInfo<ReasonCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnex
