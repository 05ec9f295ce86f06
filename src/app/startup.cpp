#include "app/startup.h"

#include "app/console.h"
#include "app/frame.h"
#include "app/frameState.h"
#include "app/particles.h"
#include "app/window.h"
#include "render/renderer.h"
#include "render/windowSize.h"

#include <GL/glew.h>

namespace {

void setGlobalGlState() {
    glViewport(0, 0, windowWidth, windowHeight);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void fillPolygons() { glPolygonMode(GL_FRONT_AND_BACK, GL_FILL); }

} // namespace

std::unique_ptr<Renderer> setUpRenderer(GLFWwindow* callbackWindow) {
    auto renderer = std::make_unique<Renderer>(fatalError, [callbackWindow] {
        setGlobalGlState();
        if (callbackWindow) {
            installInputCallbacks(callbackWindow);
        }
    });
    // The staging arrays the particle buffers are filled from, made at
    // start-up with the buffers rather than by the first frame.
    particles.allocateStaging();
    setFilledPolygonMode = fillPolygons;
    return renderer;
}

int runGame(bool windowed) {
    GLFWwindow* window = openGameWindow(windowed);
    std::unique_ptr<Renderer> renderer = setUpRenderer(window);
    while (!windowShouldClose(window)) {
        runFrame(window, *renderer);
    }
    // Every GL object goes while the window's context is still current.
    renderer.reset();
    shutDownWindowSystem();
    return 0;
}
