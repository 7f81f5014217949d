// --mqtt in the window: the option, readings from the simulated meter on COM1 reaching a
// real broker, the broker's state in the LCD's tooltip, and the program killed outright
// leaving "offline" as its retained status.
#include "../EndToEndSupport.h"
#include "PublisherTestSupport.h"

#include "app/AppOptions.h"
#include "app/publisher/MqttPublisher.h"
#include "app/publisher/testing/BrokerSubscriber.h"
#include "app/publisher/testing/MosquittoBroker.h"
#include "links/SerialPortNames.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace varnex::testing {
namespace {

struct OptionCase {
    const char* name;
    QStringList arguments;
    const char* prefix; // empty: an error is expected
    const char* errorPart;
};

void PrintTo(const OptionCase& c, std::ostream* os) { *os << c.name; }

class app_MqttOption : public ::testing::TestWithParam<OptionCase> {};

TEST_P(app_MqttOption, IsReadFromTheCommandLine)
{
    const OptionCase& c = GetParam();
    const AppOptions options = ParseAppOptions(QStringList{"varnex"} + c.arguments);
    if (*c.prefix) {
        EXPECT_TRUE(options.error.isEmpty()) << options.error.toStdString();
        ASSERT_TRUE(options.mqtt);
        EXPECT_EQ(options.mqtt->prefix, c.prefix);
    } else {
        EXPECT_FALSE(options.mqtt);
        EXPECT_TRUE(options.error.contains(QLatin1String(c.errorPart))) << options.error.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    app, app_MqttOption,
    ::testing::Values(OptionCase{"Separate", {"--mqtt", "mqtt://h/lab/b1"}, "lab/b1", ""},
                      OptionCase{"WithEquals", {"--mqtt=mqtt://h/lab/b2"}, "lab/b2", ""},
                      OptionCase{"WithOtherOptions", {"--simulate", "--mqtt", "mqtts://h/x", "--simulate"}, "x", ""},
                      OptionCase{"MissingUrl", {"--mqtt"}, "", "needs a URL"},
                      OptionCase{"BadUrl", {"--mqtt", "http://h/x"}, "", "--mqtt: the MQTT URL must start"}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.name); });

TEST(app_MqttOption, NoOptionNoBroker)
{
    EXPECT_FALSE(ParseAppOptions(QStringList{"varnex", "--simulate"}).mqtt);
}

using app_WindowPublisher = EndToEndFixture;

TEST_F(app_WindowPublisher, MeterReadingsReachTheBrokerAndTheTooltipSaysSo)
{
    MosquittoBroker broker;
    const MqttUrl url = *ParseMqttUrl(broker.url("lab/window"));
    BrokerSubscriber sub(broker.port(), {url.readingTopic()});
    ASSERT_TRUE(sub.waitSubscribed(20s));

    start(MeterEnvironment::Simulated(SerialPortNames()));
    window().publishTo(std::make_unique<MqttPublisher>(url));
    ASSERT_TRUE(waitFor([&] { return window().Publisher()->status().state == BrokerState::Connected; }, 20000));
    ASSERT_TRUE(waitFor([&] { return lcd()->toolTip().contains(QLatin1String("connected,")); }, 2000))
        << lcd()->toolTip().toStdString();
    EXPECT_TRUE(lcd()->toolTip().contains(QString::fromStdString("MQTT " + url.display())))
        << lcd()->toolTip().toStdString();

    QTest::mouseClick(comCon(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return gridRows() >= 3; }, 20000));
    QTest::mouseClick(comCon(), Qt::LeftButton); // no more rows from here on
    const int rows = gridRows();
    ASSERT_TRUE(window().Publisher()->waitUntilDelivered(20s));
    ASSERT_TRUE(sub.waitFor([&](const std::vector<ReceivedMessage>& all) { return int(all.size()) >= rows; }, 20s));

    const auto messages = sub.messagesOn(url.readingTopic());
    ASSERT_EQ(int(messages.size()), rows);
    const LogStore& table = window().cds1();
    for (int i = 0; i < rows; ++i) {
        const QJsonObject o = JsonOf(messages[std::size_t(i)].payload);
        const LogRowView row = table.row(std::size_t(i));
        EXPECT_EQ(o.value("no").toInt(), row.No);
        EXPECT_EQ(o.value("function").toString().toStdString(), row.Function);
        EXPECT_EQ(o.value("value").toString().toStdString(), row.Value);
        EXPECT_EQ(o.value("unit").toString().toStdString(), PlainUnitText(row.Unit));
        EXPECT_TRUE(o.value("si_value").isDouble()) << messages[std::size_t(i)].payload;
    }
}

TEST_F(app_WindowPublisher, TooltipSaysWhenTheBrokerIsAway)
{
    MosquittoBroker broker;
    const MqttUrl url = *ParseMqttUrl(broker.url("lab/away"));
    broker.stop();
    start(MeterEnvironment::Simulated(SerialPortNames()));
    window().publishTo(std::make_unique<MqttPublisher>(url));
    ASSERT_TRUE(waitFor([&] { return lcd()->toolTip().contains(QLatin1String("not connected, retrying")); }, 20000))
        << lcd()->toolTip().toStdString();
    EXPECT_TRUE(lcd()->toolTip().contains(QLatin1String("Connection refused"))) << lcd()->toolTip().toStdString();
}

// The installed program, not a test harness: started with --mqtt, then killed with SIGKILL,
// so that only the broker's last will can say it is gone.
TEST(app_ProgramKilled, RetainedStatusGoesOffline)
{
    MosquittoBroker broker;
    const MqttUrl url = *ParseMqttUrl(broker.url("lab/killed"));
    BrokerSubscriber sub(broker.port(), {url.statusTopic()});
    ASSERT_TRUE(sub.waitSubscribed(20s));

    const std::string program = VARNEX_PROGRAM;
    const std::string urlText = broker.url("lab/killed");
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(program.c_str(), program.c_str(), "--simulate", "--mqtt", urlText.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const bool online = sub.waitFor(
        [](const std::vector<ReceivedMessage>& all) { return !all.empty() && all.back().payload == "online"; }, 30s);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(online) << "the program never said online";
    ASSERT_TRUE(sub.waitFor(
        [](const std::vector<ReceivedMessage>& all) { return all.back().payload == "offline"; }, 30s));

    BrokerSubscriber later(broker.port(), {url.statusTopic()});
    ASSERT_TRUE(later.waitFor([](const std::vector<ReceivedMessage>& all) { return !all.empty(); }, 20s));
    EXPECT_EQ(later.messages().front().payload, "offline");
    EXPECT_TRUE(later.messages().front().retained);
}

} // namespace
} // namespace varnex::testing
