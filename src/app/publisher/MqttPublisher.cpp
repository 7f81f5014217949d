#include "app/publisher/MqttPublisher.h"

#include "app/publisher/ReadingJson.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace varnex {
namespace {

constexpr char kOnline[] = "online";
constexpr char kOffline[] = "offline";
constexpr int kQos = 1;
// How long the network thread waits in the library's loop; a stop or a reading never
// waits for it (the library wakes itself when something is to be sent).
constexpr int kLoopTimeoutMs = 500;

void InitLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

std::string ErrorText(int rc)
{
    if (rc == MOSQ_ERR_ERRNO)
        return std::strerror(errno);
    return mosquitto_strerror(rc);
}

const char* StateText(BrokerState state)
{
    switch (state) {
    case BrokerState::Connecting: return "connecting";
    case BrokerState::Connected: return "connected";
    case BrokerState::Reconnecting: return "not connected, retrying";
    }
    return "";
}

} // namespace

std::string DescribePublisherStatus(const MqttUrl& url, const PublisherStatus& status)
{
    std::string text = "MQTT " + url.display() + ": " + StateText(status.state);
    if (status.state != BrokerState::Connected && !status.reason.empty())
        text += " (" + status.reason + ")";
    text += ", " + std::to_string(status.queued) + " queued, " + std::to_string(status.dropped) + " dropped";
    return text;
}

MqttPublisher::MqttPublisher(MqttUrl url, PublisherOptions options)
    : url_(std::move(url)), options_(std::move(options)), queue_(options_.queueCapacity, options_.window)
{
    InitLibraryOnce();
    retryDelaySeconds_ = std::max(1, options_.retryMinSeconds);
    mosq_ = mosquitto_new(nullptr, true, this);
    if (!mosq_)
        throw std::runtime_error("cannot create an MQTT client: " + ErrorText(MOSQ_ERR_ERRNO));
    // Our threads call into the client while the network thread runs its loop.
    mosquitto_threaded_set(mosq_, true);
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    // Room for the whole window plus the status messages.
    mosquitto_max_inflight_messages_set(mosq_, static_cast<unsigned>(queue_.window() + 4));
    if (!url_.user.empty())
        mosquitto_username_pw_set(mosq_, url_.user.c_str(), url_.password.empty() ? nullptr : url_.password.c_str());
    if (url_.tls) {
        // The system's CA store, and the broker's name checked against its certificate.
        mosquitto_int_option(mosq_, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        mosquitto_tls_opts_set(mosq_, 1, nullptr, nullptr);
    }
    const std::string statusTopic = url_.statusTopic();
    mosquitto_will_set(mosq_, statusTopic.c_str(), int(sizeof kOffline - 1), kOffline, kQos, true);
    mosquitto_connect_callback_set(mosq_, &MqttPublisher::onConnect);
    mosquitto_disconnect_callback_set(mosq_, &MqttPublisher::onDisconnect);
    mosquitto_publish_callback_set(mosq_, &MqttPublisher::onPublish);

    sender_ = std::thread([this] { senderLoop(); });
    network_ = std::thread([this] { networkLoop(); });
}

MqttPublisher::~MqttPublisher()
{
    bool connected = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        connected = connected_;
    }
    wake_.notify_all();
    sender_.join();

    if (connected) {
        // A clean disconnect does not fire the will: say "offline" ourselves.
        publishStatus(kOffline);
        std::unique_lock<std::mutex> lock(mutex_);
        progress_.wait_for(lock, std::chrono::seconds(1), [&] { return offlineAcked_ || !connected_; });
        lock.unlock();
        mosquitto_disconnect(mosq_);
        lock.lock();
        progress_.wait_for(lock, std::chrono::seconds(1), [&] { return !connected_; });
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        networkStop_ = true;
    }
    networkWake_.notify_all();
    network_.join();
    mosquitto_destroy(mosq_);
}

void MqttPublisher::rowLogged(const LoggedRow& row)
{
    if (row.source != RowSource::Meter)
        return;
    enqueue(ReadingJson(row));
}

void MqttPublisher::enqueue(std::string payload)
{
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push(std::move(payload));
        wake = connected_ && queue_.canSend();
    }
    if (wake)
        wake_.notify_one();
}

PublisherStatus MqttPublisher::status() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    PublisherStatus s;
    s.state = state_;
    s.reason = reason_;
    s.queued = queue_.size();
    s.dropped = queue_.dropped();
    s.delivered = queue_.delivered();
    return s;
}

bool MqttPublisher::waitUntilDelivered(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return progress_.wait_for(lock, timeout, [&] { return queue_.empty(); });
}

void MqttPublisher::senderLoop()
{
    const std::string topic = url_.readingTopic();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || (connected_ && queue_.canSend()); });
        if (stopping_)
            return;
        std::string payload = queue_.take();
        lock.unlock();
        int mid = 0;
        const int rc = mosquitto_publish(mosq_, &mid, topic.c_str(), int(payload.size()), payload.data(), kQos, false);
        lock.lock();
        if (rc == MOSQ_ERR_SUCCESS) {
            queue_.sent(mid);
        } else {
            // Not taken (the connection is going): it waits for the next connection.
            queue_.unsent(std::move(payload));
            wake_.wait_for(lock, std::chrono::milliseconds(100), [&] { return stopping_; });
        }
    }
}

void MqttPublisher::networkLoop()
{
    int rc = mosquitto_connect_async(mosq_, url_.host.c_str(), url_.port, options_.keepAliveSeconds);
    std::unique_lock<std::mutex> lock(mutex_);
    while (!networkStop_) {
        if (rc != MOSQ_ERR_SUCCESS) {
            // No connection: say why, pause (1, 2, 4, ... s), try again.
            if (!stopping_) {
                // A refusal or a lost connection already said why; a failed retry says it now.
                if (!reasonFresh_)
                    reason_ = ErrorText(rc);
                reasonFresh_ = false;
                state_ = BrokerState::Reconnecting;
                connected_ = false;
            }
            const int delay = retryDelaySeconds_;
            retryDelaySeconds_ = std::min(std::max(1, options_.retryMaxSeconds), retryDelaySeconds_ * 2);
            lock.unlock();
            notifyState();
            lock.lock();
            networkWake_.wait_for(lock, std::chrono::seconds(delay), [&] { return networkStop_ || stopping_; });
            if (networkStop_ || stopping_)
                break;
            lock.unlock();
            rc = mosquitto_reconnect_async(mosq_);
            lock.lock();
            continue;
        }
        lock.unlock();
        rc = mosquitto_loop(mosq_, kLoopTimeoutMs, 1);
        lock.lock();
    }
    lock.unlock();
    // A stop while connected has already sent DISCONNECT; let the library finish writing.
    if (rc == MOSQ_ERR_SUCCESS)
        mosquitto_loop(mosq_, 50, 1);
}

void MqttPublisher::onConnect(struct mosquitto*, void* self, int rc)
{
    auto* p = static_cast<MqttPublisher*>(self);
    {
        std::lock_guard<std::mutex> lock(p->mutex_);
        if (rc == 0) {
            p->connected_ = true;
            p->state_ = BrokerState::Connected;
            p->reason_.clear();
            p->retryDelaySeconds_ = std::max(1, p->options_.retryMinSeconds);
        } else {
            p->connected_ = false;
            p->state_ = BrokerState::Reconnecting;
            p->reason_ = std::string("refused: ") + mosquitto_connack_string(rc);
            p->reasonFresh_ = true;
        }
    }
    if (rc == 0) {
        p->publishStatus(kOnline);
        p->wake_.notify_all();
    }
    p->notifyState();
}

void MqttPublisher::onDisconnect(struct mosquitto*, void* self, int rc)
{
    auto* p = static_cast<MqttPublisher*>(self);
    {
        std::lock_guard<std::mutex> lock(p->mutex_);
        const bool wasConnected = p->connected_;
        p->connected_ = false;
        if (!p->stopping_) {
            p->state_ = BrokerState::Reconnecting;
            if (wasConnected) {
                p->reason_ = rc == 0 ? "disconnected" : "connection lost: " + ErrorText(rc);
                p->reasonFresh_ = true;
            }
        }
    }
    p->progress_.notify_all();
    p->notifyState();
}

void MqttPublisher::onPublish(struct mosquitto*, void* self, int mid)
{
    auto* p = static_cast<MqttPublisher*>(self);
    {
        std::lock_guard<std::mutex> lock(p->mutex_);
        if (p->statusMids_.erase(mid) > 0) {
            if (mid == p->offlineMid_)
                p->offlineAcked_ = true;
        } else {
            p->queue_.acknowledged(mid);
        }
    }
    p->wake_.notify_one();
    p->progress_.notify_all();
}

void MqttPublisher::publishStatus(const char* text)
{
    const std::string topic = url_.statusTopic();
    // Registered before the broker can answer: the acknowledgement comes on the network
    // thread, which takes the same lock.
    std::lock_guard<std::mutex> lock(mutex_);
    int mid = 0;
    if (mosquitto_publish(mosq_, &mid, topic.c_str(), int(std::strlen(text)), text, kQos, true) == MOSQ_ERR_SUCCESS) {
        statusMids_.insert(mid);
        if (std::strcmp(text, kOffline) == 0)
            offlineMid_ = mid;
    }
}

void MqttPublisher::notifyState()
{
    if (options_.onStateChange)
        options_.onStateChange(status());
}

} // namespace varnex
