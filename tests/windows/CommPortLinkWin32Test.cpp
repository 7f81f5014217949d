// The serial component's behaviour suite on a Windows COM port (under Wine: a pty).
#include "../links/CommPortLinkSuite.h"
#include "Win32ComLine.h"

namespace varnex::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, CommPortLinkTest, ::testing::Types<Win32ComLine>, LineName);

} // namespace varnex::testing
