#include "log/TextDictionary.h"

#include <cstring>
#include <stdexcept>

namespace varnex {

namespace {
constexpr std::size_t InitialSlots = 1024;
} // namespace

TextDictionary::TextDictionary()
{
    clear();
}

std::uint64_t TextDictionary::hashOf(std::string_view text)
{
    // Eight bytes at a time, then a murmur-style final mix: texts are at most a few
    // dozen bytes, so this stays a handful of multiplies.
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (text.size() * 0xC2B2AE3D27D4EB4Full);
    const char* p = text.data();
    std::size_t left = text.size();
    while (left >= 8) {
        std::uint64_t k;
        std::memcpy(&k, p, 8);
        h = (h ^ k) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
        p += 8;
        left -= 8;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, p, left);
    h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 29;
    return h;
}

std::string_view TextDictionary::text(Id id) const
{
    const char* entry = pages_[id >> PageShift].get() + (id & (PageBytes - 1));
    return {entry + 1, static_cast<unsigned char>(entry[0])};
}

std::size_t TextDictionary::findSlot(std::string_view text, std::uint64_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Id id = slots_[i];
        if (id == EmptyTextId || this->text(id) == text)
            return i;
    }
}

TextDictionary::Id TextDictionary::intern(std::string_view text)
{
    if (text.size() > MaxTextBytes)
        text = text.substr(0, MaxTextBytes);
    if (text.empty())
        return EmptyTextId;
    const std::uint64_t hash = hashOf(text);
    std::size_t slot = findSlot(text, hash);
    if (slots_[slot] != EmptyTextId)
        return slots_[slot];
    // Keep the table at most 70 % full so probe runs stay short.
    if ((count_ + 1) * 10 > slots_.size() * 7) {
        growSlots();
        slot = findSlot(text, hash);
    }
    const Id id = storeText(text);
    slots_[slot] = id;
    ++count_;
    return id;
}

TextDictionary::Id TextDictionary::storeText(std::string_view text)
{
    const std::size_t entryBytes = 1 + text.size();
    if (usedInLastPage_ + entryBytes > PageBytes) {
        if (pages_.size() >= (std::size_t{1} << (32 - PageShift)))
            throw std::length_error("text dictionary full");
        pages_.emplace_back(new char[PageBytes]); // left untouched until written
        usedInLastPage_ = 0;
    }
    char* entry = pages_.back().get() + usedInLastPage_;
    entry[0] = static_cast<char>(text.size());
    std::memcpy(entry + 1, text.data(), text.size());
    const Id id = static_cast<Id>(((pages_.size() - 1) << PageShift) | usedInLastPage_);
    usedInLastPage_ += entryBytes;
    return id;
}

void TextDictionary::growSlots()
{
    std::vector<Id> old;
    old.swap(slots_);
    slots_.assign(old.size() * 2, EmptyTextId);
    const std::size_t mask = slots_.size() - 1;
    for (Id id : old) {
        if (id == EmptyTextId)
            continue;
        std::size_t i = hashOf(text(id)) & mask;
        while (slots_[i] != EmptyTextId)
            i = (i + 1) & mask;
        slots_[i] = id;
    }
}

std::size_t TextDictionary::memoryBytes() const
{
    return pages_.size() * PageBytes + pages_.capacity() * sizeof(pages_[0])
         + slots_.capacity() * sizeof(Id);
}

void TextDictionary::clear()
{
    std::vector<std::unique_ptr<char[]>>().swap(pages_);
    std::vector<Id>(InitialSlots, EmptyTextId).swap(slots_);
    count_ = 0;
    // Page 0 opens with the empty text, so its id is 0.
    pages_.emplace_back(new char[PageBytes]);
    pages_[0][0] = 0;
    usedInLastPage_ = 1;
}

} // namespace varnex
