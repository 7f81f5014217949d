#include "log/LogStore.h"

#include <utility>

#include <algorithm>
#include <cassert>
#include <array>
#include <memory>
#include <vector>

#include "log/TextDictionary.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace varnex {

namespace {

constexpr int TextFieldCount = LogFieldCount - 1; // every field but No

// 28 bytes a row: the number and one dictionary id per text field.
struct StoredRow {
    std::int32_t no;
    std::array<TextDictionary::Id, TextFieldCount> text;
};
static_assert(sizeof(StoredRow) == 28, "a stored row is seven 32-bit words");

// Rows sit in fixed-size chunks: appending never moves or copies earlier rows, the
// memory grows by one chunk at a time, and a row is found by a shift and a mask.
constexpr unsigned ChunkShift = 14;
constexpr std::size_t ChunkRows = std::size_t{1} << ChunkShift;

std::string_view cut(std::string_view text)
{
    return text.substr(0, std::min(text.size(), LogTextWidth));
}

} // namespace

struct LogStore::Impl {
    std::vector<std::unique_ptr<StoredRow[]>> chunks;
    std::size_t rows = 0;
    std::int64_t current = -1;
    TextDictionary dictionary;
    // The id last stored in each text column: readings repeat their function, unit
    // and time texts row after row, so most cells skip the dictionary lookup.
    std::array<TextDictionary::Id, TextFieldCount> lastId{};
    LogStoreObserver* observer = nullptr;

    TextDictionary::Id idFor(int column, std::string_view text)
    {
        text = cut(text);
        if (dictionary.text(lastId[column]) != text)
            lastId[column] = dictionary.intern(text);
        return lastId[column];
    }

    const StoredRow& at(std::size_t index) const
    {
        assert(index < rows);
        return chunks[index >> ChunkShift][index & (ChunkRows - 1)];
    }
};

LogStore::LogStore() : d(new Impl) {}

LogStore::~LogStore()
{
    delete d;
}

void LogStore::append(const LogRowInput& row)
{
    // Everything that can throw (new texts, a new chunk) happens before the observer
    // hears of the row, so a failed append leaves the table and the grid as they were.
    StoredRow stored;
    stored.no = row.No;
    stored.text[0] = d->idFor(0, row.Time);
    stored.text[1] = d->idFor(1, row.Function);
    stored.text[2] = d->idFor(2, row.Value);
    stored.text[3] = d->idFor(3, row.Unit);
    stored.text[4] = d->idFor(4, row.Value2);
    stored.text[5] = d->idFor(5, row.Unit2);
    const std::size_t index = d->rows;
    if ((index & (ChunkRows - 1)) == 0)
        d->chunks.emplace_back(new StoredRow[ChunkRows]); // pages touched as rows land

    if (d->observer)
        d->observer->rowAboutToBeAppended(index);
    d->chunks.back()[index & (ChunkRows - 1)] = stored;
    d->rows = index + 1;
    d->current = static_cast<std::int64_t>(index);
    if (d->observer) {
        d->observer->rowAppended(index);
        d->observer->currentRowMoved(d->current);
    }
}

std::size_t LogStore::size() const
{
    return d->rows;
}

LogRowView LogStore::row(std::size_t index) const
{
    const StoredRow& stored = d->at(index);
    const TextDictionary& dict = d->dictionary;
    LogRowView view;
    view.No = stored.no;
    view.Time = dict.text(stored.text[0]);
    view.Function = dict.text(stored.text[1]);
    view.Value = dict.text(stored.text[2]);
    view.Unit = dict.text(stored.text[3]);
    view.Value2 = dict.text(stored.text[4]);
    view.Unit2 = dict.text(stored.text[5]);
    return view;
}

void LogStore::clear()
{
    if (d->observer)
        d->observer->storeAboutToBeCleared();
    std::vector<std::unique_ptr<StoredRow[]>>().swap(d->chunks);
    d->rows = 0;
    d->current = -1;
    d->dictionary.clear();
    d->lastId.fill(TextDictionary::EmptyTextId);
#ifdef __GLIBC__
    malloc_trim(0); // hand the freed rows back to the system, not just to the heap
#endif
    if (d->observer) {
        d->observer->storeCleared();
        d->observer->currentRowMoved(-1);
    }
}

void LogStore::swapRows(LogStore& other)
{
    LogStoreObserver* const mine = d->observer;
    LogStoreObserver* const theirs = other.d->observer;
    for (LogStoreObserver* o : {mine, theirs})
        if (o)
            o->storeAboutToBeCleared();
    std::swap(d, other.d);
    d->observer = mine;
    other.d->observer = theirs;
    for (LogStore* store : {this, &other}) {
        if (LogStoreObserver* o = store->d->observer) {
            o->storeCleared();
            o->currentRowMoved(store->d->current);
        }
    }
}

std::int64_t LogStore::currentRow() const
{
    return d->current;
}

void LogStore::setCurrentRow(std::int64_t index)
{
    // Like a table cursor: a move past either end stops at the first or last row.
    const std::int64_t last = static_cast<std::int64_t>(d->rows) - 1;
    const std::int64_t target = d->rows == 0 ? -1 : std::clamp<std::int64_t>(index, 0, last);
    if (target == d->current)
        return;
    d->current = target;
    if (d->observer)
        d->observer->currentRowMoved(target);
}

std::size_t LogStore::memoryBytes() const
{
    return sizeof(Impl) + d->chunks.size() * ChunkRows * sizeof(StoredRow)
         + d->chunks.capacity() * sizeof(d->chunks[0]) + d->dictionary.memoryBytes();
}

void LogStore::reserve(std::size_t rows)
{
    // Chunks never move, so only the chunk table needs room.
    d->chunks.reserve((rows + ChunkRows - 1) >> ChunkShift);
}

void LogStore::setObserver(LogStoreObserver* observer)
{
    d->observer = observer;
}

LogStoreObserver* LogStore::observer() const
{
    return d->observer;
}

std::size_t LogStore::distinctTexts() const
{
    return d->dictionary.size();
}

} // namespace varnex
