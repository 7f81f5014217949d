#pragma once
// Cuts one line of a text log into its pieces at a separator.
#include <string_view>
#include <vector>

namespace varnex {

// Fills pieces with the parts of line between separators, in order. A line without the
// separator gives one piece, an empty line one empty piece, and a line ending in the
// separator an empty last piece. The views point into line; pieces is reused (cleared
// first), so a caller that keeps it across lines allocates nothing after the first.
void SplitFields(std::string_view line, char separator, std::vector<std::string_view>& pieces);

} // namespace varnex
