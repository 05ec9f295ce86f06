// JPEG Huffman tables that stb_image would copy past its fixed arrays: a table
// claiming more than 256 symbols, or one running past its segment. Found by
// fuzzing the decoder; such files must be refused before it runs.
#include "assets/image.h"
#include "support/glContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <numeric>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr unsigned char huffmanMarker = 0xC4;
constexpr std::size_t tableHeaderBytes = 17;

Bytes gameJpeg() {
    std::ifstream file(sourcePath("tilewall.jpg"), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Offset of the first Huffman segment's length field; the segments before
// the first scan are walked by their lengths.
std::size_t firstHuffmanSegment(const Bytes& jpeg) {
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != 0xDA) {
        if (jpeg[pos + 1] == huffmanMarker) {
            return pos + 2;
        }
        pos += 2 + (std::size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3]);
    }
    return 0;
}

std::size_t segmentLength(const Bytes& jpeg, std::size_t segment) {
    return std::size_t(jpeg[segment]) << 8 | jpeg[segment + 1];
}

void setSegmentLength(Bytes& jpeg, std::size_t segment, std::size_t length) {
    jpeg[segment] = static_cast<unsigned char>(length >> 8);
    jpeg[segment + 1] = static_cast<unsigned char>(length & 0xFF);
}

std::size_t symbolCount(const Bytes& jpeg, std::size_t table) {
    return std::accumulate(jpeg.begin() + table + 1, jpeg.begin() + table + tableHeaderBytes,
                           std::size_t(0));
}

// Offsets of the tables inside the segment, each at its class and id byte.
std::vector<std::size_t> tablesOf(const Bytes& jpeg, std::size_t segment) {
    std::vector<std::size_t> tables;
    const std::size_t end = segment + segmentLength(jpeg, segment);
    for (std::size_t table = segment + 2; table < end;
         table += tableHeaderBytes + symbolCount(jpeg, table)) {
        tables.push_back(table);
    }
    return tables;
}

std::string refusalOf(const Bytes& jpeg) {
    RgbImage image;
    std::string reason;
    EXPECT_FALSE(decodeRgbImageFromMemory(jpeg.data(), jpeg.size(), image, reason));
    EXPECT_TRUE(image.pixels.empty());
    return reason;
}

class HuffmanTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        jpeg = gameJpeg();
        ASSERT_FALSE(jpeg.empty());
        segment = firstHuffmanSegment(jpeg);
        ASSERT_NE(segment, 0u);
        tables = tablesOf(jpeg, segment);
        ASSERT_GE(tables.size(), 2u) << "the cases below need several tables in one segment";
    }

    Bytes jpeg;
    std::size_t segment = 0;
    std::vector<std::size_t> tables;
};

} // namespace

TEST_F(HuffmanTableTest, SeveralTablesInOneSegmentStillDecode) {
    RgbImage image;
    std::string reason;
    EXPECT_TRUE(decodeRgbImageFromMemory(jpeg.data(), jpeg.size(), image, reason)) << reason;
}

TEST_F(HuffmanTableTest, MoreThan256SymbolsAreRefused) {
    for (unsigned char count : {255, 17}) { // 16 x 255 = 4080 and 16 x 17 = 272 symbols
        Bytes bad = jpeg;
        std::fill(bad.begin() + tables[0] + 1, bad.begin() + tables[0] + tableHeaderBytes, count);
        EXPECT_NE(refusalOf(bad).find("Huffman table"), std::string::npos) << int(count);
    }
}

TEST_F(HuffmanTableTest, ExactlyTheArraysWorthOf256SymbolsIsLeftToTheDecoder) {
    // 255 codes of 8 bits and one of 9: 256 symbols with valid code lengths,
    // replacing the last table with the values the segment must then carry.
    const std::size_t table = tables.back();
    const std::size_t oldSymbols = symbolCount(jpeg, table);
    Bytes counts(16, 0);
    counts[7] = 255;
    counts[8] = 1;
    Bytes changed(jpeg.begin(), jpeg.begin() + table + 1);
    changed.insert(changed.end(), counts.begin(), counts.end());
    for (int value = 0; value < 256; ++value) {
        changed.push_back(static_cast<unsigned char>(value));
    }
    changed.insert(changed.end(), jpeg.begin() + table + tableHeaderBytes + oldSymbols, jpeg.end());
    setSegmentLength(changed, segment, segmentLength(jpeg, segment) + 256 - oldSymbols);
    RgbImage image;
    std::string reason;
    decodeRgbImageFromMemory(changed.data(), changed.size(), image, reason);
    EXPECT_EQ(reason.find("Huffman table"), std::string::npos) << reason;
}

TEST_F(HuffmanTableTest, ATableRunningPastItsSegmentIsRefused) {
    Bytes bad = jpeg;
    // One symbol more in the last table: its values now reach into the next segment.
    const std::size_t last = tables.back();
    const auto firstNonFull =
        std::find_if(bad.begin() + last + 1, bad.begin() + last + tableHeaderBytes,
                     [](unsigned char c) { return c < 255; });
    ++*firstNonFull;
    EXPECT_NE(refusalOf(bad).find("Huffman table"), std::string::npos);
}

TEST_F(HuffmanTableTest, ASegmentEndingInsideATableHeaderIsRefused) {
    Bytes bad = jpeg;
    const std::size_t end = segment + segmentLength(jpeg, segment);
    const Bytes partialHeader = {0x01, 0, 0, 0, 0};
    bad.insert(bad.begin() + end, partialHeader.begin(), partialHeader.end());
    setSegmentLength(bad, segment, segmentLength(jpeg, segment) + partialHeader.size());
    EXPECT_NE(refusalOf(bad).find("Huffman table"), std::string::npos);
}
