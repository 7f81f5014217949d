#pragma once
// Publishes every reading the log takes to an MQTT broker, QoS 1, as one JSON object on
// PREFIX/reading, and keeps PREFIX/status (retained) at "online" while connected, with
// "offline" as the last will. The caller only enqueues: a network thread runs the client
// library's loop and a sender thread hands it the queued readings, so a broker
// that is slow, down or gone never holds up decoding or the window. Readings wait in a
// bounded queue while the broker is away and go out, oldest first, once it is back; we
// reconnect with exponential back-off.
#include "app/publisher/MqttUrl.h"
#include "app/publisher/OutboundQueue.h"
#include "log/LoggedRowListener.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>

struct mosquitto;

namespace varnex {

enum class BrokerState {
    Connecting,   // no connection yet
    Connected,    // the broker accepted us; readings flow
    Reconnecting, // the connection went or was refused; we try again after a pause
};

struct PublisherStatus {
    BrokerState state = BrokerState::Connecting;
    std::string reason;         // why the last connection went or was refused; empty if none
    std::uint64_t queued = 0;   // waiting plus awaiting the broker's acknowledgement
    std::uint64_t dropped = 0;  // oldest readings given up because the queue was full
    std::uint64_t delivered = 0; // acknowledged by the broker
};

// "MQTT mqtt://host:1883/lab/bench1: connected, 0 queued, 0 dropped"
std::string DescribePublisherStatus(const MqttUrl& url, const PublisherStatus& status);

struct PublisherOptions {
    std::size_t queueCapacity = 100000;
    std::size_t window = 1000; // readings awaiting acknowledgement at once
    int keepAliveSeconds = 10;
    int retryMinSeconds = 1;  // back-off: 1, 2, 4, ... seconds
    int retryMaxSeconds = 30;
    // Told about each change of state, on a network thread (the command line prints it).
    std::function<void(const PublisherStatus&)> onStateChange;
};

class MqttPublisher : public LoggedRowListener {
public:
    // Starts connecting at once; never waits for the broker.
    explicit MqttPublisher(MqttUrl url, PublisherOptions options = {});
    // Publishes "offline" (retained) if connected, then disconnects. Readings still queued
    // are given up; call waitUntilDelivered first to send them.
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    // Rows decoded from the meter are published; rows loaded from a file or recovered
    // from the journal were not read now and are not.
    void rowLogged(const LoggedRow& row) override;
    // Enqueues one JSON object for PREFIX/reading.
    void enqueue(std::string payload);

    PublisherStatus status() const;
    const MqttUrl& url() const { return url_; }
    // Waits until every queued reading is acknowledged, or the time is up; true if empty.
    bool waitUntilDelivered(std::chrono::milliseconds timeout);

private:
    static void onConnect(struct mosquitto* mosq, void* self, int rc);
    static void onDisconnect(struct mosquitto* mosq, void* self, int rc);
    static void onPublish(struct mosquitto* mosq, void* self, int mid);
    void senderLoop();
    void networkLoop();
    void publishStatus(const char* text);
    void notifyState();

    MqttUrl url_;
    PublisherOptions options_;
    struct mosquitto* mosq_ = nullptr;

    mutable std::mutex mutex_;
    std::condition_variable wake_;      // the sender: something to send, or stop
    std::condition_variable progress_;  // waiters: an acknowledgement came
    OutboundQueue queue_;
    BrokerState state_ = BrokerState::Connecting;
    std::string reason_;
    bool reasonFresh_ = false; // reason_ was set by a callback since the last pause
    bool connected_ = false;
    bool stopping_ = false;
    std::unordered_set<int> statusMids_; // our "online"/"offline" messages, not readings
    bool offlineAcked_ = false;
    int offlineMid_ = -1;
    int retryDelaySeconds_ = 1;
    bool networkStop_ = false;
    std::condition_variable networkWake_; // the network thread's back-off pause
    std::thread sender_;
    std::thread network_;
};

} // namespace varnex
