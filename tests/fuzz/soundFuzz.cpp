// Feeds arbitrary bytes to the game's sound reader (libsndfile under it), the
// one gate between sound files and the audio device's buffers. No GL here, so
// not fuzzSupport: a broken invariant aborts, which libFuzzer records as a
// crash with its input.
#include "audio/soundFile.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PcmSound sound;
    std::string reason;
    const bool decoded = decodeSound(data, size, sound, reason);
    const std::size_t samples = sound.samples.size();
    // A sound in range with whole frames, or a refusal with its reason and
    // nothing else left.
    const bool whole =
        decoded ? sound.channels >= 1 && sound.channels <= 2 && sound.sampleRate >= minSoundRate &&
                      sound.sampleRate <= maxSoundRate && samples > 0 &&
                      samples <= maxSoundSamples && samples % std::size_t(sound.channels) == 0
                : sound.channels == 0 && sound.sampleRate == 0 && samples == 0 && !reason.empty();
    if (!whole) {
        std::fprintf(stderr, "invariant broken: decoded %d, %d channels, %d Hz, %zu samples\n",
                     int(decoded), sound.channels, sound.sampleRate, samples);
        std::abort();
    }
    return 0;
}
