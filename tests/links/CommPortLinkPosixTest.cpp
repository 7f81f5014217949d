// The serial component's behaviour suite on a POSIX pseudo-terminal.
#include "CommPortLinkSuite.h"
#include "PosixPtyLine.h"

namespace varnex::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Posix, CommPortLinkTest, ::testing::Types<PosixPtyLine>, LineName);

} // namespace varnex::testing
