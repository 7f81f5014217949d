// A save that cannot be completed on a real full file system never destroys the file it
// would replace: the old file stays byte for byte and no half-written file is left.
#include "LogFilesTestSupport.h"
#include "SmallTmpfs.h"

#include "log/files/LogFileService.h"

#include <QDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace varnex {
namespace {

using testing::ReadAll;
using testing::RowsOf;

constexpr std::size_t kDiskBytes = 1u << 20;

// About 70 bytes a row: 20,000 rows are more than the whole disk.
void FillRows(LogStore& table, int rows, const char* function)
{
    for (int i = 1; i <= rows; ++i)
        table.append(LogRowInput{i, "14:05:09", function, std::to_string(i * 7), "mV", "50.00", "KHz"});
}

struct SaveCase {
    const char* name;
    const char* file;
};

void PrintTo(const SaveCase& c, std::ostream* os) { *os << c.file; }

class FullDiskSave : public ::testing::TestWithParam<SaveCase> {
protected:
    void SetUp() override
    {
        if (!disk.mounted())
            GTEST_SKIP() << "no small file system to fill: " << disk.reason().toStdString();
        target = disk.path(QString::fromLatin1(GetParam().file));
        // The old file, saved by the program itself: 1,000 rows.
        LogStore old;
        FillRows(old, 1000, "OLD");
        ASSERT_TRUE(SaveTableToFile(old, target).ok);
        oldBytes = ReadAll(target);
        ASSERT_GT(oldBytes.size(), 10000);
        FillRows(table, 20000, "NEW");
    }

    QStringList Files() const { return QDir(disk.root()).entryList(QDir::Files | QDir::Hidden); }

    testing::SmallTmpfs disk{kDiskBytes};
    QString target;
    QByteArray oldBytes;
    LogStore table;
};

TEST_P(FullDiskSave, FailsAndKeepsTheOldFileByteForByte)
{
    ASSERT_GT(disk.fill(QStringLiteral("filler")), 0u);
    const SaveResult result = SaveTableToFile(table, target);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Could not save table to specified file: " + target);
    EXPECT_EQ(ReadAll(target), oldBytes);
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("filler"), QString::fromLatin1(GetParam().file)}))
        << "no temporary file is left behind";
    LogStore back;
    EXPECT_TRUE(LoadTableFromFile(target, back).ok);
    EXPECT_EQ(back.size(), 1000u);
    EXPECT_EQ(table.size(), 20000u);
}

// The user may write the old file but not its folder (the folder is root's, the old file
// writable by all, the save runs as "nobody"): nothing may be written in place.
TEST_P(FullDiskSave, FolderThatTakesNoNewFileKeepsTheOldFileAndSaysSo)
{
    ASSERT_EQ(::chmod(disk.root().toLocal8Bit().constData(), 0755), 0);
    ASSERT_EQ(::chmod(target.toLocal8Bit().constData(), 0666), 0);
    ASSERT_GT(disk.fill(QStringLiteral("filler")), 0u);

    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeFds[0]);
        const gid_t nobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setresgid(nobody, nobody, nobody) != 0 ||
            ::setresuid(nobody, nobody, nobody) != 0)
            ::_exit(3);
        const SaveResult result = SaveTableToFile(table, target);
        const QByteArray message = result.message.toUtf8();
        [[maybe_unused]] const ssize_t put = ::write(pipeFds[1], message.constData(), message.size());
        ::_exit(result.ok ? 0 : 1);
    }
    ::close(pipeFds[1]);
    QByteArray message;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, got);
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 3) << "could not become nobody";
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the save must fail";
    EXPECT_EQ(QString::fromUtf8(message),
              "Could not save table to specified file: " + target + "\n" + kFolderRefusesNewFileNote);
    EXPECT_EQ(ReadAll(target), oldBytes);
}

INSTANTIATE_TEST_SUITE_P(logfiles_FullDisk, FullDiskSave,
                         ::testing::Values(SaveCase{"Text", "old.txt"}, SaveCase{"Xml", "old2.xml"}),
                         [](const ::testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnex
