#include "app/publisher/MqttUrl.h"

#include <cctype>

namespace varnex {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view head)
{
    if (text.size() < head.size())
        return false;
    for (std::size_t i = 0; i < head.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != head[i])
            return false;
    return true;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// %XX escapes let a password hold '@', ':' or '/'.
std::optional<std::string> PercentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int hi = HexValue(text[i + 1]);
        const int lo = HexValue(text[i + 2]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

bool Fail(std::string* error, std::string message)
{
    if (error)
        *error = std::move(message);
    return false;
}

} // namespace

std::string MqttUrl::display() const
{
    std::string text = tls ? "mqtts://" : "mqtt://";
    if (!user.empty())
        text += user + "@";
    if (host.find(':') != std::string::npos)
        text += "[" + host + "]";
    else
        text += host;
    text += ":" + std::to_string(port) + "/" + prefix;
    return text;
}

std::optional<MqttUrl> ParseMqttUrl(std::string_view text, std::string* error)
{
    MqttUrl url;
    std::string_view rest;
    if (StartsWithNoCase(text, "mqtts://")) {
        url.tls = true;
        url.port = kMqttsDefaultPort;
        rest = text.substr(8);
    } else if (StartsWithNoCase(text, "mqtt://")) {
        url.port = kMqttDefaultPort;
        rest = text.substr(7);
    } else {
        Fail(error, "the MQTT URL must start with mqtt:// or mqtts://");
        return std::nullopt;
    }

    const std::size_t slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    std::string_view path = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);

    // The user part ends at the last '@': a password may hold a raw '@' too.
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        authority = authority.substr(at + 1);
        const std::size_t colon = userInfo.find(':');
        auto user = PercentDecode(userInfo.substr(0, colon));
        auto password = colon == std::string_view::npos ? std::optional<std::string>(std::string())
                                                        : PercentDecode(userInfo.substr(colon + 1));
        if (!user || !password) {
            Fail(error, "the MQTT URL has a bad %-escape in its user or password");
            return std::nullopt;
        }
        if (user->empty()) {
            Fail(error, "the MQTT URL has a password but no user name");
            return std::nullopt;
        }
        url.user = std::move(*user);
        url.password = std::move(*password);
    }

    std::string_view portText;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) {
            Fail(error, "the MQTT URL has an IPv6 address without its closing ']'");
            return std::nullopt;
        }
        url.host = std::string(authority.substr(1, close - 1));
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') {
                Fail(error, "the MQTT URL has text after the IPv6 address");
                return std::nullopt;
            }
            portText = after.substr(1);
            if (portText.empty()) {
                Fail(error, "the MQTT URL has a ':' but no port");
                return std::nullopt;
            }
        }
    } else {
        const std::size_t colon = authority.find(':');
        url.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) {
            portText = authority.substr(colon + 1);
            if (portText.empty()) {
                Fail(error, "the MQTT URL has a ':' but no port");
                return std::nullopt;
            }
        }
    }
    if (url.host.empty()) {
        Fail(error, "the MQTT URL has no host");
        return std::nullopt;
    }
    if (!portText.empty()) {
        long port = 0;
        for (char c : portText) {
            if (c < '0' || c > '9' || port > 65535) {
                port = -1;
                break;
            }
            port = port * 10 + (c - '0');
        }
        if (port < 1 || port > 65535) {
            Fail(error, "the MQTT URL has a bad port: " + std::string(portText));
            return std::nullopt;
        }
        url.port = static_cast<int>(port);
    }

    while (!path.empty() && path.back() == '/')
        path.remove_suffix(1);
    if (path.empty()) {
        Fail(error, "the MQTT URL needs a topic prefix after the host, as in mqtt://HOST/lab/bench1");
        return std::nullopt;
    }
    if (path.find_first_of("?") != std::string_view::npos) {
        Fail(error, "the MQTT URL must not have a query ('?')");
        return std::nullopt;
    }
    auto prefix = PercentDecode(path);
    if (!prefix) {
        Fail(error, "the MQTT URL has a bad %-escape in its topic prefix");
        return std::nullopt;
    }
    // Wildcards are for subscribers; a topic that holds one cannot be published to.
    if (prefix->find_first_of(std::string("+#\0", 3)) != std::string::npos) {
        Fail(error, "the MQTT topic prefix must not hold '+', '#' or a NUL character");
        return std::nullopt;
    }
    url.prefix = std::move(*prefix);
    return url;
}

} // namespace varnex
