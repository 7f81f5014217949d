// mqtts:// against a real broker with a TLS listener whose certificate comes from a CA made
// here: refused while that CA is not in the store, accepted once OpenSSL's default store
// (SSL_CERT_FILE, which the system's store is found through) holds it.
#include "PublisherTestSupport.h"

#include "app/publisher/MqttPublisher.h"
#include "app/publisher/testing/BrokerSubscriber.h"
#include "app/publisher/testing/MosquittoBroker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace varnex::testing {
namespace {

// A CA and a server certificate for 127.0.0.1, in `dir`.
bool MakeCertificates(const std::string& dir)
{
    const std::string q = "'" + dir + "'";
    const std::string script =
        "cd " + q + " && "
        "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=varnex-test-ca -keyout ca.key -out ca.pem && "
        "openssl req -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -keyout server.key -out server.csr && "
        "printf 'subjectAltName=IP:127.0.0.1\\n' > san.ext && "
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile san.ext "
        "-out server.pem";
    return std::system(("(" + script + ") >/dev/null 2>&1").c_str()) == 0;
}

std::string TempDirectory()
{
    std::string pattern = ::testing::TempDir() + "varnex_tls_" + std::to_string(::getpid()) + "_XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

bool EventuallyConnected(const MqttPublisher& p, std::chrono::seconds within)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < deadline) {
        if (p.status().state == BrokerState::Connected)
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

class publisher_Tls : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = TempDirectory();
        ASSERT_FALSE(dir.empty());
        ASSERT_TRUE(MakeCertificates(dir));
        BrokerOptions options;
        options.extraConfig = {"certfile " + dir + "/server.pem", "keyfile " + dir + "/server.key"};
        broker = std::make_unique<MosquittoBroker>(options);
        url = "mqtts://127.0.0.1:" + std::to_string(broker->port()) + "/lab/tls";
    }
    void TearDown() override
    {
        broker.reset();
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    std::string dir;
    std::unique_ptr<MosquittoBroker> broker;
    std::string url;
};

TEST_F(publisher_Tls, UnknownCertificateIsRefused)
{
    MqttPublisher publisher(*ParseMqttUrl(url));
    EXPECT_FALSE(EventuallyConnected(publisher, 3s));
    EXPECT_FALSE(publisher.status().reason.empty());
}

TEST_F(publisher_Tls, CertificateFromTheStoreIsAcceptedAndReadingsFlow)
{
    ::setenv("SSL_CERT_FILE", (dir + "/ca.pem").c_str(), 1);
    MqttPublisher publisher(*ParseMqttUrl(url));
    ASSERT_TRUE(EventuallyConnected(publisher, 20s)) << DescribePublisherStatus(publisher.url(), publisher.status());
    publisher.enqueue("{\"no\":1}");
    EXPECT_TRUE(publisher.waitUntilDelivered(20s));
    EXPECT_EQ(publisher.status().delivered, 1u);
}

TEST_F(publisher_Tls, PlainMqttToATlsListenerDoesNotConnect)
{
    std::string plain = url;
    plain.replace(0, 5, "mqtt");
    MqttPublisher publisher(*ParseMqttUrl(plain));
    EXPECT_FALSE(EventuallyConnected(publisher, 3s));
}

} // namespace
} // namespace varnex::testing
