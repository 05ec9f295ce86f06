// Bloom: ten ping-pong blur passes over the bright colour, then the combine
// of scene and blur into the window. In wireframe mode the scene colour is
// copied to the window instead.
#pragma once

constexpr int blurPassCount = 10;

// The blur passes and then the combine.
void renderBloom();
// The two halves of renderBloom, for timing them apart.
void blurBrightColor();
void combineBloom();
void showWireframeScene();
