#pragma once
// A plain MQTT subscriber for tests: subscribes (QoS 1) on every connection, reconnects
// every second when the broker goes, and keeps every message it gets.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace varnex::testing {

struct ReceivedMessage {
    std::string topic;
    std::string payload;
    bool retained = false;
};

class BrokerSubscriber {
public:
    // An empty clientId with cleanSession true is a throw-away session; a fixed id with
    // cleanSession false asks the broker to keep messages for us while we are away.
    BrokerSubscriber(int port, std::vector<std::string> topics, std::string clientId = {}, bool cleanSession = true);
    ~BrokerSubscriber();
    BrokerSubscriber(const BrokerSubscriber&) = delete;
    BrokerSubscriber& operator=(const BrokerSubscriber&) = delete;

    // True once the broker confirmed the subscriptions of the current connection.
    bool waitSubscribed(std::chrono::milliseconds timeout);
    // Waits until `done` holds for the messages so far; false on time-out.
    bool waitFor(const std::function<bool(const std::vector<ReceivedMessage>&)>& done,
                 std::chrono::milliseconds timeout);
    std::vector<ReceivedMessage> messages() const;
    std::vector<ReceivedMessage> messagesOn(const std::string& topic) const;

private:
    static void onConnect(struct mosquitto*, void* self, int rc);
    static void onSubscribe(struct mosquitto*, void* self, int mid, int qosCount, const int* granted);
    static void onMessage(struct mosquitto*, void* self, const struct mosquitto_message* message);
    static void onDisconnect(struct mosquitto*, void* self, int rc);

    std::vector<std::string> topics_;
    struct mosquitto* mosq_ = nullptr;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<ReceivedMessage> messages_;
    bool subscribed_ = false;
};

} // namespace varnex::testing
