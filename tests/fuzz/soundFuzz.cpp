// Feeds arbitrary bytes to the game's sound reader (libsndfile under it),
// the one gate between sound files and the audio device's buffers.
#include "audio/soundFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// No GL here, so not fuzzSupport: the same hard stop, which libFuzzer
// records as a crash with its input.
[[noreturn]] void invariantBroken(const std::string& what) {
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    std::abort();
}

void checkDecoded(const PcmSound& sound) {
    if (sound.channels < 1 || sound.channels > 2) {
        invariantBroken(std::to_string(sound.channels) + " channels accepted");
    }
    if (sound.sampleRate < minSoundRate || sound.sampleRate > maxSoundRate) {
        invariantBroken("a rate of " + std::to_string(sound.sampleRate) + " accepted");
    }
    if (sound.samples.empty() || sound.samples.size() > maxSoundSamples ||
        sound.samples.size() % std::size_t(sound.channels) != 0) {
        invariantBroken(std::to_string(sound.samples.size()) + " samples accepted");
    }
}

// A refused sound reaches no buffer: nothing but the reason is left.
void checkRefused(const PcmSound& sound, const std::string& reason) {
    if (sound.channels != 0 || sound.sampleRate != 0 || !sound.samples.empty()) {
        invariantBroken("a refused sound kept its format or samples");
    }
    if (reason.empty()) {
        invariantBroken("a refused sound gave no reason");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PcmSound sound;
    std::string reason;
    if (decodeSound(data, size, sound, reason)) {
        checkDecoded(sound);
    } else {
        checkRefused(sound, reason);
    }
    return 0;
}
