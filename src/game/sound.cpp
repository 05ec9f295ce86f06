#include "game/sound.h"

#include <algorithm>

std::string soundFileName(SoundKind kind) {
    static const char* const names[soundKindCount] = {
        "playerStep.wav", "redStep.wav", "blueStep.wav", "bump.wav",      "undo.wav",
        "restart.wav",    "hint.wav",    "win.wav",      "menuClick.wav",
    };
    const int index = static_cast<int>(kind);
    return index >= 0 && index < soundKindCount ? names[index] : "";
}

bool operator==(const SoundCue& a, const SoundCue& b) {
    return a.kind == b.kind && a.position == b.position;
}

float gainOfPercent(int percent) {
    return static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
}

float channelGain(int master, int channel, bool muted) {
    return muted ? 0.0f : gainOfPercent(master) * gainOfPercent(channel);
}

Volumes volumesOf(const Settings& settings, bool muted) {
    return {channelGain(settings.soundMaster, settings.soundEffects, muted),
            channelGain(settings.soundMaster, settings.soundMusic, muted)};
}
