#pragma once
// A small tmpfs of its own for tests that need a real full disk. Mounting needs root (or
// CAP_SYS_ADMIN); where it is not possible, reason() says why and the test skips.
#include <QString>

#include <cstddef>

namespace varnex::testing {

class SmallTmpfs {
public:
    explicit SmallTmpfs(std::size_t bytes);
    ~SmallTmpfs();
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    QString reason() const { return reason_; } // why it is not mounted
    QString path(const QString& name) const { return root_ + QLatin1Char('/') + name; }
    QString root() const { return root_; }

    // Writes a filler file until the file system refuses more; returns the bytes written.
    std::size_t fill(const QString& name) const;

private:
    QString root_;
    bool mounted_ = false;
    QString reason_;
};

} // namespace varnex::testing
