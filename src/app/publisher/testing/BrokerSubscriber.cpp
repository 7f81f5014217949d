#include "app/publisher/testing/BrokerSubscriber.h"

#include <mosquitto.h>

#include <stdexcept>

namespace varnex::testing {

BrokerSubscriber::BrokerSubscriber(int port, std::vector<std::string> topics, std::string clientId, bool cleanSession)
    : topics_(std::move(topics))
{
    mosquitto_lib_init();
    mosq_ = mosquitto_new(clientId.empty() ? nullptr : clientId.c_str(), cleanSession, this);
    if (!mosq_)
        throw std::runtime_error("cannot create the test subscriber");
    mosquitto_connect_callback_set(mosq_, &BrokerSubscriber::onConnect);
    mosquitto_subscribe_callback_set(mosq_, &BrokerSubscriber::onSubscribe);
    mosquitto_message_callback_set(mosq_, &BrokerSubscriber::onMessage);
    mosquitto_disconnect_callback_set(mosq_, &BrokerSubscriber::onDisconnect);
    mosquitto_reconnect_delay_set(mosq_, 1, 1, false);
    mosquitto_connect_async(mosq_, "127.0.0.1", port, 10);
    if (mosquitto_loop_start(mosq_) != MOSQ_ERR_SUCCESS)
        throw std::runtime_error("cannot start the test subscriber's loop");
}

BrokerSubscriber::~BrokerSubscriber()
{
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    mosquitto_destroy(mosq_);
}

bool BrokerSubscriber::waitSubscribed(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return subscribed_; });
}

bool BrokerSubscriber::waitFor(const std::function<bool(const std::vector<ReceivedMessage>&)>& done,
                               std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return done(messages_); });
}

std::vector<ReceivedMessage> BrokerSubscriber::messages() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::vector<ReceivedMessage> BrokerSubscriber::messagesOn(const std::string& topic) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ReceivedMessage> out;
    for (const ReceivedMessage& m : messages_)
        if (m.topic == topic)
            out.push_back(m);
    return out;
}

void BrokerSubscriber::onConnect(struct mosquitto* mosq, void* self, int rc)
{
    auto* s = static_cast<BrokerSubscriber*>(self);
    if (rc != 0)
        return;
    for (const std::string& topic : s->topics_)
        mosquitto_subscribe(mosq, nullptr, topic.c_str(), 1);
}

void BrokerSubscriber::onSubscribe(struct mosquitto*, void* self, int, int, const int*)
{
    auto* s = static_cast<BrokerSubscriber*>(self);
    {
        std::lock_guard<std::mutex> lock(s->mutex_);
        s->subscribed_ = true;
    }
    s->changed_.notify_all();
}

void BrokerSubscriber::onMessage(struct mosquitto*, void* self, const struct mosquitto_message* message)
{
    auto* s = static_cast<BrokerSubscriber*>(self);
    ReceivedMessage m;
    m.topic = message->topic;
    m.payload.assign(static_cast<const char*>(message->payload), std::size_t(message->payloadlen));
    m.retained = message->retain;
    {
        std::lock_guard<std::mutex> lock(s->mutex_);
        s->messages_.push_back(std::move(m));
    }
    s->changed_.notify_all();
}

void BrokerSubscriber::onDisconnect(struct mosquitto*, void* self, int)
{
    auto* s = static_cast<BrokerSubscriber*>(self);
    std::lock_guard<std::mutex> lock(s->mutex_);
    s->subscribed_ = false;
}

} // namespace varnex::testing
