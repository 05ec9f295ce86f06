#include "audio/soundFile.h"

#include <sndfile.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

// The bytes libsndfile reads through its virtual I/O.
struct MemoryFile {
    const std::uint8_t* data;
    sf_count_t size;
    sf_count_t position;
};

MemoryFile& fileOf(void* user) {
    return *static_cast<MemoryFile*>(user);
}

sf_count_t memoryLength(void* user) {
    return fileOf(user).size;
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* user) {
    MemoryFile& file = fileOf(user);
    const sf_count_t base = whence == SEEK_CUR ? file.position : whence == SEEK_END ? file.size : 0;
    const sf_count_t target = base + offset;
    if (target < 0 || target > file.size) {
        return -1;
    }
    file.position = target;
    return target;
}

sf_count_t memoryRead(void* destination, sf_count_t count, void* user) {
    MemoryFile& file = fileOf(user);
    const sf_count_t taken = std::clamp<sf_count_t>(count, 0, file.size - file.position);
    if (taken > 0) {
        std::copy_n(file.data + file.position, taken, static_cast<std::uint8_t*>(destination));
    }
    file.position += taken;
    return taken;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) {
    return 0; // read only
}

sf_count_t memoryTell(void* user) {
    return fileOf(user).position;
}

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

bool refuse(PcmSound& sound, std::string& reason, const std::string& why) {
    sound = PcmSound();
    reason = why;
    return false;
}

// The frames in blocks, so that a header claiming more than the bytes hold
// costs no memory up front.
bool readFrames(SNDFILE* file, const SF_INFO& info, PcmSound& sound, std::string& reason) {
    constexpr sf_count_t blockFrames = 4096;
    const std::size_t channels = std::size_t(info.channels);
    std::vector<std::int16_t> block(std::size_t(blockFrames) * channels);
    sf_count_t total = 0;
    while (total < info.frames) {
        const sf_count_t wanted = std::min(blockFrames, info.frames - total);
        const sf_count_t read = sf_readf_short(file, block.data(), wanted);
        if (read <= 0) {
            break;
        }
        sound.samples.insert(sound.samples.end(), block.begin(),
                             block.begin() + std::ptrdiff_t(std::size_t(read) * channels));
        total += read;
    }
    if (total < info.frames || sound.samples.empty()) {
        return refuse(sound, reason, "the samples end early");
    }
    return true;
}

} // namespace

bool decodeSound(const std::uint8_t* data, std::size_t size, PcmSound& sound, std::string& reason) {
    sound = PcmSound();
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    MemoryFile bytes{data, sf_count_t(size), 0};
    SF_INFO info{};
    const SndfileHandle file(sf_open_virtual(&io, SFM_READ, &info, &bytes));
    if (!file) {
        return refuse(sound, reason, std::string("not a sound: ") + sf_strerror(nullptr));
    }
    if (info.channels < 1 || info.channels > 2) {
        return refuse(sound, reason, std::to_string(info.channels) + " channels (1 or 2 play)");
    }
    if (info.samplerate < minSoundRate || info.samplerate > maxSoundRate) {
        return refuse(sound, reason, "a rate of " + std::to_string(info.samplerate) + " Hz");
    }
    if (info.frames <= 0 ||
        std::size_t(info.frames) > maxSoundSamples / std::size_t(info.channels)) {
        return refuse(sound, reason, std::to_string(info.frames) + " frames");
    }
    sound.sampleRate = info.samplerate;
    sound.channels = info.channels;
    return readFrames(file.get(), info, sound, reason);
}

bool readSoundFile(const std::string& path, PcmSound& sound, std::string& reason) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return refuse(sound, reason, "cannot open the file");
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    return decodeSound(bytes.data(), bytes.size(), sound, reason);
}
