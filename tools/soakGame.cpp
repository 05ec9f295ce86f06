// soakGame: a long run of cellquest under the current X display. Random held
// keys, mode switches and mouse motion, all drawn from a fixed seed, move the
// player through the level; every trace line the game prints is checked
// against the driver's own copy of the world (the game's level objects in
// this process, advanced by the game's rules from each change of the
// player's cell), and the game's resident memory is sampled as it runs.
//
//   soakGame <game-binary> <asset-dir> <frames> [seed]
//
// It fails (status 1) when a trace line disagrees with the copy, when the
// game stops or crashes, or when the resident memory after the first hundred
// frames grows by more than a small tolerance. Mode switches and the text
// overlay are all used during those first hundred frames, so that the
// renderer has built everything it keeps before the baseline is taken.
//
// Staying clear of the win: the won game ends itself after 300 frames, so
// the player never reaches the trophy's cell (2, 2, 0). W/S/A/D move the
// camera only in the horizontal plane and Q/E only along y, exactly (the
// other coordinates do not change at all), and one hold uses one of the two
// kinds, never both. So a horizontal hold keeps the player's cell y and a
// vertical one keeps its column, and the rules are: horizontal holds only
// when the cell y is not 2; in the goal's column (x 2, z 0) Q only above
// y = 2 and E only below it; elsewhere Q and E freely. In every state one of
// the three is allowed (blocks may still stall the player at y = 2 between
// two occupied cells; the count of cell changes at the end shows how much
// the player moved). Each hold is released and a few frames are followed
// before the next choice, so every choice sees where the player really
// stopped. Reaching the goal cell anyway counts as a failure.
//
// The seed fixes the stream of random choices; what each choice does still
// depends on the frame times, so two runs with one seed play alike, not the
// same.
//
// The launcher and the world mirror are the end-to-end tests' own (the
// gameDriver library).
#include "driver/gameLauncher.h"
#include "driver/playDriver.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

using DriverClock = std::chrono::steady_clock;

namespace {

const Seconds startTimeout(120);
const Seconds frameTimeout(60);
const Seconds exitTimeout(120);

// Frames followed after a release: the frame under way when the key-up was
// sent may still move, later ones do not.
constexpr std::size_t settleFrames = 3;
constexpr std::size_t baselineFrame = 100;
constexpr std::size_t memoryEveryFrames = 250;
constexpr long memoryToleranceKb = 5 * 1024;
constexpr std::size_t progressEveryFrames = 1000;

int usage(const char* program) {
    std::cerr << "Usage: " << program << " <game-binary> <asset-dir> <frames> [seed]\n"
              << "Plays the game for <frames> frames with random input from <seed> under\n"
              << "$DISPLAY (a 1024x768 screen, e.g. xvfb-run -a -s \"-screen 0 1024x768x24\"),\n"
              << "checking every trace line and the game's resident memory.\n";
    return 2;
}

// The resident memory of a process from /proc/<pid>/status, in kB: all of
// it (VmRSS), and its anonymous and file-backed parts. Pages of the shared
// libraries count as file-backed: code the game runs for the first time
// makes them grow without any leak, while leaked heap grows the anonymous
// part.
struct MemorySample {
    std::size_t frame = 0;
    long kb = 0;
    long anonymousKb = 0;
    long fileKb = 0;
};

std::optional<MemorySample> sampleMemoryOf(pid_t pid, std::size_t frame) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    MemorySample sample;
    sample.frame = frame;
    bool found = false;
    for (std::string line; std::getline(status, line);) {
        const long value = std::atol(line.c_str() + line.find(':') + 1);
        if (line.compare(0, 6, "VmRSS:") == 0) {
            sample.kb = value;
            found = true;
        } else if (line.compare(0, 8, "RssAnon:") == 0) {
            sample.anonymousKb = value;
        } else if (line.compare(0, 8, "RssFile:") == 0) {
            sample.fileKb = value;
        }
    }
    if (!found) {
        return std::nullopt;
    }
    return sample;
}

std::ostream& operator<<(std::ostream& out, const MemorySample& sample) {
    return out << sample.kb << " kB (anonymous " << sample.anonymousKb << ", file " << sample.fileKb
               << ")";
}

// One thing the random player does: keys held together for some frames, or
// a motion of the mouse.
struct Action {
    std::vector<std::string> keys;
    std::size_t frames = 0;
    int mouseX = 0;
    int mouseY = 0;
};

class Soak {
  public:
    Soak(GameProcess& game, std::size_t frames, std::uint32_t seed)
        : game(game), frames(frames), random(seed), started(DriverClock::now()) {}

    bool run();
    const std::vector<MemorySample>& memory() const { return samples; }
    std::size_t framesFollowed() const { return nextFrame; }
    std::size_t cellChangesSeen() const { return cellChanges; }
    const std::string& failure() const { return failed; }

  private:
    bool fail(const std::string& why);
    bool followUntil(std::size_t frame);
    bool followFrame();
    void sampleMemory();
    bool warmUp();
    bool perform(const Action& action);
    bool hold(const std::vector<std::string>& keys, std::size_t count);
    Action nextAction();
    Action movement(std::size_t preferred);
    Action horizontalHold();
    bool inGoalColumn() const;
    bool mayMoveHorizontally() const;
    bool mayRise() const;
    bool mayDescend() const;
    std::size_t randomBetween(std::size_t low, std::size_t high);
    double elapsedSeconds() const;

    GameProcess& game;
    std::size_t frames;
    std::mt19937 random;
    DriverClock::time_point started;
    WorldMirror mirror;
    std::size_t nextFrame = 0;
    std::size_t cellChanges = 0;
    std::size_t nextSampleFrame = 0;
    std::vector<MemorySample> samples;
    std::string failed;
};

bool Soak::fail(const std::string& why) {
    if (failed.empty()) {
        failed = why;
    }
    return false;
}

double Soak::elapsedSeconds() const {
    return Seconds(DriverClock::now() - started).count();
}

std::size_t Soak::randomBetween(std::size_t low, std::size_t high) {
    return low + random() % (high - low + 1);
}

// Samples at the start, at the baseline and every few hundred frames after.
void Soak::sampleMemory() {
    if (nextFrame < nextSampleFrame) {
        return;
    }
    if (const std::optional<MemorySample> sample = sampleMemoryOf(game.pid(), nextFrame)) {
        samples.push_back(*sample);
    }
    nextSampleFrame = nextFrame < baselineFrame
                          ? baselineFrame
                          : (nextFrame / memoryEveryFrames + 1) * memoryEveryFrames;
}

bool Soak::followFrame() {
    const std::optional<TraceLine> line = game.waitForTraceLine(nextFrame, frameTimeout);
    if (!line) {
        std::ostringstream why;
        why << "no trace line " << nextFrame << " from the game; it ";
        if (game.running()) {
            why << "stalled";
        } else {
            why << "ended with " << game.waitForExit(Seconds(0)) << "; its error output:\n"
                << game.err().text();
        }
        return fail(why.str());
    }
    const Cell before = mirror.playerCell();
    const std::string disagreement = mirror.follow(*line);
    if (!disagreement.empty()) {
        return fail("frame " + std::to_string(nextFrame) + ": " + disagreement);
    }
    if (mirror.playerCell() == goalCell) {
        return fail("frame " + std::to_string(nextFrame) + ": the player reached the goal cell");
    }
    if (mirror.playerCell() != before) {
        ++cellChanges;
    }
    ++nextFrame;
    sampleMemory();
    if (nextFrame % progressEveryFrames == 0 && !samples.empty()) {
        std::ostringstream text;
        text << "frame " << nextFrame << ": " << static_cast<long>(elapsedSeconds()) << " s, "
             << cellChanges << " cell changes, " << mirror.expectedTrace() << ", RSS "
             << samples.back();
        std::cout << text.str() << std::endl;
    }
    return true;
}

bool Soak::followUntil(std::size_t frame) {
    while (nextFrame < frame) {
        if (!followFrame()) {
            return false;
        }
    }
    return true;
}

// Holds the keys until `count` further frames are out, releases them, and
// follows the frames that may still move.
bool Soak::hold(const std::vector<std::string>& keys, std::size_t count) {
    if (!followUntil(game.traceLineCount())) {
        return false;
    }
    bool sent = true;
    for (const std::string& key : keys) {
        sent = game.sendKeyDown(key) && sent;
    }
    const bool followed = sent && followUntil(nextFrame + count);
    for (const std::string& key : keys) {
        sent = game.sendKeyUp(key) && sent;
    }
    if (!sent) {
        return fail("xdotool could not press or release a key");
    }
    return followed && followUntil(std::max(nextFrame, game.traceLineCount()) + settleFrames);
}

bool Soak::perform(const Action& action) {
    if (!action.keys.empty()) {
        return hold(action.keys, action.frames);
    }
    if ((action.mouseX != 0 || action.mouseY != 0) &&
        !game.moveMouseRelative(action.mouseX, action.mouseY)) {
        return fail("xdotool could not move the mouse");
    }
    return followUntil(std::max(nextFrame, game.traceLineCount()) + action.frames);
}

// Wireframe, the frame-rate line and the culling line each on and off once,
// so that every mode has been drawn before the memory baseline.
bool Soak::warmUp() {
    for (const char* key : {"F3", "F2", "F8"}) {
        for (int flip = 0; flip < 2; ++flip) {
            if (!hold({key}, 1) || !followUntil(nextFrame + 4)) {
                return false;
            }
        }
    }
    return perform(Action{{}, 2, 120, -40}) && followUntil(baselineFrame + 1);
}

bool Soak::inGoalColumn() const {
    const Cell at = mirror.playerCell();
    return at.x == goalCell.x && at.z == goalCell.z;
}

bool Soak::mayMoveHorizontally() const {
    return mirror.playerCell().y != goalCell.y;
}

bool Soak::mayRise() const {
    return !inGoalColumn() || mirror.playerCell().y > goalCell.y;
}

bool Soak::mayDescend() const {
    return !inGoalColumn() || mirror.playerCell().y < goalCell.y;
}

Action Soak::horizontalHold() {
    static const std::vector<std::vector<std::string>> choices{
        {"w"}, {"s"}, {"a"}, {"d"}, {"w", "a"}, {"w", "d"}, {"s", "a"}, {"s", "d"}};
    return Action{choices[random() % choices.size()], randomBetween(1, 10), 0, 0};
}

// A hold of the preferred kind (0 horizontal, 1 up, 2 down) when the rules
// allow it, otherwise of the next kind they allow.
Action Soak::movement(std::size_t preferred) {
    const bool allowed[3] = {mayMoveHorizontally(), mayRise(), mayDescend()};
    std::size_t kind = preferred;
    while (!allowed[kind]) {
        kind = (kind + 1) % 3;
    }
    if (kind == 0) {
        return horizontalHold();
    }
    return Action{{kind == 1 ? "q" : "e"}, randomBetween(1, 4), 0, 0};
}

Action Soak::nextAction() {
    const std::size_t roll = random() % 100;
    if (roll < 50) {
        return movement(0);
    }
    if (roll < 63) {
        return movement(1);
    }
    if (roll < 76) {
        return movement(2);
    }
    if (roll < 92) {
        const int dx = static_cast<int>(randomBetween(0, 400)) - 200;
        const int dy = static_cast<int>(randomBetween(0, 160)) - 80;
        return Action{{}, randomBetween(1, 3), dx, dy};
    }
    if (roll < 97) {
        static const std::vector<std::string> toggles{"F2", "F3", "F8"};
        return Action{{toggles[random() % toggles.size()]}, randomBetween(1, 2), 0, 0};
    }
    return Action{{}, randomBetween(1, 5), 0, 0};
}

bool Soak::run() {
    if (!followUntil(1) || !warmUp()) {
        return false;
    }
    while (nextFrame < frames) {
        if (!perform(nextAction())) {
            return false;
        }
    }
    if (const std::optional<MemorySample> sample = sampleMemoryOf(game.pid(), nextFrame)) {
        samples.push_back(*sample);
    }
    return true;
}

std::optional<MemorySample> sampleAt(const std::vector<MemorySample>& samples, std::size_t frame) {
    for (const MemorySample& sample : samples) {
        if (sample.frame >= frame) {
            return sample;
        }
    }
    return std::nullopt;
}

// Growth over the baseline at the first hundred frames, beyond the
// tolerance; empty when there is none.
std::string memoryGrowth(const std::vector<MemorySample>& samples) {
    const std::optional<MemorySample> baseline = sampleAt(samples, baselineFrame);
    if (!baseline) {
        return "no memory sample after " + std::to_string(baselineFrame) + " frames";
    }
    for (const MemorySample& sample : samples) {
        if (sample.frame > baseline->frame && sample.kb - baseline->kb > memoryToleranceKb) {
            return "resident memory grew from " + std::to_string(baseline->kb) + " kB at frame " +
                   std::to_string(baseline->frame) + " to " + std::to_string(sample.kb) +
                   " kB at frame " + std::to_string(sample.frame);
        }
    }
    return "";
}

void printMemory(const std::vector<MemorySample>& samples) {
    std::cout << "resident memory by frame:" << std::endl;
    for (const MemorySample& sample : samples) {
        std::cout << "  " << sample.frame << ": " << sample << std::endl;
    }
    const std::optional<MemorySample> baseline = sampleAt(samples, baselineFrame);
    if (!samples.empty() && baseline) {
        long highest = 0;
        for (const MemorySample& sample : samples) {
            highest = std::max(highest, sample.kb);
        }
        std::cout << "RSS at start " << samples.front().kb << " kB, after " << baseline->frame
                  << " frames " << baseline->kb << " kB, at the end (frame " << samples.back().frame
                  << ") " << samples.back().kb << " kB, highest " << highest << " kB" << std::endl;
    }
}

bool parseCount(const char* text, unsigned long& value) {
    char* end = nullptr;
    value = std::strtoul(text, &end, 10);
    return *text != '\0' && *end == '\0';
}

} // namespace

int main(int argc, char** argv) {
    unsigned long frames = 0;
    unsigned long seed = 20260;
    if ((argc != 4 && argc != 5) || !parseCount(argv[3], frames) || frames <= baselineFrame + 50 ||
        (argc == 5 && !parseCount(argv[4], seed))) {
        return usage(argv[0]);
    }
    const std::string problem = displayProblem();
    if (!problem.empty()) {
        std::cerr << problem << std::endl;
        return 1;
    }
    namespace fs = std::filesystem;
    LaunchOptions launch;
    launch.executable = fs::absolute(argv[1]).string();
    launch.workingDir = fs::absolute(argv[2]).string();
    launch.arguments = {"--windowed"};
    std::cout << "soak: " << frames << " frames, seed " << seed << std::endl;

    const auto started = DriverClock::now();
    GameProcess game;
    const std::string startError = startFocusedGame(game, launch, startTimeout);
    if (!startError.empty()) {
        std::cerr << startError << std::endl;
        return 1;
    }
    Soak soak(game, frames, static_cast<std::uint32_t>(seed));
    const bool played = soak.run();
    const ExitStatus ended = played ? game.quitWithEscape(exitTimeout) : ExitStatus{};
    const double seconds = Seconds(DriverClock::now() - started).count();

    std::printf("frames followed: %zu, cell changes: %zu, wall time: %.0f s\n",
                soak.framesFollowed(), soak.cellChangesSeen(), seconds);
    printMemory(soak.memory());
    if (!played) {
        std::cerr << "soak failed: " << soak.failure() << std::endl;
        return 1;
    }
    std::cout << "game ended: " << ended << std::endl;
    const std::string growth = memoryGrowth(soak.memory());
    if (!growth.empty()) {
        std::cerr << "soak failed: " << growth << std::endl;
        return 1;
    }
    if (ended != exitedWith(0)) {
        std::cerr << "soak failed: Escape did not end the game with status 0" << std::endl;
        return 1;
    }
    std::cout << "soak passed" << std::endl;
    return 0;
}
