// The serial component's behaviour suite on a POSIX pseudo-terminal.
#include "CommPortLinkSuite.h"
#include "PosixPtyLine.h"

namespace varnex::testing {

// No name generator here: ctest's discovery names a typed case by its type only when the
// instance is numbered ("Posix.ConnectWhileOpenKeepsThePort<varnex::testing::PosixPtyLine>").
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, CommPortLinkTest, ::testing::Types<PosixPtyLine>);

} // namespace varnex::testing
