// Feeds arbitrary bytes to the game's image decoder, the one gate between
// texture files and GL uploads.
#include "assets/image.h"
#include "fuzzSupport.h"

#include <cstddef>
#include <cstdint>

namespace {

void checkDecoded(const RgbImage& image) {
    if (image.width < 1 || image.height < 1 || image.width > maxImageDimension ||
        image.height > maxImageDimension) {
        invariantBroken("decoded size " + std::to_string(image.width) + " x " +
                        std::to_string(image.height) + " is out of range");
    }
    const std::size_t expected = std::size_t(image.width) * std::size_t(image.height) * 3u;
    if (image.pixels.size() != expected) {
        invariantBroken("decoded " + std::to_string(image.pixels.size()) + " bytes for " +
                        std::to_string(expected) + " expected");
    }
}

// A refused file must reach no upload: nothing but the reason is left.
void checkRefused(const RgbImage& image, const std::string& reason) {
    if (image.width != 0 || image.height != 0 || !image.pixels.empty()) {
        invariantBroken("a refused image kept size or pixels");
    }
    if (reason.empty()) {
        invariantBroken("a refused image gave no reason");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RgbImage image;
    std::string reason;
    if (decodeRgbImageFromMemory(data, size, image, reason)) {
        checkDecoded(image);
    } else {
        checkRefused(image, reason);
    }
    return 0;
}
