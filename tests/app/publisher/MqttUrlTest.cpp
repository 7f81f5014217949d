// The --mqtt argument: what is taken from each part of the URL, and what is refused.
#include "app/publisher/MqttUrl.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct GoodUrl {
    const char* name;
    const char* text;
    bool tls;
    const char* host;
    int port;
    const char* user;
    const char* password;
    const char* prefix;
};

void PrintTo(const GoodUrl& c, std::ostream* os) { *os << c.text; }

class MqttUrlGood : public ::testing::TestWithParam<GoodUrl> {};

TEST_P(MqttUrlGood, PartsAreTaken)
{
    const GoodUrl& c = GetParam();
    std::string error;
    const auto url = ParseMqttUrl(c.text, &error);
    ASSERT_TRUE(url) << error;
    EXPECT_EQ(url->tls, c.tls);
    EXPECT_EQ(url->host, c.host);
    EXPECT_EQ(url->port, c.port);
    EXPECT_EQ(url->user, c.user);
    EXPECT_EQ(url->password, c.password);
    EXPECT_EQ(url->prefix, c.prefix);
    EXPECT_EQ(url->readingTopic(), std::string(c.prefix) + "/reading");
    EXPECT_EQ(url->statusTopic(), std::string(c.prefix) + "/status");
}

INSTANTIATE_TEST_SUITE_P(
    publisher, MqttUrlGood,
    ::testing::Values(
        GoodUrl{"DefaultPort", "mqtt://broker.lab/varnex", false, "broker.lab", 1883, "", "", "varnex"},
        GoodUrl{"TlsDefaultPort", "mqtts://broker.lab/varnex", true, "broker.lab", 8883, "", "", "varnex"},
        GoodUrl{"SchemeAnyCase", "MQTT://h/p", false, "h", 1883, "", "", "p"},
        GoodUrl{"PortAndDeepPrefix", "mqtt://10.0.0.5:1884/lab/bench3", false, "10.0.0.5", 1884, "", "", "lab/bench3"},
        GoodUrl{"TrailingSlashesCut", "mqtt://h/lab/bench3//", false, "h", 1883, "", "", "lab/bench3"},
        GoodUrl{"UserAndPassword", "mqtt://meter:s3cret@h:1999/lab", false, "h", 1999, "meter", "s3cret", "lab"},
        GoodUrl{"UserOnly", "mqtt://meter@h/lab", false, "h", 1883, "meter", "", "lab"},
        GoodUrl{"PasswordWithEscapes", "mqtt://u:p%40ss%3Aw%2Fd@h/lab", false, "h", 1883, "u", "p@ss:w/d", "lab"},
        GoodUrl{"PasswordWithRawAt", "mqtt://u:p@ss@h/lab", false, "h", 1883, "u", "p@ss", "lab"},
        GoodUrl{"Ipv6WithPort", "mqtt://[::1]:1885/lab", false, "::1", 1885, "", "", "lab"},
        GoodUrl{"Ipv6NoPort", "mqtts://[fe80::1]/lab", true, "fe80::1", 8883, "", "", "lab"},
        GoodUrl{"HighestPort", "mqtt://h:65535/x", false, "h", 65535, "", "", "x"}),
    [](const ::testing::TestParamInfo<GoodUrl>& info) { return std::string(info.param.name); });

struct BadUrl {
    const char* name;
    const char* text;
    const char* errorPart; // a word the message must hold
};

void PrintTo(const BadUrl& c, std::ostream* os) { *os << c.text; }

class MqttUrlBad : public ::testing::TestWithParam<BadUrl> {};

TEST_P(MqttUrlBad, IsRefusedWithAReason)
{
    const BadUrl& c = GetParam();
    std::string error;
    EXPECT_FALSE(ParseMqttUrl(c.text, &error));
    EXPECT_NE(error.find(c.errorPart), std::string::npos) << "message: " << error;
}

INSTANTIATE_TEST_SUITE_P(
    publisher, MqttUrlBad,
    ::testing::Values(
        BadUrl{"OtherScheme", "http://h/lab", "mqtt://"},
        BadUrl{"NoScheme", "h/lab", "mqtt://"},
        BadUrl{"NoHost", "mqtt:///lab", "no host"},
        BadUrl{"NoPrefix", "mqtt://h", "prefix"},
        BadUrl{"OnlySlash", "mqtt://h:1883/", "prefix"},
        BadUrl{"PortZero", "mqtt://h:0/lab", "port"},
        BadUrl{"PortTooBig", "mqtt://h:65536/lab", "port"},
        BadUrl{"PortNotANumber", "mqtt://h:abc/lab", "port"},
        BadUrl{"PortEmpty", "mqtt://h:/lab", "port"},
        BadUrl{"HugePort", "mqtt://h:99999999999999999999/lab", "port"},
        BadUrl{"WildcardPlus", "mqtt://h/lab/+/x", "'+'"},
        BadUrl{"WildcardHash", "mqtt://h/lab/#", "'#'"},
        BadUrl{"EscapedWildcard", "mqtt://h/lab%23", "'#'"},
        BadUrl{"BadEscape", "mqtt://u:p%4@h/lab", "escape"},
        BadUrl{"PasswordNoUser", "mqtt://:pw@h/lab", "user"},
        BadUrl{"Query", "mqtt://h/lab?x=1", "query"},
        BadUrl{"Ipv6Unclosed", "mqtt://[::1/lab", "']'"}),
    [](const ::testing::TestParamInfo<BadUrl>& info) { return std::string(info.param.name); });

TEST(publisher_MqttUrl, DisplayLeavesThePasswordOut)
{
    const auto url = ParseMqttUrl("mqtts://meter:s3cret@h:1999/lab/b1");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->display(), "mqtts://meter@h:1999/lab/b1");
    const auto v6 = ParseMqttUrl("mqtt://[::1]/x");
    ASSERT_TRUE(v6);
    EXPECT_EQ(v6->display(), "mqtt://[::1]:1883/x");
}

} // namespace
} // namespace varnex
