#include "SmallTmpfs.h"

#include <QDir>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace varnex::testing {

SmallTmpfs::SmallTmpfs(std::size_t bytes)
{
    std::string pattern = QDir::tempPath().toStdString() + "/varnex-tmpfs-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        reason_ = QStringLiteral("cannot make a mount point: ") + QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    root_ = QString::fromStdString(pattern);
    if (::geteuid() != 0) {
        reason_ = QStringLiteral("mounting a small tmpfs needs root");
        return;
    }
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    if (::mount("tmpfs", pattern.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        reason_ = QStringLiteral("mount tmpfs failed: ") + QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    mounted_ = true;
}

SmallTmpfs::~SmallTmpfs()
{
    if (root_.isEmpty())
        return;
    const std::string root = root_.toStdString();
    if (mounted_ && ::umount2(root.c_str(), 0) != 0)
        ::umount2(root.c_str(), MNT_DETACH);
    ::rmdir(root.c_str());
}

std::size_t SmallTmpfs::fill(const QString& name) const
{
    const std::string file = path(name).toStdString();
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return 0;
    std::vector<char> block(4096, 'f');
    std::size_t total = 0;
    for (std::size_t size = block.size(); size > 0;) {
        const ssize_t put = ::write(fd, block.data(), size);
        if (put > 0)
            total += static_cast<std::size_t>(put);
        else
            size /= 2; // the last free bytes may take less than a block
    }
    ::close(fd);
    return total;
}

} // namespace varnex::testing
