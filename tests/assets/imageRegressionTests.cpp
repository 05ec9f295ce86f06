// JPEG Huffman tables that stb_image would copy past its fixed arrays: a table
// claiming more than 256 symbols, or one running past its segment. Found by
// fuzzing the decoder; such files must be refused before it runs. Also the
// replay of every input the image fuzzer failed on.
#include "assets/image.h"
#include "support/glContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr unsigned char huffmanMarker = 0xC4;
constexpr unsigned char scanMarker = 0xDA;
constexpr std::size_t tableHeaderBytes = 17;

Bytes readFile(const std::string& path) {
    const std::string bytes = fileBytes(path);
    return Bytes(bytes.begin(), bytes.end());
}

Bytes readBytes(const std::string& relativePath) {
    return readFile(sourcePath(relativePath));
}

// A progressive copy of the game's wall texture, made by the fuzzing seeds.
const char* const progressiveJpeg = "tests/fuzz/corpus/imageFuzz/tilewallProgressive.jpg";

bool decodes(const Bytes& jpeg, std::string& reason) {
    RgbImage image;
    return decodeRgbImageFromMemory(jpeg.data(), jpeg.size(), image, reason);
}

// Points the table selectors of a scan's first component elsewhere.
void selectTables(Bytes& jpeg, std::size_t scan, unsigned char selectors) {
    jpeg[scan + 4] = selectors; // after length, component count and component id
}

// Offsets of the length fields of every segment with this marker, in file
// order; the entropy-coded bytes after each scan are stepped over.
std::vector<std::size_t> segmentsOf(const Bytes& jpeg, unsigned char marker) {
    std::vector<std::size_t> found;
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != 0xD9) {
        const unsigned char current = jpeg[pos + 1];
        if (current == marker) {
            found.push_back(pos + 2);
        }
        pos += 2 + (std::size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3]);
        while (current == scanMarker && pos + 1 < jpeg.size() &&
               (jpeg[pos] != 0xFF || jpeg[pos + 1] == 0 ||
                (jpeg[pos + 1] >= 0xD0 && jpeg[pos + 1] <= 0xD7))) {
            ++pos;
        }
    }
    return found;
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
        jpeg = readBytes("tilewall.jpg");
        ASSERT_FALSE(jpeg.empty());
        const std::vector<std::size_t> segments = segmentsOf(jpeg, huffmanMarker);
        ASSERT_FALSE(segments.empty());
        segment = segments.front();
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

TEST_F(HuffmanTableTest, ASequentialScanUsingATableNeverDefinedIsRefused) {
    const std::vector<std::size_t> scans = segmentsOf(jpeg, scanMarker);
    ASSERT_EQ(scans.size(), 1u);
    for (unsigned char selectors : {0x20, 0x03, 0x33}) { // DC 2, AC 3, both
        Bytes bad = jpeg;
        selectTables(bad, scans[0], selectors);
        std::string reason;
        EXPECT_FALSE(decodes(bad, reason));
        EXPECT_NE(reason.find("never defined"), std::string::npos) << int(selectors);
    }
}

// A progressive file's first DC scan names an AC table it never reads, and
// its AC scans a DC table: only the tables a scan decodes with must exist.
TEST(ProgressiveHuffmanTables, OnlyTheTablesAScanReadsMustBeDefined) {
    const Bytes jpeg = readBytes(progressiveJpeg);
    ASSERT_FALSE(jpeg.empty());
    std::string reason;
    EXPECT_TRUE(decodes(jpeg, reason)) << reason;

    const std::vector<std::size_t> scans = segmentsOf(jpeg, scanMarker);
    ASSERT_GE(scans.size(), 2u);
    const std::size_t dcScan = scans[0];
    const std::size_t acScan = scans[1];
    ASSERT_EQ(jpeg[dcScan + 2 + 2 * jpeg[dcScan + 2] + 1], 0) << "the first scan is a DC scan";
    ASSERT_GT(jpeg[acScan + 2 + 2 * jpeg[acScan + 2] + 1], 0) << "the second scan is an AC scan";

    Bytes harmless = jpeg;
    selectTables(harmless, dcScan, 0x03); // AC 3 in a DC scan
    selectTables(harmless, acScan, 0x30); // DC 3 in an AC scan
    EXPECT_TRUE(decodes(harmless, reason)) << reason;

    for (const auto& [scan, selectors] :
         {std::pair<std::size_t, unsigned char>{dcScan, 0x30}, {acScan, 0x03}}) {
        Bytes bad = jpeg;
        selectTables(bad, scan, selectors);
        EXPECT_FALSE(decodes(bad, reason));
        EXPECT_NE(reason.find("never defined"), std::string::npos) << int(selectors);
    }
}

// Every input the image fuzzer ever failed on (tests/fuzz/findings) must now
// give a whole image or a refusal that keeps nothing; under the sanitizers
// this replays each one for memory errors too.
TEST(ImageFuzzFindings, EachDecodesWholeOrIsRefusedCleanly) {
    const std::filesystem::path folder = sourcePath("tests/fuzz/findings/imageFuzz");
    std::size_t replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const Bytes input = readFile(entry.path().string());
        ASSERT_FALSE(input.empty()) << entry.path();
        RgbImage image;
        std::string reason;
        if (decodeRgbImageFromMemory(input.data(), input.size(), image, reason)) {
            EXPECT_GE(image.width, 1) << entry.path();
            EXPECT_GE(image.height, 1) << entry.path();
            EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * 3u)
                << entry.path();
        } else {
            EXPECT_TRUE(image.pixels.empty()) << entry.path();
            EXPECT_EQ(image.width, 0) << entry.path();
            EXPECT_FALSE(reason.empty()) << entry.path();
        }
        ++replayed;
    }
    EXPECT_GE(replayed, 1u) << "no findings in " << folder;
}
