// --help and --version are answered before any window exists: the program prints them and
// ends with 0 even where no display can be reached.
#include "app/AppOptions.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>


namespace varnex {
namespace {

struct EarlyCase {
    const char* name;
    QStringList arguments;
    bool answered;
    const char* textStart; // how the printed text begins; empty when not answered
};

void PrintTo(const EarlyCase& c, std::ostream* os) { *os << c.name; }

class app_AnswerBeforeGui : public ::testing::TestWithParam<EarlyCase> {};

TEST_P(app_AnswerBeforeGui, AnswersOnlyHelpAndVersion)
{
    const EarlyCase& c = GetParam();
    const EarlyAnswer answer = AnswerBeforeGui(c.arguments);
    EXPECT_EQ(answer.answered, c.answered);
    if (c.answered) {
        EXPECT_TRUE(answer.text.startsWith(QLatin1String(c.textStart))) << answer.text.toStdString();
    } else {
        EXPECT_TRUE(answer.text.isEmpty()) << answer.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, app_AnswerBeforeGui,
    ::testing::Values(
        EarlyCase{"Help", {"varnex", "--help"}, true, "usage: varnex"},
        EarlyCase{"ShortHelp", {"varnex", "-h"}, true, "usage: varnex"},
        EarlyCase{"Version", {"varnex", "--version"}, true, "varnex 3.03\n"},
        EarlyCase{"HelpAfterOtherOptions", {"varnex", "--simulate", "--com2", "/dev/ttyUSB0", "--help"}, true,
                  "usage: varnex"},
        EarlyCase{"NoArguments", {"varnex"}, false, ""},
        EarlyCase{"SimulateOnly", {"varnex", "--simulate"}, false, ""},
        // The program's own name is not an option, whatever it is.
        EarlyCase{"ProgramNamedLikeAnOption", {"--help"}, false, ""}),
    [](const ::testing::TestParamInfo<EarlyCase>& info) { return std::string(info.param.name); });

// The real binary, run with no display: neither an X or Wayland display nor a Qt platform.
struct RunCase {
    const char* name;
    const char* option;
    QString printed;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class app_CommandLineWithoutDisplay : public ::testing::TestWithParam<RunCase> {};

TEST_P(app_CommandLineWithoutDisplay, PrintsAndEndsWithZero)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"})
        env.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VARNEX_BINARY), {QString::fromLatin1(GetParam().option)});
    ASSERT_TRUE(process.waitForStarted(10000)) << process.errorString().toStdString();
    ASSERT_TRUE(process.waitForFinished(30000)) << "still running";
    const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << err.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << err.toStdString();
    EXPECT_EQ(out.toStdString(), GetParam().printed.toStdString());
    EXPECT_TRUE(err.isEmpty()) << err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Options, app_CommandLineWithoutDisplay,
    ::testing::Values(
        RunCase{"Help", "--help", AppOptions::usage()},
        RunCase{"Version", "--version", QStringLiteral("varnex 3.03\n")}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnex
