// The picture's size in pixels: the window, the off-screen targets and the
// text projection all have it, and the overlay places its lines in it.
#pragma once

constexpr int windowWidth = 1024;
constexpr int windowHeight = 768;
