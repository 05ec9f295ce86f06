#include "world/stateTable.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint64_t golden = 0x9E3779B97F4A7C15ull;
constexpr std::size_t firstIndexPlaces = 1024;

} // namespace

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
    setLink(entry, marks | (move & 7u) << 27 | (from & (entryLimit - 1)));
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
    for (std::size_t place = firstIndexPlace(hash);;
         place = place + 1 == index.size() ? 0 : place + 1) {
        const uint32_t held = index[place];
        if (held == 0) {
            return -1;
        }
        if (std::memcmp(keyAt(held - 1), key, keyBytes) == 0) {
            return held - 1;
        }
    }
}

void StateTable::placeInIndex(uint32_t entry, uint64_t hash) {
    std::size_t place = firstIndexPlace(hash);
    while (index[place] != 0) {
        place = place + 1 == index.size() ? 0 : place + 1;
    }
    index[place] = entry + 1;
}

uint32_t StateTable::add(const uint8_t* key, uint64_t hash) {
    if ((count + 1) * 4 > index.size() * 3) {
        growIndex();
    }
    const uint32_t entry = static_cast<uint32_t>(count);
    if ((entry & (blockEntries - 1)) == 0) {
        blocks.push_back(std::make_unique<uint8_t[]>(blockEntries * entryBytes));
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
    for (uint32_t entry = 0; entry < count; ++entry) {
        placeInIndex(entry, hashOf(keyAt(entry), keyBytes));
    }
}

std::size_t StateTable::bytesHeld() const {
    return blocks.size() * blockEntries * entryBytes + index.capacity() * sizeof(uint32_t);
}
