#include "log/files/XmlSizeGuard.h"

#include <cstring>

namespace varnex {

XmlSizeGuard::XmlSizeGuard(QIODevice& source) : source_(source)
{
    // Unbuffered: the reader reads straight through into its own buffer.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 XmlSizeGuard::readData(char* data, qint64 maxSize)
{
    if (refused_)
        return -1;
    const qint64 got = source_.read(data, maxSize);
    if (got <= 0)
        return got;
    if (!scan(data, static_cast<std::size_t>(got))) {
        refused_ = true;
        return -1; // the reader sees a broken document and stops
    }
    return got;
}

bool XmlSizeGuard::scan(const char* data, std::size_t size)
{
    const char* const end = data + size;
    for (const char* at = data; at < end;) {
        // Most bytes are attribute values and the line breaks between rows: skip to the
        // byte that ends them in one go.
        if (state_ == State::Quoted || state_ == State::Text) {
            const char stop = state_ == State::Quoted ? quote_ : '<';
            const auto* found = static_cast<const char*>(std::memchr(at, stop, std::size_t(end - at)));
            const std::size_t skipped = std::size_t((found ? found : end) - at);
            tokenBytes_ += skipped;
            if (tokenBytes_ > kMaxTokenBytes)
                return false;
            if (skipped > 0) {
                beforeLast_ = skipped > 1 ? at[skipped - 2] : last_;
                last_ = at[skipped - 1];
            }
            at += skipped;
            if (!found)
                break;
        }
        if (!step(*at++))
            return false;
    }
    return true;
}

bool XmlSizeGuard::closeTag()
{
    if (endTag_)
        --depth_;
    else if (last_ != '/' && ++depth_ > kMaxDepth)
        return false;
    state_ = State::Text;
    tokenBytes_ = 0;
    return true;
}

bool XmlSizeGuard::step(char c)
{
    if (++tokenBytes_ > kMaxTokenBytes)
        return false;
    switch (state_) {
    case State::Text:
        if (c == '<') {
            state_ = State::TagStart;
            tokenBytes_ = 1;
        }
        break;
    case State::TagStart:
        attributes_ = 0;
        endTag_ = c == '/';
        if (c == '!') {
            state_ = State::Bang;
            bang_.clear();
        } else if (c == '?') {
            state_ = State::Instruction;
        } else {
            state_ = State::Tag;
        }
        break;
    case State::Tag:
        if (c == '"' || c == '\'') {
            quote_ = c;
            state_ = State::Quoted;
        } else if (c == '=') {
            if (++attributes_ > kMaxAttributes)
                return false;
        } else if (c == '>') {
            if (!closeTag())
                return false;
        }
        break;
    case State::Quoted:
        if (c == quote_)
            state_ = State::Tag;
        break;
    case State::Bang:
        bang_.push_back(c);
        if (bang_ == "--")
            state_ = State::Comment;
        else if (bang_ == "[")
            state_ = State::CData;
        else if (bang_.size() >= 2 || c != '-')
            return false; // a DOCTYPE or other declaration
        break;
    case State::Comment:
        if (c == '>' && last_ == '-' && beforeLast_ == '-') {
            state_ = State::Text;
            tokenBytes_ = 0;
        }
        break;
    case State::CData:
        if (c == '>' && last_ == ']' && beforeLast_ == ']') {
            state_ = State::Text;
            tokenBytes_ = 0;
        }
        break;
    case State::Instruction:
        if (c == '>' && last_ == '?') {
            state_ = State::Text;
            tokenBytes_ = 0;
        }
        break;
    }
    beforeLast_ = last_;
    last_ = c;
    return true;
}

} // namespace varnex
