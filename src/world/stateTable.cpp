#include "world/stateTable.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <sys/mman.h>

namespace {

constexpr uint64_t golden = 0x9E3779B97F4A7C15ull;
constexpr std::size_t firstIndexPlaces = 1024;
// An index place holds the entry number + 1 in its low bits and a few bits
// of the key's hash above them: most places whose key differs are passed
// over without reading the entry, which is far away in memory.
constexpr unsigned entryBits = 27;
constexpr uint32_t entryMask = (uint32_t{1} << entryBits) - 1;

uint32_t fingerprintOf(uint64_t hash) {
    return static_cast<uint32_t>(hash >> 8) & ~entryMask;
}

} // namespace

template <class T> T* HugePageAllocator<T>::allocate(std::size_t count) {
    constexpr std::size_t hugePage = std::size_t{2} << 20;
    const std::size_t bytes = count * sizeof(T);
    void* data = nullptr;
    if (bytes >= 2 * hugePage) {
        data = std::aligned_alloc(hugePage, (bytes + hugePage - 1) / hugePage * hugePage);
        if (data != nullptr) {
            // Only advice: without huge pages the index works the same.
            madvise(data, bytes, MADV_HUGEPAGE);
        }
    } else {
        data = std::malloc(bytes);
    }
    if (data == nullptr) {
        throw std::bad_alloc();
    }
    return static_cast<T*>(data);
}

template struct HugePageAllocator<uint32_t>;

StateTable::StateTable(std::size_t keyBytes)
    : keyBytes(keyBytes), entryBytes(keyBytes + sizeof(uint32_t)), index(firstIndexPlaces, 0) {}

uint64_t StateTable::hashOf(const uint8_t* key, std::size_t keyBytes) {
    uint64_t hash = keyBytes;
    for (std::size_t at = 0; at < keyBytes; at += sizeof(uint64_t)) {
        uint64_t word = 0;
        std::memcpy(&word, key + at, std::min(sizeof(uint64_t), keyBytes - at));
        hash = (hash ^ word) * golden;
        hash ^= hash >> 32;
    }
    return hash * golden;
}

uint8_t* StateTable::placeOf(uint32_t entry) const {
    return blocks[entry >> blockBits].get() + std::size_t{entry & (blockEntries - 1)} * entryBytes;
}

uint32_t StateTable::linkAt(uint32_t entry) const {
    uint32_t link = 0;
    std::memcpy(&link, placeOf(entry) + keyBytes, sizeof link);
    return link;
}

void StateTable::setLink(uint32_t entry, uint32_t link) {
    std::memcpy(placeOf(entry) + keyBytes, &link, sizeof link);
}

void StateTable::setFrom(uint32_t entry, uint32_t from, uint32_t move) {
    const uint32_t marks = linkAt(entry) & (uint32_t{3} << 30);
    setLink(entry, marks | (move & 7u) << 27 | (from & entryLimit));
}

void StateTable::setMark(uint32_t entry, int which, bool on) {
    const uint32_t bit = uint32_t{1} << (30 + which);
    const uint32_t link = linkAt(entry);
    setLink(entry, on ? link | bit : link & ~bit);
}

// The hash's highest 32 bits, which the multiplication mixed best, scaled
// to the index's size (which need not be a power of two).
std::size_t StateTable::firstIndexPlace(uint64_t hash) const {
    return static_cast<std::size_t>(((hash >> 32) * index.size()) >> 32);
}

int64_t StateTable::find(const uint8_t* key, uint64_t hash) const {
    const uint32_t fingerprint = fingerprintOf(hash);
    for (std::size_t place = firstIndexPlace(hash);;
         place = place + 1 == index.size() ? 0 : place + 1) {
        const uint32_t held = index[place];
        if (held == 0) {
            return -1;
        }
        const uint32_t entry = (held & entryMask) - 1;
        if ((held & ~entryMask) == fingerprint && std::memcmp(keyAt(entry), key, keyBytes) == 0) {
            return entry;
        }
    }
}

void StateTable::placeInIndex(uint32_t entry, uint64_t hash) {
    std::size_t place = firstIndexPlace(hash);
    while (index[place] != 0) {
        place = place + 1 == index.size() ? 0 : place + 1;
    }
    index[place] = fingerprintOf(hash) | (entry + 1);
}

uint32_t StateTable::add(const uint8_t* key, uint64_t hash) {
    if ((count + 1) * 4 > index.size() * 3) {
        growIndex();
    }
    const uint32_t entry = static_cast<uint32_t>(count);
    if ((entry & (blockEntries - 1)) == 0) {
        // Not cleared: every byte of an entry is written when it is added.
        blocks.emplace_back(new uint8_t[blockEntries * entryBytes]);
    }
    std::memcpy(placeOf(entry), key, keyBytes);
    setLink(entry, noMove << 27);
    placeInIndex(entry, hash);
    ++count;
    return entry;
}

// Half as large again, so the index stays between half and three quarters
// full. The places are found again from the keys, so the old index goes
// first and the peak never holds both.
void StateTable::growIndex() {
    const std::size_t places = index.size() + index.size() / 2;
    index.clear();
    index.shrink_to_fit();
    index.assign(places, 0);
    // In batches whose places are fetched ahead: each place is a miss of
    // the cache, and the batch waits for them together.
    constexpr uint32_t batch = 16;
    uint64_t hashes[batch];
    for (uint32_t first = 0; first < count; first += batch) {
        const uint32_t end = static_cast<uint32_t>(std::min<std::size_t>(count, first + batch));
        for (uint32_t entry = first; entry < end; ++entry) {
            hashes[entry - first] = hashOf(keyAt(entry), keyBytes);
            __builtin_prefetch(&index[firstIndexPlace(hashes[entry - first])], 1);
        }
        for (uint32_t entry = first; entry < end; ++entry) {
            placeInIndex(entry, hashes[entry - first]);
        }
    }
}

std::size_t StateTable::bytesHeld() const {
    return blocks.size() * blockEntries * entryBytes + index.capacity() * sizeof(uint32_t);
}
