#pragma once
// The "Record" menu: six items with check marks, each setting RecordLimit.
#include <array>
#include <cstdint>
#include <string_view>

namespace varnex {

struct RecordLimitItem {
    const char* Name;    // the menu item's object name, e.g. "N10001"
    const char* Caption; // the text shown in the menu
    std::int32_t Limit;
};

// In menu order. "limitless" is ten million rows, not unbounded.
inline constexpr std::array<RecordLimitItem, 6> RecordLimitItems{{
    {"N10001", "1000", 1000},
    {"N50001", "5000", 5000},
    {"N100001", "10000", 10000},
    {"N500001", "50000", 50000},
    {"N1000001", "100000", 100000},
    {"limitess", "limitless", 10000000},
}};
inline constexpr int DefaultRecordLimitItem = 2; // "10000"

class RecordLimitMenu {
public:
    std::int32_t RecordLimit() const { return RecordLimitItems[checked_].Limit; }
    // Index into RecordLimitItems of the item with the check mark.
    int CheckedItem() const { return checked_; }
    bool IsChecked(int item) const { return item == checked_; }

    // A click on item `item` (0..5): it gets the check mark and sets the limit.
    // Out-of-range indexes change nothing and return false.
    bool Select(int item);
    // The same, by the item's name ("N50001", "limitess"); false for unknown names.
    bool SelectByName(std::string_view name);

private:
    int checked_ = DefaultRecordLimitItem;
};

} // namespace varnex
