#pragma once
// Interns short byte texts: each distinct text is stored once and named by a 32-bit id.
// Texts live in fixed-size pages that never move, so a view of a text stays valid
// until clear(). The empty text always has the id EmptyTextId.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace varnex {

class TextDictionary {
public:
    using Id = std::uint32_t;
    static constexpr Id EmptyTextId = 0;
    static constexpr std::size_t MaxTextBytes = 255; // one length byte per entry

    TextDictionary();
    TextDictionary(const TextDictionary&) = delete;
    TextDictionary& operator=(const TextDictionary&) = delete;

    // Returns the id of `text`, adding it when it is new. Texts longer than
    // MaxTextBytes are cut to that length.
    Id intern(std::string_view text);
    // The text of an id returned by intern() since the last clear().
    std::string_view text(Id id) const;
    // Number of distinct non-empty texts held.
    std::size_t size() const { return count_; }
    std::size_t memoryBytes() const;
    // Forgets every text and gives the memory back.
    void clear();

private:
    static constexpr unsigned PageShift = 18; // 256 KiB pages, up to 16384 of them
    static constexpr std::size_t PageBytes = std::size_t{1} << PageShift;

    static std::uint64_t hashOf(std::string_view text);
    Id storeText(std::string_view text);
    void growSlots();
    std::size_t findSlot(std::string_view text, std::uint64_t hash) const;

    std::vector<std::unique_ptr<char[]>> pages_;
    std::size_t usedInLastPage_ = 0;
    // Open addressing with linear probing; a slot holds an id, 0 marks a free slot
    // (the empty text never enters the table).
    std::vector<Id> slots_;
    std::size_t count_ = 0;
};

} // namespace varnex
