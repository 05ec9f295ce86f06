// What the window's input callbacks do, free of the window system: the key
// table, mouse look and the zoom wheel.
#pragma once

#include "game/camera.h"

#include <array>
#include <cstddef>
#include <vector>

constexpr int keyCount = 1024;

// Key codes and actions as the window system reports them.
constexpr int keyEscape = 256;
constexpr int keyW = 87;
constexpr int keyS = 83;
constexpr int keyA = 65;
constexpr int keyD = 68;
constexpr int keyQ = 81;
constexpr int keyE = 69;
constexpr int keyR = 82;
constexpr int keyZ = 90;
constexpr int keyH = 72;
constexpr int keyBackspace = 259;
constexpr int keyF1 = 290;
constexpr int keyF2 = 291;
constexpr int keyF3 = 292;
constexpr int keyF8 = 297;
constexpr int actionRelease = 0;
constexpr int actionPress = 1;
constexpr int actionRepeat = 2;

constexpr float mouseSensitivity = 0.05f;

struct MouseState {
    bool firstMouse = true;
    float lastX = 512.0f;
    float lastY = 384.0f;
};

struct InputState {
    // True from a key's press to its release.
    std::array<bool, keyCount> keys{};
    // Every press since the last frame took them, in order, so that a key
    // acts once per press even when its release came in the same frame.
    // Repeats of a held key are not presses.
    std::vector<int> presses;
    MouseState mouse;
};

// Presses beyond this many between two frames are dropped.
constexpr std::size_t pressesPerFrameMax = 64;

// The presses since the last call, oldest first.
std::vector<int> takePresses(InputState& input);

// Updates the key table; returns true when the key asks the window to close.
bool handleKey(InputState& input, int key, int action);
// Turns the camera (yaw and pitch) by the cursor's motion while play is on.
void handleCursorPos(InputState& input, Camera& camera, bool playEnabled, double x, double y);
// Zooms the camera (field of view 1..45) by the wheel.
void handleScroll(Camera& camera, double yOffset);
