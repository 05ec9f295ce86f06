// Bloom: ten ping-pong blur passes over the bright colour, then the combine
// of scene and blur into the window. In wireframe mode the scene colour is
// copied to the window instead.
#pragma once

class Renderer;

// An even count, so the last pass is a vertical one into blur target 0.
constexpr int blurPassCount = 10;

// The blur passes and then the combine.
void renderBloom(const Renderer& renderer);
// The two halves of renderBloom, for timing them apart.
void blurBrightColor(const Renderer& renderer);
void combineBloom(const Renderer& renderer);
void showWireframeScene(const Renderer& renderer);
