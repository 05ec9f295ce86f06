// The game's picture size: the window, its viewport and every full-screen
// target the renderer draws into.
#pragma once

constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;
