#pragma once
// Reading the chart's page-size field: a 32-bit decimal integer of at least 1.
#include <QString>

#include <cstdint>

namespace varnex {

struct PageSizeEntry {
    bool accepted = false;
    std::int32_t pageSize = 0; // when accepted
    QString message;           // when refused: the text the window shows
};

// "" or "12x" or "99999999999" -> "'<text>' is not a valid integer value";
// "0" (or a negative number) -> "'<text>' is not a valid page size": a page must
// hold at least one point, and the page size stays as it was.
PageSizeEntry ReadPageSizeEntry(const QString& text);

} // namespace varnex
