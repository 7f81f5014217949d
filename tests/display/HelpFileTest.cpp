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
                             "/files.html", "/chart.html", "/keypad.html", "/contents.hhc", "/index.hhk"})
        EXPECT_TRUE(content.contains(page)) << page;
}

} // namespace
