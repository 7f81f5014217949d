#include "log/files/SplitFields.h"

namespace varnex {

void SplitFields(std::string_view line, char separator, std::vector<std::string_view>& pieces)
{
    pieces.clear();
    std::string_view rest = line;
    for (auto at = rest.find(separator); at != std::string_view::npos; at = rest.find(separator)) {
        pieces.push_back(rest.substr(0, at));
        rest.remove_prefix(at + 1);
    }
    pieces.push_back(rest);
}

} // namespace varnex
