// varnex's command line: --connect presses a link button once the window is up.
#include "app/AppOptions.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct ConnectCase {
    const char* name;
    QStringList arguments;
    ConnectionMode mode;
    bool error;
};
std::ostream& operator<<(std::ostream& os, const ConnectCase& c) { return os << c.name; }

class ConnectOption : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(ConnectOption, TakesComOrUsbAndNothingElse)
{
    const ConnectCase& c = GetParam();
    const AppOptions options = ParseAppOptions(QStringList{QStringLiteral("varnex")} + c.arguments);
    EXPECT_EQ(options.connect, c.mode);
    EXPECT_EQ(!options.error.isEmpty(), c.error) << options.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ConnectOption,
    ::testing::Values(ConnectCase{"None", {}, ConnectionMode::Idle, false},
                      ConnectCase{"Com", {"--connect", "com"}, ConnectionMode::Com, false},
                      ConnectCase{"UsbWithEquals", {"--connect=usb"}, ConnectionMode::Usb, false},
                      ConnectCase{"AfterAPortPath", {"--com1", "/dev/ttyUSB0", "--connect", "com"}, ConnectionMode::Com, false},
                      ConnectCase{"UnknownLink", {"--connect", "lan"}, ConnectionMode::Idle, true},
                      ConnectCase{"MissingLink", {"--connect"}, ConnectionMode::Idle, true}),
    [](const ::testing::TestParamInfo<ConnectCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnex
