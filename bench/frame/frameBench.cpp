// Frame-time harness: opens the game's window (windowed, 1024 x 768), sets up
// the whole renderer and renders the normal frame at the start position,
// pass by pass as the game does. Prints the spread of the whole frame (wall
// clock up to a finished swap) and of each pass (GL_TIME_ELAPSED queries),
// then each pass once more by wall clock with the pipeline drained around it.
// Run from the repository root under Xvfb:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/frameBench [frames]
#include "core/console.h"
#include "game/gameState.h"
#include "platform/window.h"
#include "render/bloom.h"
#include "render/drawFrame.h"
#include "render/overlay.h"
#include "render/particleRenderer.h"
#include "render/renderer.h"
#include "render/scene.h"
#include "render/shadowPass.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int warmUpFrames = 30;
constexpr int defaultMeasuredFrames = 300;
constexpr float benchFrameTime = 1.0f / 60.0f;

struct Pass {
    std::string name;
    std::function<void()> run;
};

constexpr std::size_t framePassCount = 8;
using FramePasses = std::array<Pass, framePassCount>;

// The frame's update (which steps the particles) and the view built from it,
// then the passes in the order drawFrame runs them. The shadow pass's
// light-space matrix waits in lightSpace for the lit pass.
FramePasses framePassesOf(Renderer& renderer, GameState& game, std::optional<FrameView>& view,
                          glm::mat4& lightSpace) {
    return {{
        {"update",
         [&] {
             updateGame(game, FrameInput{game.time + benchFrameTime, {}, cameraAspect});
             view.emplace(frameViewOf(game, game.time));
         }},
        {"shadow", [&] { lightSpace = renderShadowPass(renderer, *view); }},
        {"lit",
         [&] {
             clearTargetsForLitPass(renderer);
             renderLitPass(renderer, *view, lightSpace);
         }},
        {"light marker", [&] { drawLightMarker(renderer, *view); }},
        {"particles",
         [&] { drawParticlePass(renderer.particleBuffers, renderer.particleProgram, *view); }},
        {"blur x" + std::to_string(blurPassCount), [&] { blurBrightColor(renderer); }},
        {"combine", [&] { combineBloom(renderer); }},
        {"overlay", [&] { drawOverlay(renderer, view->overlay, view->wireframe); }},
    }};
}

struct Spread {
    double median, p10, p90, min, max;
};

Spread spreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    auto quantile = [&](double q) { return samples[std::size_t(q * (samples.size() - 1))]; };
    return {quantile(0.5), quantile(0.1), quantile(0.9), samples.front(), samples.back()};
}

void printRow(const std::string& name, const std::vector<double>& samples) {
    const Spread s = spreadOf(samples);
    std::printf("  %-14s %8.2f %8.2f %8.2f %8.2f %8.2f\n", name.c_str(), s.median, s.p10, s.p90,
                s.min, s.max);
}

void printHeader(const char* title) {
    std::printf("%s\n  %-14s %8s %8s %8s %8s %8s\n", title, "ms", "median", "p10", "p90", "min",
                "max");
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of the whole process, the rasteriser's threads included: on a
// software renderer sharing the machine it shows the work apart from the
// waiting.
double processCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1.0e3 + double(now.tv_nsec) / 1.0e6;
}

// Whole frames with one timer query per pass; the wall clock runs until the
// swapped frame is finished.
void measureFrames(Window& window, const FramePasses& framePasses, int frames) {
    std::array<GLuint, framePassCount> queries{};
    glGenQueries(GLsizei(queries.size()), queries.data());
    std::vector<double> frameTimes;
    std::vector<double> frameCpuTimes;
    std::array<std::vector<double>, framePassCount> passTimes;

    for (int frame = 0; frame < warmUpFrames + frames; ++frame) {
        const Clock::time_point start = Clock::now();
        const double cpuStart = processCpuMilliseconds();
        for (std::size_t i = 0; i < framePasses.size(); ++i) {
            glBeginQuery(GL_TIME_ELAPSED, queries[i]);
            framePasses[i].run();
            glEndQuery(GL_TIME_ELAPSED);
        }
        window.present();
        glFinish();
        const double frameTime = millisecondsSince(start);
        const double frameCpuTime = processCpuMilliseconds() - cpuStart;
        if (frame < warmUpFrames) {
            continue;
        }
        frameTimes.push_back(frameTime);
        frameCpuTimes.push_back(frameCpuTime);
        for (std::size_t i = 0; i < framePasses.size(); ++i) {
            GLuint64 nanoseconds = 0;
            glGetQueryObjectui64v(queries[i], GL_QUERY_RESULT, &nanoseconds);
            passTimes[i].push_back(double(nanoseconds) / 1.0e6);
        }
    }
    glDeleteQueries(GLsizei(queries.size()), queries.data());

    // llvmpipe runs several small passes in one batch of work, so their
    // query figures may come out alike; the drained table tells them apart.
    printHeader("Whole frame (wall clock incl. swap and glFinish) and GPU time per pass:");
    printRow("frame", frameTimes);
    printRow("frame CPU", frameCpuTimes);
    for (std::size_t i = 0; i < framePasses.size(); ++i) {
        printRow(framePasses[i].name, passTimes[i]);
    }
}

// The same passes, each drained with glFinish before and after, so the wall
// clock of one pass holds its own work only.
void measureDrainedPasses(Window& window, const FramePasses& framePasses, int frames) {
    std::array<std::vector<double>, framePassCount> passTimes;
    std::array<std::vector<double>, framePassCount> passCpuTimes;
    for (int frame = 0; frame < frames; ++frame) {
        for (std::size_t i = 0; i < framePasses.size(); ++i) {
            glFinish();
            const Clock::time_point start = Clock::now();
            const double cpuStart = processCpuMilliseconds();
            framePasses[i].run();
            glFinish();
            passTimes[i].push_back(millisecondsSince(start));
            passCpuTimes[i].push_back(processCpuMilliseconds() - cpuStart);
        }
        window.present();
    }
    printHeader("Each pass drained (wall clock, glFinish around it):");
    for (std::size_t i = 0; i < framePasses.size(); ++i) {
        printRow(framePasses[i].name, passTimes[i]);
    }
    printHeader("Each pass drained (process CPU time, all rasteriser threads):");
    for (std::size_t i = 0; i < framePasses.size(); ++i) {
        printRow(framePasses[i].name, passCpuTimes[i]);
    }
}

int measuredFrameCount(int argc, char** argv) {
    const int requested = argc > 1 ? std::atoi(argv[1]) : defaultMeasuredFrames;
    return requested > 0 ? requested : defaultMeasuredFrames;
}

} // namespace

int main(int argc, char** argv) {
    const int frames = measuredFrameCount(argc, argv);
    WindowSystem windowSystem;
    Window window(WindowMode::windowed);
    GameState game;
    Renderer renderer(fatalError, setGlobalGlState);

    // The particle count of a steady 60 frames per second (about twenty
    // live) and the frame-rate line on, as a player watching it would have.
    game.modes.showFramerate = true;
    std::optional<FrameView> view;
    glClearColor(0.2f, 0.3f, 0.4f, 1.0f);
    std::printf("frameBench: %d frames after %d warm-up, %s, camera at the start position\n",
                frames, warmUpFrames, reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    glm::mat4 lightSpace(1.0f);
    const FramePasses framePasses = framePassesOf(renderer, game, view, lightSpace);
    measureFrames(window, framePasses, frames);
    measureDrainedPasses(window, framePasses, std::max(frames / 3, 1));
    std::printf("live particles at the end: %d\n",
                int(std::count_if(game.particles.pool.begin(), game.particles.pool.end(), isLive)));
    return 0;
}
