#include "chart/PageSizeEntry.h"

namespace varnex {

PageSizeEntry ReadPageSizeEntry(const QString& text)
{
    PageSizeEntry entry;
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok) {
        entry.message = QStringLiteral("'%1' is not a valid integer value").arg(text);
        return entry;
    }
    if (value < 1) {
        entry.message = QStringLiteral("'%1' is not a valid page size").arg(text);
        return entry;
    }
    entry.accepted = true;
    entry.pageSize = value;
    return entry;
}

} // namespace varnex
