#pragma once
// Where readings go: mqtt://[USER[:PASSWORD]@]HOST[:PORT]/TOPIC/PREFIX, or mqtts:// for TLS
// checked against the system's CA store. The path is the topic prefix: readings go to
// PREFIX/reading, the connection state to PREFIX/status.
#include <optional>
#include <string>
#include <string_view>

namespace varnex {

struct MqttUrl {
    bool tls = false;
    std::string host;
    int port = 1883;
    std::string user;     // empty: connect without a user name
    std::string password; // only used with a user
    std::string prefix;   // "lab/bench3", never empty, no '+' or '#', no trailing '/'

    std::string readingTopic() const { return prefix + "/reading"; }
    std::string statusTopic() const { return prefix + "/status"; }
    // The URL without the password, for messages and tooltips.
    std::string display() const;
};

inline constexpr int kMqttDefaultPort = 1883;
inline constexpr int kMqttsDefaultPort = 8883;

// Reads a --mqtt argument. On failure returns nothing and, if `error` is given, a sentence
// that says what is wrong with the text.
std::optional<MqttUrl> ParseMqttUrl(std::string_view text, std::string* error = nullptr);

} // namespace varnex
