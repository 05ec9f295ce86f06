// The game's sound: the audio device, a buffer for each effect and the music,
// a few voices for the effects and one looping voice for the music. Each
// frame the app hands it the frame's cues and the listener; nothing here
// waits for the device.
#pragma once

#include "audio/alObjects.h"
#include "game/camera.h"
#include "game/sound.h"

#include <array>
#include <ostream>
#include <string>
#include <vector>

// Effects heard at once at most; a further one takes the voice that started
// longest ago.
constexpr int effectVoiceCount = 16;

class SoundPlayer {
  public:
    // Opens the default device and reads every sound of `folder`. No device:
    // one line on errors and a silent player. A sound that cannot be read:
    // one line naming it, and that sound stays silent. The music starts at
    // once, silent until the first play() gives its volume.
    SoundPlayer(const std::string& folder, std::ostream& errors);
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // True when a device plays.
    bool playing() const { return context != nullptr; }
    // The listener takes the camera's place and orientation, the voices the
    // volumes, and each cue starts on a voice of its own.
    void play(const std::vector<SoundCue>& cues, const Camera& listener, Volumes volumes);

  private:
    bool openDevice(std::ostream& errors);
    AlBuffer loadBuffer(const std::string& path, std::ostream& errors);
    void startMusic();
    void startCue(const SoundCue& cue, float gain);

    // Released in reverse order: voices, buffers, the context, the device.
    AlDevice device;
    AlContext context;
    std::array<AlBuffer, soundKindCount> effects;
    AlBuffer musicBuffer;
    std::array<AlSource, effectVoiceCount> voices;
    AlSource musicVoice;
    int nextVoice = 0;
};
