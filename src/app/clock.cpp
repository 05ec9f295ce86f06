#include "app/clock.h"

#include <GLFW/glfw3.h>

namespace {
double (*timeSource)() = glfwGetTime;
}

double gameTime() { return timeSource(); }

void setGameTimeSource(double (*source)()) { timeSource = source ? source : glfwGetTime; }
