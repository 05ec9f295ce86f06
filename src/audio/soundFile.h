// Sounds read from files into 16-bit PCM samples, ready for the audio device.
// Every file goes through decodeSound, the one gate between bytes on disk and
// the device: a file it refuses plays as silence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The longest sound accepted, in samples of all channels together: about
// two minutes of 48 kHz stereo, well past the music loop.
constexpr std::size_t maxSoundSamples = std::size_t(48000) * 2 * 120;
constexpr int minSoundRate = 4000;
constexpr int maxSoundRate = 192000;

struct PcmSound {
    int sampleRate = 0;
    // 1 (mono, placed in the room) or 2 (stereo, heard as it is).
    int channels = 0;
    // Interleaved frames.
    std::vector<std::int16_t> samples;
};

// Any format libsndfile reads (WAV first of all). False, with the sound
// empty and the reason set, for bytes that are no sound, an unsupported
// channel count or rate, too long a sound, or one cut short.
bool decodeSound(const std::uint8_t* data, std::size_t size, PcmSound& sound, std::string& reason);
// The file's bytes through decodeSound; a file that cannot be read is
// refused the same way.
bool readSoundFile(const std::string& path, PcmSound& sound, std::string& reason);
