// The OpenAL objects, each with one owner that frees it: the device, the
// context made current on it, and the buffer and source names. A
// SoundPlayer holds them in the order they must go.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <memory>
#include <utility>

struct AlDeviceCloser {
    void operator()(ALCdevice* device) const { alcCloseDevice(device); }
};
using AlDevice = std::unique_ptr<ALCdevice, AlDeviceCloser>;

// The context is no longer current when it goes.
struct AlContextDestroyer {
    void operator()(ALCcontext* context) const {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
};
using AlContext = std::unique_ptr<ALCcontext, AlContextDestroyer>;

// One buffer or source name (0 for none), deleted with its owner while the
// context is current.
template <void (*generate)(ALsizei, ALuint*), void (*release)(ALuint)> class AlName {
  public:
    AlName() = default;
    ~AlName() { reset(); }
    AlName(AlName&& other) noexcept : name(std::exchange(other.name, 0)) {}
    AlName& operator=(AlName&& other) noexcept {
        if (this != &other) {
            reset();
            name = std::exchange(other.name, 0);
        }
        return *this;
    }
    AlName(const AlName&) = delete;
    AlName& operator=(const AlName&) = delete;

    // A fresh name; false when OpenAL has none to give.
    bool create() {
        reset();
        alGetError();
        generate(1, &name);
        if (alGetError() != AL_NO_ERROR) {
            name = 0;
        }
        return name != 0;
    }
    ALuint get() const { return name; }
    explicit operator bool() const { return name != 0; }

  private:
    void reset() {
        if (name != 0) {
            release(name);
            name = 0;
        }
    }
    ALuint name = 0;
};

inline void generateBuffer(ALsizei count, ALuint* names) {
    alGenBuffers(count, names);
}
inline void deleteBuffer(ALuint name) {
    alDeleteBuffers(1, &name);
}
inline void generateSource(ALsizei count, ALuint* names) {
    alGenSources(count, names);
}
// A playing source is stopped first, which lets go of its buffer.
inline void deleteSource(ALuint name) {
    alSourceStop(name);
    alSourcei(name, AL_BUFFER, 0);
    alDeleteSources(1, &name);
}

using AlBuffer = AlName<generateBuffer, deleteBuffer>;
using AlSource = AlName<generateSource, deleteSource>;
