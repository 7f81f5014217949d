// A serial port that goes away while open (pty hung up, device node removed, write
// error) is reported once through OnPortLost, with the port closed and polling stopped.
#include "PtyPair.h"
#include "links/PosixSerialPlatform.h"
#include "links/TCommPortDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/ioctl.h>

namespace varnex {
namespace {

namespace fs = std::filesystem;
using testing::PtyPair;

class SerialLinkLossTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.ok());
        link = fs::temp_directory_path() / ("varnex-com1-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove(link);
        fs::create_symlink(pty.slavePath(), link);
        auto owned = std::make_unique<PosixSerialPlatform>();
        platform = owned.get();
        platform->names().setOverride(pnCOM1, link.string());
        driver = std::make_unique<TCommPortDriver>(std::move(owned));
        driver->SetComPort(pnCOM1);
        driver->SetComPortDataBits(db7BITS);
        driver->SetComPortStopBits(sb2BITS);
        driver->SetOnReceiveData([this](TCommPortDriver*, const std::uint8_t* data, int size) {
            received.insert(received.end(), data, data + size);
        });
        driver->SetOnPortLost([this](TCommPortDriver* sender, const std::string& cause) {
            EXPECT_EQ(sender, driver.get());
            EXPECT_FALSE(sender->IsConnected()) << "closed before its owner hears of it";
            causes.push_back(cause);
        });
        ASSERT_TRUE(driver->Connect()) << platform->lastError();
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove(link, ec);
    }

    PtyPair pty;
    fs::path link;
    PosixSerialPlatform* platform = nullptr;
    std::unique_ptr<TCommPortDriver> driver;
    std::vector<std::uint8_t> received;
    std::vector<std::string> causes;
};

TEST_F(SerialLinkLossTest, SilentPortStaysOpen)
{
    for (int i = 0; i < 20; ++i)
        driver->PollReceive();
    EXPECT_TRUE(causes.empty());
    EXPECT_TRUE(driver->IsConnected());
    EXPECT_TRUE(driver->PollTimerActive());
}

TEST_F(SerialLinkLossTest, HangUpClosesThePortAndTellsTheOwnerOnce)
{
    pty.hangUp();
    driver->PollReceive();
    ASSERT_EQ(causes.size(), 1u);
    EXPECT_NE(causes[0].find("hung up"), std::string::npos) << causes[0];
    EXPECT_FALSE(driver->IsConnected());
    EXPECT_FALSE(driver->PollTimerActive());
    driver->PollReceive();
    EXPECT_EQ(causes.size(), 1u);
    EXPECT_EQ(driver->LastError(), causes[0]);
}

TEST_F(SerialLinkLossTest, VanishedDeviceNodeIsALostPort)
{
    fs::remove(link);
    driver->PollReceive();
    ASSERT_EQ(causes.size(), 1u);
    EXPECT_NE(causes[0].find("is gone"), std::string::npos) << causes[0];
    EXPECT_FALSE(driver->IsConnected());
}

TEST_F(SerialLinkLossTest, NodeNowNamingAnotherDeviceIsALostPort)
{
    PtyPair other;
    ASSERT_TRUE(other.ok());
    fs::remove(link);
    fs::create_symlink(other.slavePath(), link);
    driver->PollReceive();
    EXPECT_EQ(causes.size(), 1u);
}

TEST_F(SerialLinkLossTest, FailedWriteIsALostPort)
{
    pty.hangUp();
    const std::uint8_t dcv[] = {'A', 'A'};
    EXPECT_LE(driver->SendData(dcv, 2), 0);
    EXPECT_EQ(causes.size(), 1u);
    EXPECT_FALSE(driver->IsConnected());
}

TEST_F(SerialLinkLossTest, LostPortCanBeOpenedAgainWhenItIsBack)
{
    fs::remove(link);
    driver->PollReceive();
    ASSERT_FALSE(driver->IsConnected());
    fs::create_symlink(pty.slavePath(), link);
    EXPECT_TRUE(driver->Connect()) << driver->LastError();
}

} // namespace
} // namespace varnex
