// Which sounds a frame makes, decided by the game from what happened in it,
// and how loud each channel plays: the audio layer only plays what it is
// told. Free of any audio library, so tests check the choices directly.
#pragma once

#include "game/settings.h"

#include <glm/vec3.hpp>

#include <optional>
#include <string>

enum class SoundKind {
    playerStep, // the player changed cell
    redStep,    // a red block stepped
    blueStep,   // a blue block stepped
    bump,       // the rules held a move back: a wall, a crate or a block
    undo,
    restart,
    hint, // a hint came in
    win,
    menuClick, // a menu did what was chosen
    count
};

constexpr int soundKindCount = static_cast<int>(SoundKind::count);

// The sound's file in the assets' sounds/ folder: "redStep.wav".
std::string soundFileName(SoundKind kind);
// The music loop's file there.
const char* const musicFileName = "music.wav";

// One sound of a frame: where in the room it sounds, or nothing for a sound
// heard at the listener (the player's own steps, the menus).
struct SoundCue {
    SoundKind kind;
    std::optional<glm::vec3> position;
};

bool operator==(const SoundCue& a, const SoundCue& b);

// Gains from 0 (silent) to 1 (full) for the two channels.
struct Volumes {
    float effects = 0.0f;
    float music = 0.0f;
};

// A setting's 0..100 as a gain; values out of range count as their bound.
float gainOfPercent(int percent);
// The master times the channel; nothing while muted.
float channelGain(int master, int channel, bool muted);
Volumes volumesOf(const Settings& settings, bool muted);
