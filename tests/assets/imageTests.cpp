// The image decoder against good files, every kind of bad file we could think
// of, and randomly damaged copies of good ones.
#include "assets/image.h"
#include "assets/imageWriter.h"
#include "core/scratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(const std::string& file) {
    return Bytes(file.begin(), file.end());
}

Bytes encodePng(int width, int height, int channels, const Bytes& pixels) {
    return bytesOf(::encodePng(width, height, channels, pixels.data()));
}

Bytes encodeJpeg(int width, int height, const Bytes& rgb, int quality) {
    return bytesOf(encodeJpg(width, height, rgb.data(), quality));
}

// Every byte different, so a skewed or swapped row shows.
Bytes countingPixels(int width, int height, int channels) {
    Bytes pixels(std::size_t(width) * height * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    return pixels;
}

// Four flat 8 x 8 blocks: JPEG keeps flat blocks nearly exact.
Bytes blockPixels() {
    const unsigned char colours[4][3] = {
        {250, 20, 20}, {20, 240, 30}, {30, 40, 230}, {200, 200, 60}};
    Bytes rgb(16 * 16 * 3);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const unsigned char* colour = colours[(y / 8) * 2 + x / 8];
            std::copy(colour, colour + 3, rgb.begin() + (y * 16 + x) * 3);
        }
    }
    return rgb;
}

fs::path scratchDirectory(const std::string& name) {
    static const ScratchFolder root("cellquestImageTests");
    const fs::path directory = fs::path(root.folder()) / name;
    fs::create_directories(directory);
    return directory;
}

std::string writeFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path.string();
}

void setBigEndian32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    bytes[at] = static_cast<unsigned char>(value >> 24);
    bytes[at + 1] = static_cast<unsigned char>(value >> 16);
    bytes[at + 2] = static_cast<unsigned char>(value >> 8);
    bytes[at + 3] = static_cast<unsigned char>(value);
}

// Position of the first start-of-frame segment's height field.
std::size_t jpegFrameHeightOffset(const Bytes& jpeg) {
    for (std::size_t i = 2; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            return i + 5;
        }
    }
    return 0;
}

// A failed decode leaves a reason and an empty image, whatever was there.
void expectRejected(const Bytes& bytes, const std::string& what) {
    RgbImage image;
    image.width = 3;
    image.height = 3;
    image.pixels.assign(27, 1);
    std::string reason;
    EXPECT_FALSE(decodeRgbImageFromMemory(bytes.data(), bytes.size(), image, reason)) << what;
    EXPECT_FALSE(reason.empty()) << what;
    EXPECT_EQ(image.width, 0) << what;
    EXPECT_EQ(image.height, 0) << what;
    EXPECT_TRUE(image.pixels.empty()) << what;
}

std::string rejectionReason(const Bytes& bytes) {
    RgbImage image;
    std::string reason;
    EXPECT_FALSE(decodeRgbImageFromMemory(bytes.data(), bytes.size(), image, reason));
    return reason;
}

} // namespace

TEST(ImageDecoding, PngWithOrWithoutAlphaBecomesTightRgbRowsTopFirst) {
    const int width = 5; // 15-byte rows: not a multiple of four
    const int height = 3;
    const Bytes rgb = countingPixels(width, height, 3);
    RgbImage image;
    std::string reason;
    const Bytes png = encodePng(width, height, 3, rgb);
    ASSERT_TRUE(decodeRgbImageFromMemory(png.data(), png.size(), image, reason)) << reason;
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    EXPECT_EQ(image.pixels, rgb);

    const Bytes rgba = countingPixels(width, height, 4);
    const Bytes pngWithAlpha = encodePng(width, height, 4, rgba);
    ASSERT_TRUE(decodeRgbImageFromMemory(pngWithAlpha.data(), pngWithAlpha.size(), image, reason));
    ASSERT_EQ(image.pixels.size(), std::size_t(width * height * 3));
    for (int i = 0; i < width * height; ++i) {
        EXPECT_EQ(image.pixels[i * 3 + 0], rgba[i * 4 + 0]);
        EXPECT_EQ(image.pixels[i * 3 + 2], rgba[i * 4 + 2]);
    }
}

TEST(ImageDecoding, JpegDecodesCloseToWhatWasEncoded) {
    const Bytes rgb = blockPixels();
    Bytes jpeg = encodeJpeg(16, 16, rgb, 100);
    // Bytes after the end marker (some cameras write them) are no reason to refuse.
    jpeg.insert(jpeg.end(), {0x00, 0x00, 0x12});
    RgbImage image;
    std::string reason;
    ASSERT_TRUE(decodeRgbImageFromMemory(jpeg.data(), jpeg.size(), image, reason)) << reason;
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 16);
    ASSERT_EQ(image.pixels.size(), rgb.size());
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        EXPECT_NEAR(int(image.pixels[i]), int(rgb[i]), 10) << "byte " << i;
    }
}

TEST(ImageDecoding, FilesOnDiskDecodeAndBadPathsFail) {
    const fs::path directory = scratchDirectory("files");
    const Bytes png = encodePng(5, 3, 3, countingPixels(5, 3, 3));
    RgbImage image;
    std::string reason;
    EXPECT_TRUE(decodeRgbImage(writeFile(directory / "good.png", png), image, reason)) << reason;
    EXPECT_EQ(image.width, 5);

    EXPECT_FALSE(decodeRgbImage((directory / "missing.png").string(), image, reason));
    EXPECT_NE(reason.find("open"), std::string::npos) << reason;
    EXPECT_TRUE(image.pixels.empty());

    EXPECT_FALSE(decodeRgbImage(writeFile(directory / "empty.png", {}), image, reason));
    EXPECT_EQ(reason, "empty file");
}

TEST(ImageDecoding, OversizedFileIsRefusedBeforeReading) {
    const fs::path path = scratchDirectory("large") / "huge.png";
    const Bytes png = encodePng(5, 3, 3, countingPixels(5, 3, 3));
    writeFile(path, png);
    // Sparse: the file claims its size without taking the disk space.
    fs::resize_file(path, maxImageFileBytes + 1);
    RgbImage image;
    std::string reason;
    EXPECT_FALSE(decodeRgbImage(path.string(), image, reason));
    EXPECT_NE(reason.find("larger"), std::string::npos) << reason;
    fs::remove(path);
}

TEST(ImageDecoding, ForeignAndMeaninglessBytesAreRefused) {
    expectRejected({}, "nothing");
    RgbImage image;
    std::string reason;
    EXPECT_FALSE(decodeRgbImageFromMemory(nullptr, 10, image, reason));

    // An uncompressed 2 x 1 TGA: a real image format, but not one of ours.
    const Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0, 1, 2, 3, 4, 5, 6};
    expectRejected(tga, "TGA");
    EXPECT_NE(rejectionReason(tga).find("unsupported"), std::string::npos);

    expectRejected({0xFF, 0xD8, 0xFF, 0xE0}, "JPEG start only");
    expectRejected({0x89, 'P', 'N', 'G'}, "half a PNG signature");

    std::mt19937 random(20240611u);
    for (int round = 0; round < 20; ++round) {
        Bytes junk(64 + random() % 4000);
        for (unsigned char& byte : junk) {
            byte = static_cast<unsigned char>(random());
        }
        expectRejected(junk, "junk round " + std::to_string(round));
    }
}

TEST(ImageDecoding, EveryCutOffPrefixOfAGoodFileIsRefused) {
    const Bytes png = encodePng(5, 3, 3, countingPixels(5, 3, 3));
    for (std::size_t length = 0; length < png.size(); ++length) {
        expectRejected(Bytes(png.begin(), png.begin() + long(length)),
                       "PNG cut to " + std::to_string(length));
    }
    EXPECT_NE(rejectionReason(Bytes(png.begin(), png.end() - 20)).find("truncated"),
              std::string::npos);

    const Bytes jpeg = encodeJpeg(16, 16, blockPixels(), 90);
    for (std::size_t length = 0; length < jpeg.size(); ++length) {
        expectRejected(Bytes(jpeg.begin(), jpeg.begin() + long(length)),
                       "JPEG cut to " + std::to_string(length));
    }
    EXPECT_EQ(rejectionReason(Bytes(jpeg.begin(), jpeg.end() - 40)), "truncated JPEG");
}

TEST(ImageDecoding, HeadersClaimingHugeImagesAreRefused) {
    Bytes png = encodePng(5, 3, 3, countingPixels(5, 3, 3));
    setBigEndian32(png, 16, 100000); // IHDR width
    setBigEndian32(png, 20, 100000); // IHDR height
    expectRejected(png, "PNG of 100000 x 100000");
    EXPECT_NE(rejectionReason(png).find("too large"), std::string::npos) << rejectionReason(png);

    Bytes wide = encodePng(5, 3, 3, countingPixels(5, 3, 3));
    setBigEndian32(wide, 16, maxImageDimension + 1);
    expectRejected(wide, "PNG one pixel over the limit");
    setBigEndian32(wide, 16, 0);
    expectRejected(wide, "PNG without columns");

    Bytes jpeg = encodeJpeg(16, 16, blockPixels(), 90);
    const std::size_t heightAt = jpegFrameHeightOffset(jpeg);
    ASSERT_NE(heightAt, 0u);
    jpeg[heightAt] = jpeg[heightAt + 2] = 0xFF; // 65535-ish both ways
    expectRejected(jpeg, "JPEG of 65535 x 65535");
}

TEST(ImageDecoding, DamagedCopiesOfGoodFilesNeverYieldInconsistentImages) {
    const Bytes png = encodePng(5, 3, 3, countingPixels(5, 3, 3));
    const Bytes jpeg = encodeJpeg(16, 16, blockPixels(), 90);
    std::mt19937 random(77u);
    for (int round = 0; round < 400; ++round) {
        Bytes damaged = round % 2 ? png : jpeg;
        const int flips = 1 + int(random() % 4);
        for (int flip = 0; flip < flips; ++flip) {
            damaged[random() % damaged.size()] = static_cast<unsigned char>(random());
        }
        RgbImage image;
        std::string reason;
        if (decodeRgbImageFromMemory(damaged.data(), damaged.size(), image, reason)) {
            ASSERT_GT(image.width, 0);
            ASSERT_LE(image.width, maxImageDimension);
            ASSERT_LE(image.height, maxImageDimension);
            ASSERT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * 3);
        } else {
            ASSERT_FALSE(reason.empty());
            ASSERT_TRUE(image.pixels.empty());
        }
    }
}

TEST(ImageDecoding, TheGamesOwnImagesDecode) {
    for (const char* path : {"container2.png", "container2_specular.png", "tilewall.jpg"}) {
        RgbImage image;
        std::string reason;
        ASSERT_TRUE(decodeRgbImage(path, image, reason)) << path << ": " << reason;
        EXPECT_EQ(image.pixels.size(), std::size_t(image.width) * image.height * 3) << path;
    }
    RgbImage crate;
    std::string reason;
    ASSERT_TRUE(decodeRgbImage("container2.png", crate, reason));
    // The crate's rows keep the upload's row alignment of 1 honest.
    EXPECT_NE(crate.width * 3 % 4, 0);
}
