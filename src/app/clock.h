// The game's clock. It reads the window system's timer; tests and benchmarks
// may replace the source to render at a fixed time.
#pragma once

double gameTime();
void setGameTimeSource(double (*source)());
