// The publisher against a real Mosquitto broker that each test starts on a free loopback
// port: readings arrive as JSON, the status is retained, a broker that goes away loses
// nothing that fits the queue, and the caller never waits for the network.
#include "PublisherTestSupport.h"

#include "app/publisher/MqttPublisher.h"
#include "app/publisher/testing/BrokerSubscriber.h"
#include "app/publisher/testing/MosquittoBroker.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <numeric>
#include <thread>

namespace varnex::testing {
namespace {

constexpr auto kWait = 20s; // generous: the machine is shared

MqttUrl UrlOf(const std::string& text)
{
    std::string error;
    auto url = ParseMqttUrl(text, &error);
    if (!url)
        throw std::runtime_error(error);
    return *url;
}

bool CountReached(BrokerSubscriber& sub, const std::string& topic, std::size_t n)
{
    return sub.waitFor(
        [&](const std::vector<ReceivedMessage>& all) {
            return std::size_t(std::count_if(all.begin(), all.end(),
                                             [&](const ReceivedMessage& m) { return m.topic == topic; })) >= n;
        },
        kWait);
}

bool WaitForState(const MqttPublisher& p, BrokerState state)
{
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (std::chrono::steady_clock::now() < deadline) {
        if (p.status().state == state)
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(publisher_Broker, NReadingsArriveAsNJsonMessages)
{
    MosquittoBroker broker;
    const MqttUrl url = UrlOf(broker.url("lab/bench1"));
    BrokerSubscriber sub(broker.port(), {url.readingTopic()});
    ASSERT_TRUE(sub.waitSubscribed(kWait));

    constexpr int kReadings = 500;
    TestLog log;
    auto publisher = std::make_unique<MqttPublisher>(url);
    log.log.addListener(publisher.get());
    for (int i = 0; i < kReadings; ++i)
        ASSERT_TRUE(log.logReading().logged());

    ASSERT_TRUE(CountReached(sub, url.readingTopic(), kReadings));
    ASSERT_TRUE(publisher->waitUntilDelivered(kWait));
    std::this_thread::sleep_for(300ms); // a duplicate would come now
    const auto messages = sub.messagesOn(url.readingTopic());
    ASSERT_EQ(messages.size(), std::size_t(kReadings));

    std::vector<int> expected(kReadings);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(NumbersOf(messages), expected); // one each, in the order logged

    const QStringList fields{"no", "time", "function", "value", "unit", "value2", "unit2",
                             "si_value", "si_unit", "overload"};
    const QRegularExpression isoTime(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z$)");
    for (int i = 0; i < kReadings; ++i) {
        const QJsonObject o = JsonOf(messages[std::size_t(i)].payload);
        QStringList keys = o.keys();
        keys.sort();
        QStringList want = fields;
        want.sort();
        ASSERT_EQ(keys, want) << messages[std::size_t(i)].payload;
        EXPECT_FALSE(messages[std::size_t(i)].retained);
        EXPECT_TRUE(isoTime.match(o.value("time").toString()).hasMatch()) << messages[std::size_t(i)].payload;
        EXPECT_EQ(o.value("function").toString(), "DCV");
        char value[32];
        std::snprintf(value, sizeof value, "%.5f", (i + 1) * 0.00001);
        EXPECT_EQ(o.value("value").toString().toStdString(), value);
        EXPECT_EQ(o.value("unit").toString(), "V");
        EXPECT_EQ(o.value("si_unit").toString(), "V");
        EXPECT_DOUBLE_EQ(o.value("si_value").toDouble(), std::stod(value));
        EXPECT_EQ(o.value("overload"), QJsonValue(false));
        EXPECT_EQ(o.value("value2"), QJsonValue(""));
        EXPECT_EQ(o.value("unit2"), QJsonValue(""));
    }
    // The first reading's time is the log's clock, in UTC.
    EXPECT_EQ(JsonOf(messages[0].payload).value("time").toString(), "2026-12-09T19:24:34.007Z");

    const PublisherStatus s = publisher->status();
    EXPECT_EQ(s.delivered, std::uint64_t(kReadings));
    EXPECT_EQ(s.queued, 0u);
    EXPECT_EQ(s.dropped, 0u);
    log.log.removeListener(publisher.get());
}

TEST(publisher_Broker, LoadedAndRecoveredRowsAreNotPublished)
{
    MosquittoBroker broker;
    const MqttUrl url = UrlOf(broker.url("lab/b2"));
    BrokerSubscriber sub(broker.port(), {url.readingTopic()});
    ASSERT_TRUE(sub.waitSubscribed(kWait));
    MqttPublisher publisher(url);
    TestLog log;
    log.log.addListener(&publisher);
    LogRowInput row;
    row.No = 77;
    row.Function = "DCV";
    row.Value = "1.0";
    row.Unit = "V";
    log.table.append(row);
    log.log.announceRow(row, RowSource::Load);
    log.log.announceRow(row, RowSource::Recovered, 5);
    log.logReading(); // a marker: once it is there, anything sent before it is too
    ASSERT_TRUE(CountReached(sub, url.readingTopic(), 1));
    EXPECT_EQ(NumbersOf(sub.messagesOn(url.readingTopic())), std::vector<int>{1});
    log.log.removeListener(&publisher);
}

TEST(publisher_Broker, StatusIsRetainedOnlineWhileConnectedAndOfflineAfter)
{
    MosquittoBroker broker;
    const MqttUrl url = UrlOf(broker.url("lab/b3"));
    auto publisher = std::make_unique<MqttPublisher>(url);
    ASSERT_TRUE(WaitForState(*publisher, BrokerState::Connected));
    {
        // A subscriber that comes later still learns the state: it is retained.
        BrokerSubscriber late(broker.port(), {url.statusTopic()});
        ASSERT_TRUE(CountReached(late, url.statusTopic(), 1));
        const auto first = late.messagesOn(url.statusTopic()).front();
        EXPECT_EQ(first.payload, "online");
        EXPECT_TRUE(first.retained);
    }
    publisher.reset();
    BrokerSubscriber after(broker.port(), {url.statusTopic()});
    ASSERT_TRUE(CountReached(after, url.statusTopic(), 1));
    EXPECT_EQ(after.messagesOn(url.statusTopic()).front().payload, "offline");
    EXPECT_TRUE(after.messagesOn(url.statusTopic()).front().retained);
}

struct RestartCase {
    const char* name;
    int signal;
    bool waitForQuiet; // SIGKILL loses what the broker itself held: kill it between messages
};

void PrintTo(const RestartCase& c, std::ostream* os) { *os << c.name; }

class PublisherBrokerRestart : public ::testing::TestWithParam<RestartCase> {};

// Readings keep coming while the broker is killed and brought back on the same port; the
// subscriber keeps its session on the broker's disk, so it gets what arrived meanwhile.
TEST_P(PublisherBrokerRestart, NoReadingIsLost)
{
    BrokerOptions options;
    options.persistence = true;
    MosquittoBroker broker(options);
    const MqttUrl url = UrlOf(broker.url("lab/restart"));
    auto sub = std::make_unique<BrokerSubscriber>(broker.port(), std::vector<std::string>{url.readingTopic()},
                                                  "varnex-test-sub-" + std::to_string(::getpid()), false);
    ASSERT_TRUE(sub->waitSubscribed(kWait));
    std::this_thread::sleep_for(200ms); // the session reaches the broker's disk

    PublisherOptions popts;
    popts.retryMaxSeconds = 2;
    MqttPublisher publisher(url, popts);
    TestLog log;
    log.log.addListener(&publisher);
    ASSERT_TRUE(WaitForState(publisher, BrokerState::Connected));

    constexpr int kBefore = 300, kWhileDown = 300, kAfter = 300;
    for (int i = 0; i < kBefore; ++i) {
        log.logReading();
        if (i % 10 == 0)
            std::this_thread::sleep_for(1ms);
    }
    if (GetParam().waitForQuiet) {
        ASSERT_TRUE(CountReached(*sub, url.readingTopic(), kBefore));
    }
    broker.stop(GetParam().signal);

    for (int i = 0; i < kWhileDown; ++i)
        log.logReading();
    ASSERT_TRUE(WaitForState(publisher, BrokerState::Reconnecting));
    EXPECT_GE(publisher.status().queued, std::uint64_t(kWhileDown));

    broker.start();
    for (int i = 0; i < kAfter; ++i) {
        log.logReading();
        if (i % 10 == 0)
            std::this_thread::sleep_for(1ms);
    }
    ASSERT_TRUE(publisher.waitUntilDelivered(kWait)) << DescribePublisherStatus(url, publisher.status());
    constexpr int kTotal = kBefore + kWhileDown + kAfter;
    const bool all = sub->waitFor(
        [&](const std::vector<ReceivedMessage>& received) {
            if (received.size() < std::size_t(kTotal))
                return false;
            const std::vector<int> numbers = NumbersOf(received);
            return std::set<int>(numbers.begin(), numbers.end()).size() >= std::size_t(kTotal);
        },
        kWait);
    const std::vector<int> got = NumbersOf(sub->messagesOn(url.readingTopic()));
    const std::set<int> distinct(got.begin(), got.end());
    std::vector<int> missing;
    for (int n = 1; n <= kTotal; ++n)
        if (!distinct.count(n))
            missing.push_back(n);
    EXPECT_TRUE(all);
    EXPECT_TRUE(missing.empty()) << missing.size() << " missing, first " << (missing.empty() ? 0 : missing.front());
    EXPECT_EQ(publisher.status().dropped, 0u);
    log.log.removeListener(&publisher);
}

INSTANTIATE_TEST_SUITE_P(publisher, PublisherBrokerRestart,
                         ::testing::Values(RestartCase{"TerminatedWhileReadingsFlow", SIGTERM, false},
                                           RestartCase{"KilledBetweenReadings", SIGKILL, true}),
                         [](const ::testing::TestParamInfo<RestartCase>& info) { return std::string(info.param.name); });

TEST(publisher_Broker, FullQueueWhileTheBrokerIsDownKeepsTheNewest)
{
    BrokerOptions options;
    options.persistence = true;
    MosquittoBroker broker(options);
    const MqttUrl url = UrlOf(broker.url("lab/full"));
    auto sub = std::make_unique<BrokerSubscriber>(broker.port(), std::vector<std::string>{url.readingTopic()},
                                                  "varnex-test-full-" + std::to_string(::getpid()), false);
    ASSERT_TRUE(sub->waitSubscribed(kWait));
    std::this_thread::sleep_for(200ms);
    broker.stop(SIGTERM);

    PublisherOptions popts;
    popts.queueCapacity = 50;
    popts.window = 10;
    popts.retryMaxSeconds = 1;
    MqttPublisher publisher(url, popts);
    TestLog log;
    log.log.addListener(&publisher);
    for (int i = 0; i < 80; ++i)
        log.logReading();
    PublisherStatus s = publisher.status();
    EXPECT_EQ(s.queued, 50u);
    EXPECT_EQ(s.dropped, 30u);
    EXPECT_NE(s.state, BrokerState::Connected);

    broker.start();
    ASSERT_TRUE(publisher.waitUntilDelivered(kWait)) << DescribePublisherStatus(url, publisher.status());
    ASSERT_TRUE(CountReached(*sub, url.readingTopic(), 50));
    std::this_thread::sleep_for(300ms);
    std::vector<int> expected(50);
    std::iota(expected.begin(), expected.end(), 31);
    EXPECT_EQ(NumbersOf(sub->messagesOn(url.readingTopic())), expected);
    log.log.removeListener(&publisher);
}

// A broker that takes the connection and never answers: the log goes on at full speed.
TEST(publisher_Broker, LoggingNeverWaitsForASilentBroker)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    const int port = ntohs(addr.sin_port);

    PublisherOptions popts;
    popts.queueCapacity = 5000;
    auto publisher = std::make_unique<MqttPublisher>(UrlOf("mqtt://127.0.0.1:" + std::to_string(port) + "/silent"), popts);
    TestLog log;
    log.log.addListener(publisher.get());
    // A call that waited for the network would wait for ever here. On a shared machine a
    // call may still lose the processor now and then, so a few slow ones are let through.
    int slowCalls = 0;
    std::chrono::nanoseconds longest{0};
    const auto start = std::chrono::steady_clock::now();
    // 10000 rows: the log's default record limit.
    for (int i = 0; i < 10000; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        log.logReading();
        const auto took = std::chrono::steady_clock::now() - t0;
        longest = std::max(longest, took);
        slowCalls += took >= 20ms;
    }
    EXPECT_LE(slowCalls, 10) << "longest " << std::chrono::duration_cast<std::chrono::milliseconds>(longest).count() << " ms";
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    const PublisherStatus s = publisher->status();
    EXPECT_EQ(s.state, BrokerState::Connecting);
    EXPECT_EQ(s.queued, 5000u);
    EXPECT_EQ(s.dropped, 5000u);
    // Nor does closing the program wait for it.
    const auto t0 = std::chrono::steady_clock::now();
    log.log.removeListener(publisher.get());
    publisher.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 3s);
    ::close(listener);
}

TEST(publisher_Broker, UserAndPasswordComeFromTheUrl)
{
    BrokerOptions options;
    const std::string dirHint = ::testing::TempDir() + "varnex_pw_" + std::to_string(::getpid());
    std::string passwords = dirHint + ".txt";
    const std::string cmd = "mosquitto_passwd -c -b '" + passwords + "' meter 's3cr@t' >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    options.extraConfig = {"password_file " + passwords};
    MosquittoBroker broker(options);
    const std::string base = "127.0.0.1:" + std::to_string(broker.port()) + "/auth";

    MqttPublisher good(UrlOf("mqtt://meter:s3cr%40t@" + base));
    EXPECT_TRUE(WaitForState(good, BrokerState::Connected));

    MqttPublisher bad(UrlOf("mqtt://meter:wrong@" + base));
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (bad.status().reason.empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    const PublisherStatus s = bad.status();
    EXPECT_NE(s.state, BrokerState::Connected);
    EXPECT_NE(s.reason.find("refused"), std::string::npos) << s.reason;
    EXPECT_NE(DescribePublisherStatus(bad.url(), s).find("not connected"), std::string::npos);
    std::remove(passwords.c_str());
}

} // namespace
} // namespace varnex::testing
