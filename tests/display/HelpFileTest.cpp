#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace {

// The program's folder from the test environment, else the build's bin folder.
QString HelpFilePath()
{
    const QByteArray binDir = qgetenv("VARNEX_BIN_DIR");
    if (!binDir.isEmpty())
        return QString::fromLocal8Bit(binDir) + QStringLiteral("/Varnexhelp.chm");
    return QStringLiteral(VARNEX_HELP_FILE);
}

TEST(HelpFile, IsCompiledBesideTheProgram)
{
    QFile file(HelpFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << HelpFilePath().toStdString();
    const QByteArray head = file.read(4);
    EXPECT_EQ(head, QByteArray("ITSF"));
    EXPECT_GT(file.size(), 4096) << "holds the pages";
}

TEST(HelpFile, HoldsEveryPage)
{
    QFile file(HelpFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    // the directory of a compiled help file lists each page by its path
    for (const char* page : {"/index.html", "/connecting.html", "/display.html", "/logging.html",
                             "/files.html", "/chart.html", "/keypad.html", "/record.html", "/journal.html",
                             "/mqtt.html", "/trend.html", "/contents.hhc", "/index.hhk"})
        EXPECT_TRUE(content.contains(page)) << page;
}

// The pages (compressed in the compiled file, so read from the tree) name the questions and
// messages the program really shows, and how often frames come.
TEST(HelpFile, SaysWhatTheProgramDoes)
{
    const QDir pages(QStringLiteral(VARNEX_HELP_PAGES));
    QByteArray content;
    for (const QString& name : pages.entryList({QStringLiteral("*.html")})) {
        QFile page(pages.filePath(name));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << name.toStdString();
        content += page.readAll();
    }
    ASSERT_FALSE(content.isEmpty()) << pages.path().toStdString();
    for (const char* text : {"Are you ensure to exit the program?", "row(s) that have not been saved",
                             "<b>Save</b>", "<b>Discard</b>", "<b>Cancel</b>",
                             "Varnex USB device not found, please check if connected properly",
                             "Please check the USB device driver installation is normal.",
                             "one frame every 300 to 500 ms", "varnex-cli record"})
        EXPECT_TRUE(content.contains(text)) << text;
    EXPECT_FALSE(content.contains("about ten frames a second")) << "the simulated meter sends 2 to 3";
}

} // namespace
