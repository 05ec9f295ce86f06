// Bloom: ten ping-pong blur passes over the bright colour, then the combine
// of scene and blur into the window. In wireframe mode the scene colour is
// copied to the window instead.
#pragma once

constexpr int blurPassCount = 10;

void renderBloom();
void showWireframeScene();
