// Every state a search reached, in the order it reached them: each entry is
// a packed state (of a size fixed for the search) and a four-byte link: the
// entry it came from, the move that led here, and two marks of the search.
// An open-addressing index of entry numbers finds a state again. The table
// stores whole states, never hashes alone, so "no way" stays a proof.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// Large arrays on the memory's huge pages where the system lends them: the
// index is read at random, and with small pages most reads of a big search
// also miss the address cache.
template <class T> struct HugePageAllocator {
    using value_type = T;
    HugePageAllocator() = default;
    template <class U> HugePageAllocator(const HugePageAllocator<U>&) {}
    T* allocate(std::size_t count);
    void deallocate(T* data, std::size_t) { std::free(data); }
    template <class U> bool operator==(const HugePageAllocator<U>&) const { return true; }
    template <class U> bool operator!=(const HugePageAllocator<U>&) const { return false; }
};

class StateTable {
  public:
    // Entry numbers stay below this: the link and the index keep 27 bits
    // for them (the index one more than the number).
    static constexpr uint32_t entryLimit = (uint32_t{1} << 27) - 1;
    // The move of the first entry, which came from nowhere.
    static constexpr uint32_t noMove = 7;

    explicit StateTable(std::size_t keyBytes);

    static uint64_t hashOf(const uint8_t* key, std::size_t keyBytes);

    // The entry number of the key, or -1.
    int64_t find(const uint8_t* key, uint64_t hash) const;
    // Asks the memory for the key's first index place, before a find.
    void prefetch(uint64_t hash) const { __builtin_prefetch(&index[firstIndexPlace(hash)]); }
    // Adds a key that is not in the table yet (below entryLimit entries);
    // returns its entry number.
    uint32_t add(const uint8_t* key, uint64_t hash);

    const uint8_t* keyAt(uint32_t entry) const { return placeOf(entry); }
    std::size_t size() const { return count; }
    // Bytes of the entries' blocks and of the index, as held now.
    std::size_t bytesHeld() const;

    // The link's fields; a new entry has from 0, no move and both marks off.
    uint32_t fromOf(uint32_t entry) const { return linkAt(entry) & entryLimit; }
    uint32_t moveOf(uint32_t entry) const { return linkAt(entry) >> 27 & 7u; }
    void setFrom(uint32_t entry, uint32_t from, uint32_t move);
    bool mark(uint32_t entry, int which) const { return (linkAt(entry) >> (30 + which) & 1u) != 0; }
    void setMark(uint32_t entry, int which, bool on);

  private:
    // Entries live in blocks of a fixed count: no entry ever moves, and the
    // table never holds two copies of them while it grows.
    static constexpr unsigned blockBits = 14;
    static constexpr uint32_t blockEntries = uint32_t{1} << blockBits;

    uint8_t* placeOf(uint32_t entry) const;
    uint32_t linkAt(uint32_t entry) const;
    void setLink(uint32_t entry, uint32_t link);
    std::size_t firstIndexPlace(uint64_t hash) const;
    void placeInIndex(uint32_t entry, uint64_t hash);
    void growIndex();

    std::size_t keyBytes;
    std::size_t entryBytes;
    std::vector<std::unique_ptr<uint8_t[]>> blocks;
    // Entry number + 1 and a few bits of the hash in each place, 0 for an
    // empty place; between half and three quarters full once it has grown.
    std::vector<uint32_t, HugePageAllocator<uint32_t>> index;
    std::size_t count = 0;
};
