// Decoding of the game's PNG and JPEG files into tightly packed RGB rows.
// Every input is treated as untrusted: the size, the format, the structure
// and the dimensions are checked before the decoder allocates anything.
#include "assets/image.h"

#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_MAX_DIMENSIONS 8192
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>

static_assert(STBI_MAX_DIMENSIONS == maxImageDimension, "decoder and callers share one limit");
static_assert(maxImageFileBytes <= static_cast<std::size_t>(std::numeric_limits<int>::max()),
              "the decoder takes the byte count as an int");

namespace {

enum class ImageFormat { unknown, png, jpeg };

const char* formatName(ImageFormat format) {
    return format == ImageFormat::png ? "PNG" : "JPEG";
}

ImageFormat detectFormat(const unsigned char* data, std::size_t size) {
    static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= sizeof pngSignature && std::memcmp(data, pngSignature, sizeof pngSignature) == 0) {
        return ImageFormat::png;
    }
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return ImageFormat::jpeg;
    }
    return ImageFormat::unknown;
}

std::uint32_t readBigEndian32(const unsigned char* bytes) {
    return (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) |
           (std::uint32_t(bytes[2]) << 8) | std::uint32_t(bytes[3]);
}

std::uint32_t readBigEndian16(const unsigned char* bytes) {
    return (std::uint32_t(bytes[0]) << 8) | std::uint32_t(bytes[1]);
}

// What the file's own structure says before any pixel is decoded.
struct HeaderScan {
    bool sizeKnown = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool complete = false;    // every part lies inside the data, up to the end marker
    std::string tableProblem; // empty while every Huffman table is sound
};

// Chunks from IHDR to IEND, each wholly inside the data.
HeaderScan scanPng(const unsigned char* data, std::size_t size) {
    HeaderScan scan;
    std::size_t pos = 8;
    while (size - pos >= 12) {
        const std::size_t length = readBigEndian32(data + pos);
        if (length > size - pos - 12) {
            return scan;
        }
        const unsigned char* type = data + pos + 4;
        if (pos == 8 && std::memcmp(type, "IHDR", 4) == 0 && length >= 8) {
            scan.sizeKnown = true;
            scan.width = readBigEndian32(data + pos + 8);
            scan.height = readBigEndian32(data + pos + 12);
        }
        if (std::memcmp(type, "IEND", 4) == 0) {
            scan.complete = true;
            return scan;
        }
        pos += 12 + length;
    }
    return scan;
}

// Past the entropy-coded bytes of a scan: stuffed 0xFF 0x00 and restart
// markers belong to the scan, any other marker ends it.
std::size_t skipScanData(const unsigned char* data, std::size_t size, std::size_t pos) {
    while (pos + 1 < size) {
        if (data[pos] != 0xFF) {
            ++pos;
            continue;
        }
        const unsigned char next = data[pos + 1];
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
            pos += 2;
        } else if (next == 0xFF) {
            ++pos;
        } else {
            return pos;
        }
    }
    return size;
}

bool isStartOfFrame(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The segment of a frame marker: precision, height, width.
void readFrameSize(const unsigned char* segment, std::size_t length, HeaderScan& scan) {
    if (!scan.sizeKnown && length >= 7) {
        scan.sizeKnown = true;
        scan.height = readBigEndian16(segment + 3);
        scan.width = readBigEndian16(segment + 5);
    }
}

// The Huffman tables defined so far, by class (0 DC, 1 AC) and id, and
// whether the frame is progressive.
struct HuffmanState {
    bool defined[2][4] = {};
    bool progressive = false;
};

// stb_image copies a Huffman table into arrays of 256 symbols without checking
// the symbol count the file gives, so a table claiming more writes past them.
// Each table must also lie wholly inside its segment: the decoder reads the
// tables one after the other and would take the next segment for one.
bool defineHuffmanTables(const unsigned char* segment, std::size_t length, HuffmanState& state) {
    constexpr std::size_t tableHeaderBytes = 17; // class and id, then 16 counts
    constexpr std::size_t maxSymbols = 256;
    std::size_t pos = 2;
    while (pos < length) {
        if (length - pos < tableHeaderBytes) {
            return false;
        }
        const unsigned tableClass = segment[pos] >> 4;
        const unsigned id = segment[pos] & 15;
        std::size_t symbols = 0;
        for (std::size_t i = 1; i < tableHeaderBytes; ++i) {
            symbols += segment[pos + i];
        }
        if (tableClass > 1 || id > 3 || symbols > maxSymbols ||
            symbols > length - pos - tableHeaderBytes) {
            return false;
        }
        state.defined[tableClass][id] = true;
        pos += tableHeaderBytes + symbols;
    }
    return true;
}

// stb_image decodes with whatever a table it was never given holds (its
// arrays are not cleared), and the lookup then reads anywhere in memory. So a
// scan may only use tables defined before it: the DC and AC tables of its
// components in a sequential frame; in a progressive one the DC tables of a
// first DC scan, or the AC tables of an AC scan.
bool scanTablesDefined(const unsigned char* segment, std::size_t length,
                       const HuffmanState& state) {
    const std::size_t components = length >= 3 ? segment[2] : 0;
    if (length != 6 + 2 * components) {
        return true; // the decoder refuses such a scan header itself
    }
    const unsigned char* selectors = segment + 3; // component id, then DC id << 4 | AC id
    const unsigned spectralStart = selectors[2 * components];
    const unsigned approximationHigh = selectors[2 * components + 2] >> 4;
    const bool usesDc = !state.progressive || (spectralStart == 0 && approximationHigh == 0);
    const bool usesAc = !state.progressive || spectralStart > 0;
    for (std::size_t i = 0; i < components; ++i) {
        // Ids above 3 are refused by the decoder before any lookup.
        const unsigned dc = selectors[2 * i + 1] >> 4;
        const unsigned ac = selectors[2 * i + 1] & 15;
        if ((usesDc && dc < 4 && !state.defined[0][dc]) ||
            (usesAc && ac < 4 && !state.defined[1][ac])) {
            return false;
        }
    }
    return true;
}

// The first problem with the Huffman tables of one segment, or nothing.
std::string huffmanProblem(unsigned char marker, const unsigned char* segment, std::size_t length,
                           HuffmanState& state) {
    if (marker == 0xC4 && !defineHuffmanTables(segment, length, state)) {
        return "a Huffman table does not fit its segment";
    }
    if (marker == 0xDA && !scanTablesDefined(segment, length, state)) {
        return "a scan uses a Huffman table that was never defined";
    }
    return std::string();
}

// stb_image decodes a cut-off JPEG without complaint (the missing part comes
// out grey), so the marker segments are walked up to the end-of-image marker.
HeaderScan scanJpeg(const unsigned char* data, std::size_t size) {
    HeaderScan scan;
    HuffmanState huffman;
    std::size_t pos = 2;
    while (pos < size && data[pos] == 0xFF) {
        while (pos < size && data[pos] == 0xFF) {
            ++pos;
        }
        if (pos >= size) {
            return scan;
        }
        const unsigned char marker = data[pos++];
        if (marker == 0xD9) {
            scan.complete = true;
            return scan;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            continue;
        }
        if (size - pos < 2) {
            return scan;
        }
        const std::size_t length = readBigEndian16(data + pos);
        if (length < 2 || length > size - pos) {
            return scan;
        }
        if (isStartOfFrame(marker) && !scan.sizeKnown) {
            readFrameSize(data + pos, length, scan);
            huffman.progressive = marker == 0xC2;
        }
        if (scan.tableProblem.empty()) {
            scan.tableProblem = huffmanProblem(marker, data + pos, length, huffman);
        }
        pos += length;
        if (marker == 0xDA) {
            pos = skipScanData(data, size, pos);
        }
    }
    return scan;
}

HeaderScan scanHeader(ImageFormat format, const unsigned char* data, std::size_t size) {
    return format == ImageFormat::png ? scanPng(data, size) : scanJpeg(data, size);
}

bool fail(std::string& reason, std::string text) {
    reason = std::move(text);
    return false;
}

bool checkDimensions(std::uint32_t width, std::uint32_t height, std::string& reason) {
    if (width == 0 || height == 0) {
        return fail(reason, "image has no pixels");
    }
    if (width > std::uint32_t(maxImageDimension) || height > std::uint32_t(maxImageDimension)) {
        return fail(reason,
                    "image too large: " + std::to_string(width) + " x " + std::to_string(height));
    }
    const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * 3u;
    if (bytes > std::uint64_t(std::numeric_limits<std::ptrdiff_t>::max())) {
        return fail(reason, "image size overflows");
    }
    return true;
}

bool decodeChecked(const unsigned char* data, int size, ImageFormat format, RgbImage& image,
                   std::string& reason) {
    int width = 0;
    int height = 0;
    int channelsInFile = 0;
    unsigned char* pixels = stbi_load_from_memory(data, size, &width, &height, &channelsInFile, 3);
    if (!pixels) {
        return fail(reason,
                    std::string("corrupt ") + formatName(format) + ": " + stbi_failure_reason());
    }
    image.width = width;
    image.height = height;
    image.pixels.assign(pixels, pixels + std::size_t(width) * std::size_t(height) * 3u);
    stbi_image_free(pixels);
    return true;
}

} // namespace

bool decodeRgbImageFromMemory(const unsigned char* data, std::size_t size, RgbImage& image,
                              std::string& reason) {
    image = RgbImage{};
    if (!data || size == 0) {
        return fail(reason, "empty file");
    }
    if (size > maxImageFileBytes) {
        return fail(reason, "file larger than " + std::to_string(maxImageFileBytes) + " bytes");
    }
    const ImageFormat format = detectFormat(data, size);
    if (format == ImageFormat::unknown) {
        return fail(reason, "unsupported format (PNG and JPEG only)");
    }
    // The header's claims are checked before the decoder allocates for them.
    const HeaderScan scan = scanHeader(format, data, size);
    if (scan.sizeKnown && !checkDimensions(scan.width, scan.height, reason)) {
        return false;
    }
    if (!scan.complete) {
        return fail(reason, std::string("truncated ") + formatName(format));
    }
    if (!scan.sizeKnown) {
        return fail(reason, std::string("corrupt ") + formatName(format) + ": no image size");
    }
    if (!scan.tableProblem.empty()) {
        return fail(reason, "corrupt JPEG: " + scan.tableProblem);
    }
    return decodeChecked(data, static_cast<int>(size), format, image, reason);
}

bool decodeRgbImage(const std::string& path, RgbImage& image, std::string& reason) {
    image = RgbImage{};
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return fail(reason, "cannot open file");
    }
    const std::streamoff fileSize = file.tellg();
    if (fileSize < 0) {
        return fail(reason, "cannot read file");
    }
    if (std::uint64_t(fileSize) > maxImageFileBytes) {
        return fail(reason, "file larger than " + std::to_string(maxImageFileBytes) + " bytes");
    }
    std::vector<unsigned char> bytes(static_cast<std::size_t>(fileSize));
    file.seekg(0);
    if (!bytes.empty() &&
        !file.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()))) {
        return fail(reason, "cannot read file");
    }
    return decodeRgbImageFromMemory(bytes.data(), bytes.size(), image, reason);
}
