#include "log/RecordLimitMenu.h"

namespace varnex {

bool RecordLimitMenu::Select(int item)
{
    if (item < 0 || item >= static_cast<int>(RecordLimitItems.size()))
        return false;
    checked_ = item;
    return true;
}

bool RecordLimitMenu::SelectByName(std::string_view name)
{
    for (std::size_t i = 0; i < RecordLimitItems.size(); ++i) {
        if (name == RecordLimitItems[i].Name)
            return Select(static_cast<int>(i));
    }
    return false;
}

} // namespace varnex
