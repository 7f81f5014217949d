// The save-picture dialog, driven as a user would: a name typed into the real file dialog,
// the overwrite question answered. The question is about the file that will be written
// (".bmp" added to "chart1.png"), never about the name as typed.
#include "chart/ChartBitmapDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <ostream>
#include <string>

namespace varnex {
namespace {

// Answers the modal dialogs as they open: the file dialog takes the next typed name (or is
// cancelled when none is left), a question box takes the next answer (No when none is left).
class ModalDriver {
public:
    std::deque<QString> typedNames;
    std::deque<bool> replaceAnswers;
    QStringList questions;
    int fileDialogsShown = 0;

    ModalDriver()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
        timer_.start();
    }

private:
    void step()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == handled_)
            return;
        handled_ = modal;
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            ++fileDialogsShown;
            if (typedNames.empty()) {
                dialog->reject();
                return;
            }
            // Typed into the name field, as the user does (selectFile leaves a field that
            // has the focus alone).
            auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!nameField) {
                ADD_FAILURE() << "the file dialog has no name field";
                dialog->reject();
                return;
            }
            nameField->setText(typedNames.front());
            typedNames.pop_front();
            // As the Save button does (accept() is protected).
            QMetaObject::invokeMethod(dialog, "accept");
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            questions << box->text();
            const bool yes = !replaceAnswers.empty() && replaceAnswers.front();
            if (!replaceAnswers.empty())
                replaceAnswers.pop_front();
            box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        }
    }

    QTimer timer_;
    QPointer<QWidget> handled_;
};

struct DialogCase {
    const char* name;
    std::vector<const char*> existing; // files present before the dialog opens
    std::vector<const char*> typed;    // names typed, one per showing of the dialog
    std::deque<bool> answers;          // answers to the replace questions
    std::vector<const char*> askedAbout; // the files the questions name
    const char* result;                // the name returned, "" for cancelled
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.name; }

class ChartBitmapDialogTest : public ::testing::TestWithParam<DialogCase> {};

TEST_P(ChartBitmapDialogTest, AsksAboutTheFileThatWillBeWritten)
{
    const DialogCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : c.existing) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old picture");
    }
    ModalDriver driver;
    for (const char* name : c.typed)
        driver.typedNames.push_back(dir.filePath(QString::fromLatin1(name)));
    driver.replaceAnswers = c.answers;

    const QString result = AskChartBitmapName(nullptr);

    QStringList expectedQuestions;
    for (const char* name : c.askedAbout)
        expectedQuestions << ReplacePictureQuestion(QString::fromLatin1(name));
    EXPECT_EQ(driver.questions.join(QLatin1Char('|')).toStdString(), expectedQuestions.join(QLatin1Char('|')).toStdString());
    EXPECT_EQ(result.toStdString(), (*c.result ? dir.filePath(QString::fromLatin1(c.result)) : QString()).toStdString());
    EXPECT_TRUE(driver.typedNames.empty()) << "the dialog came back after each No";
    EXPECT_EQ(driver.fileDialogsShown, int(c.typed.size()) + (*c.result ? 0 : 1)) << "a cancel ends the last showing";
    // Asking writes nothing: the old files are as they were.
    for (const char* name : c.existing) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("old picture")) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ChartBitmapDialogTest,
    ::testing::Values(
        DialogCase{"NewNameIsNotAskedAbout", {}, {"chart"}, {}, {}, "chart.bmp"},
        DialogCase{"PngNameAsksAboutItsBmpFile", {"chart1.png.bmp"}, {"chart1.png"}, {true}, {"chart1.png.bmp"},
                   "chart1.png.bmp"},
        DialogCase{"TypedFileExistsButTheWrittenOneDoesNot", {"chart1.png"}, {"chart1.png"}, {}, {},
                   "chart1.png.bmp"},
        DialogCase{"NoBringsTheDialogBackAndCancelWritesNothing", {"chart1.png.bmp"}, {"chart1.png"}, {false},
                   {"chart1.png.bmp"}, ""},
        DialogCase{"NoThenAnotherName", {"chart1.png.bmp"}, {"chart1.png", "chart2"}, {false}, {"chart1.png.bmp"},
                   "chart2.bmp"},
        DialogCase{"BmpNameInAnyCaseIsAskedAboutAsTyped", {"Upper.BMP"}, {"Upper.BMP"}, {true}, {"Upper.BMP"},
                   "Upper.BMP"},
        DialogCase{"CancelledAtOnce", {"chart.bmp"}, {}, {}, {}, ""}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnex
