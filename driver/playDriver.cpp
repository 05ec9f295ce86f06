#include "playDriver.h"

#include "game/camera.h"
#include "world/rules.h"
#include "world/solver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iomanip>
#include <sstream>

namespace {

using DriverClock = std::chrono::steady_clock;

// The distance a frame moves the camera per second of frame time.
constexpr double cameraSpeed = movementSpeed;
// Held this far (as the frame times say) without a change of cell, a move
// counts as refused by the game: a free cell is at most one unit away.
constexpr double refusedTravel = 2.0;
// A move refused this often in a row ends the play.
constexpr int refusalsBeforeGivingUp = 3;
constexpr std::size_t warmUpFrames = 3;
// Frames that still move after the key-up was sent (see release()).
constexpr double releaseLatencyFrames = 1.5;
constexpr std::size_t framesAfterRelease = 3;
constexpr std::size_t framesBeforeScreenshot = 3;

int axisOf(Direction direction) {
    return std::abs(direction) - 1;
}

int signOf(Direction direction) {
    return direction > 0 ? 1 : -1;
}

int32_t indexOn(const Cell& cell, int axis) {
    return axis == 0 ? cell.x : axis == 1 ? cell.y : cell.z;
}

std::string describe(const Cell& cell) {
    std::ostringstream text;
    text << cell;
    return text.str();
}

std::string describe(const TraceLine& line) {
    std::ostringstream text;
    text << line;
    return text.str();
}

// Green of the overlay lines: strong green, little red and blue.
bool isOverlayGreen(Rgb pixel) {
    return pixel.green >= 160 && pixel.red <= 100 && pixel.blue <= 100;
}

} // namespace

// ---------------------------------------------------------------------------
// The mirrored world

WorldMirror::WorldMirror(const LevelLayout& layout) : level(layout) {}

Cell WorldMirror::playerCell() const {
    return level.player.cell;
}

TraceLine WorldMirror::expectedTrace() const {
    return traceLineOf(level);
}

std::string WorldMirror::follow(const TraceLine& line) {
    if (line.player != level.player.cell) {
        const GameObject* occupant = level.grid.at(line.player);
        if (occupant != nullptr && occupant != &level.player) {
            return "the player entered " + describe(line.player) + ", which is occupied";
        }
        movePlayer(level, cellCentre(line.player));
    }
    const TraceLine expected = expectedTrace();
    if (line == expected) {
        return "";
    }
    return "the game shows " + describe(line) + " where its rules give " + describe(expected);
}

std::string keyForDirection(Direction direction) {
    switch (direction) {
    case 1:
        return "d";
    case -1:
        return "a";
    case 2:
        return "q";
    case -2:
        return "e";
    case 3:
        return "s";
    case -3:
        return "w";
    default:
        return "";
    }
}

// ---------------------------------------------------------------------------
// Reading the screen

// "Wireframe: ON" is drawn at (25, 708) from the bottom left at half the
// 48-pixel glyph size: about rows 30 to 66 from the top, from column 25 on.
bool showsWireframeLine(const Screenshot& screen) {
    return screen.count(ScreenBox{20, 30, 300, 40}, isOverlayGreen) >= 60;
}

// "YOU WON!" is drawn white at (512, 384) from the bottom left at half size:
// its glyphs stand on row 384 from the top and reach about 24 rows up.
bool showsWonMessage(const Screenshot& screen) {
    return screen.count(ScreenBox{505, 354, 200, 36}, brighterThan(235)) >= 150;
}

bool switchToWireframe(GameProcess& game, Seconds timeout) {
    const DriverClock::time_point deadline =
        DriverClock::now() + std::chrono::duration_cast<DriverClock::duration>(timeout);
    while (DriverClock::now() < deadline) {
        if (!game.holdKeyForFrames("F3", 1, timeout)) {
            return false;
        }
        const std::optional<Screenshot> screen =
            screenAfterFrames(game, framesBeforeScreenshot, timeout);
        if (screen && showsWireframeLine(*screen)) {
            return true;
        }
    }
    return false;
}

bool switchToFullPicture(GameProcess& game, Seconds timeout) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (!game.holdKeyForFrames("F3", 1, timeout)) {
            return false;
        }
        const std::optional<Screenshot> screen =
            screenAfterFrames(game, framesBeforeScreenshot, timeout);
        if (screen && !showsWireframeLine(*screen)) {
            return true;
        }
    }
    return false;
}

bool holdUntilPlayerIn(GameProcess& game, const std::string& key, Cell target, Seconds timeout) {
    if (!game.sendKeyDown(key)) {
        return false;
    }
    bool arrived = false;
    for (std::size_t frame = 0; frame < 600 && !arrived; ++frame) {
        const std::optional<TraceLine> line = game.waitForNextTraceLine(timeout);
        if (!line) {
            break;
        }
        arrived = line->player == target;
    }
    game.sendKeyUp(key);
    return arrived;
}

// ---------------------------------------------------------------------------
// The driver

namespace {

class PlayDriver {
  public:
    PlayDriver(GameProcess& game, const PlayOptions& options)
        : game(game), options(options),
          deadline(DriverClock::now() +
                   std::chrono::duration_cast<DriverClock::duration>(options.timeout)),
          wireframeOn(options.inWireframe), nextFrame(options.firstFrame), mirror(options.layout),
          estimate(cameraStartFor(options.layout)) {}

    PlayResult play();

  private:
    enum class MoveOutcome { asPlanned, refused, deviated, won, failed };
    enum class HeldFrame { hold, release, won, failed };
    // What a held move has done so far.
    struct HeldMove {
        Cell from;
        Direction direction = 0;
        double boundary = 0.0; // the coordinate where the next cell begins
        std::size_t surelySeen = 0;
        double travel = 0.0;         // held without a crossing
        std::optional<double> depth; // past the boundary, once crossed
        double step = 0.0;           // the distance of one frame
    };

    bool fail(const std::string& why);
    void note(const std::string& line);
    bool followNextFrame();
    bool followAvailableFrames();
    bool waitFrames(std::size_t count);
    double typicalFrameTime() const;
    bool playPlan(const std::vector<Direction>& plan, int& refusals);
    MoveOutcome makeMove(Cell from, Direction direction);
    HeldFrame followHeldFrame(HeldMove& move);
    double crossingDepth(double boundary, int axis, double step) const;
    void settleEstimate(int axis, double position);
    bool release(const std::string& key);
    MoveOutcome outcomeOf(Cell target, std::size_t changesBefore) const;
    void keepScreen(const std::string& name);
    bool finishWon();
    void saveScreens();

    GameProcess& game;
    PlayOptions options;
    DriverClock::time_point deadline;
    bool wireframeOn = false;
    // The next trace line to follow.
    std::size_t nextFrame = 0;
    WorldMirror mirror;
    PlayResult result;
    std::size_t cellChanges = 0;
    // Where the camera is thought to be; exact at the start.
    glm::vec3 estimate;
    std::vector<std::pair<std::string, Screenshot>> screens;
};

bool PlayDriver::fail(const std::string& why) {
    if (result.failure.empty()) {
        result.failure = why;
        note("failed: " + why);
    }
    return false;
}

void PlayDriver::note(const std::string& line) {
    result.log.push_back(line);
    if (options.log) {
        options.log(line);
    }
}

bool PlayDriver::followNextFrame() {
    const Seconds left = std::min(options.frameTimeout, Seconds(deadline - DriverClock::now()));
    const std::optional<TraceLine> line = game.waitForTraceLine(nextFrame, left);
    if (!line) {
        return fail("no trace line " + std::to_string(nextFrame) + " from the game");
    }
    const Cell before = mirror.playerCell();
    const std::string disagreement = mirror.follow(*line);
    if (!disagreement.empty()) {
        return fail("frame " + std::to_string(nextFrame) + ": " + disagreement);
    }
    if (mirror.playerCell() != before) {
        ++cellChanges;
        if (mirror.playerCell() == mirror.world().goal()) {
            result.firstWonFrame = nextFrame;
        }
        note("frame " + std::to_string(nextFrame) + ": player " + describe(before) + " -> " +
             describe(mirror.playerCell()));
    }
    ++nextFrame;
    return true;
}

bool PlayDriver::followAvailableFrames() {
    const std::size_t available = game.traceLineCount();
    while (nextFrame < available) {
        if (!followNextFrame()) {
            return false;
        }
    }
    return true;
}

bool PlayDriver::waitFrames(std::size_t count) {
    const std::size_t until = std::max(nextFrame, game.traceLineCount()) + count;
    while (nextFrame < until) {
        if (!followNextFrame()) {
            return false;
        }
    }
    return true;
}

// The gaps between trace lines are the game's frame times.
double PlayDriver::typicalFrameTime() const {
    std::vector<double> gaps;
    for (std::size_t number = nextFrame; number > 1 && gaps.size() < 8; --number) {
        const std::optional<double> now = game.traceArrival(number - 1);
        const std::optional<double> before = game.traceArrival(number - 2);
        if (now && before) {
            gaps.push_back(*now - *before);
        }
    }
    if (gaps.empty()) {
        return 0.1;
    }
    std::sort(gaps.begin(), gaps.end());
    return gaps[gaps.size() / 2];
}

// How far past the boundary the crossing frame took the camera: the rest of
// its step after the distance that was left to the boundary. Without a
// believable estimate of that distance, half a step.
double PlayDriver::crossingDepth(double boundary, int axis, double step) const {
    const double left = std::abs(boundary - estimate[axis]);
    return left <= step ? step - left : 0.5 * step;
}

// After a move the estimate lies in the cell that the trace shows.
void PlayDriver::settleEstimate(int axis, double position) {
    const double low = indexOn(mirror.playerCell(), axis);
    estimate[axis] = static_cast<float>(std::clamp(position, low + 0.02, low + 0.98));
}

PlayDriver::MoveOutcome PlayDriver::outcomeOf(Cell target, std::size_t changesBefore) const {
    if (mirror.playerCell() == mirror.world().goal()) {
        return MoveOutcome::won;
    }
    const std::size_t changes = cellChanges - changesBefore;
    if (changes == 0) {
        return MoveOutcome::refused;
    }
    return changes == 1 && mirror.playerCell() == target ? MoveOutcome::asPlanned
                                                         : MoveOutcome::deviated;
}

// Frames go on moving the camera until the key-up has passed through the X
// server, which is busy with the game's pictures: about one and a half
// frames on this software renderer. Following a few frames more puts any
// late change of cell into the mirror before the next move.
bool PlayDriver::release(const std::string& key) {
    if (!game.sendKeyUp(key)) {
        return fail("cannot release " + key);
    }
    return waitFrames(framesAfterRelease);
}

// Follows one frame of a held move and says whether to go on holding. The
// depth past the boundary grows by the median frame time's step: single
// gaps between trace lines jitter when this process is slow to read them.
PlayDriver::HeldFrame PlayDriver::followHeldFrame(HeldMove& move) {
    if (!followNextFrame()) {
        return HeldFrame::failed;
    }
    move.step = cameraSpeed * typicalFrameTime();
    if (move.depth) {
        *move.depth += move.step;
    } else if (mirror.playerCell() != move.from) {
        move.depth = crossingDepth(move.boundary, axisOf(move.direction), move.step);
    } else if (nextFrame - 1 >= move.surelySeen) {
        move.travel += move.step;
    }
    if (mirror.playerCell() == mirror.world().goal()) {
        return HeldFrame::won;
    }
    // Frames go on moving until the key-up has passed the X server.
    if (move.depth && *move.depth + releaseLatencyFrames * move.step >= options.landingDepth) {
        return HeldFrame::release;
    }
    return !move.depth && move.travel > refusedTravel ? HeldFrame::release : HeldFrame::hold;
}

// A move holds its key from the press until the trace shows the next cell
// and the camera is about the middle of it, as far as the frame times tell.
PlayDriver::MoveOutcome PlayDriver::makeMove(Cell from, Direction direction) {
    if (!followAvailableFrames()) {
        return MoveOutcome::failed;
    }
    if (mirror.playerCell() != from) {
        // A late change of cell after the last move: the plan is stale.
        return MoveOutcome::deviated;
    }
    const int axis = axisOf(direction);
    const int sign = signOf(direction);
    const std::string key = keyForDirection(direction);
    const std::size_t changesBefore = cellChanges;
    if (!game.sendKeyDown(key)) {
        fail("cannot press " + key);
        return MoveOutcome::failed;
    }
    HeldMove move;
    move.from = from;
    move.direction = direction;
    move.boundary = sign > 0 ? indexOn(from, axis) + 1.0 : indexOn(from, axis);
    // The frame under way at the press may have polled before it; every
    // later frame sees the key.
    move.surelySeen = game.traceLineCount() + 1;
    HeldFrame frame = HeldFrame::hold;
    while (frame == HeldFrame::hold) {
        frame = followHeldFrame(move);
    }
    if (frame != HeldFrame::release) {
        game.sendKeyUp(key);
        return frame == HeldFrame::won ? MoveOutcome::won : MoveOutcome::failed;
    }
    if (!release(key)) {
        return MoveOutcome::failed;
    }
    if (move.depth) {
        const double latency = releaseLatencyFrames * move.step;
        settleEstimate(axis, move.boundary + sign * (*move.depth + latency));
    }
    return outcomeOf(neighbourOf(from, direction), changesBefore);
}

// Plays a plan until it is done or the game leaves it; false when the play
// is over (won or failed).
bool PlayDriver::playPlan(const std::vector<Direction>& plan, int& refusals) {
    Cell from = mirror.playerCell();
    for (Direction direction : plan) {
        const MoveOutcome outcome = makeMove(from, direction);
        ++result.moves;
        if (outcome == MoveOutcome::failed || outcome == MoveOutcome::won) {
            return false;
        }
        if (outcome == MoveOutcome::refused) {
            // On a slow machine one frame's step can carry the camera past the
            // room's bound, which the game undoes; wireframe frames are far
            // cheaper, so their steps are short enough to land.
            if (!wireframeOn && switchToWireframe(game, options.frameTimeout)) {
                wireframeOn = true;
                note("move " + directionName(direction) +
                     " refused: frames too long to land; switched to wireframe");
                return true;
            }
            if (++refusals >= refusalsBeforeGivingUp) {
                return fail("the game keeps the player out of " +
                            describe(neighbourOf(from, direction)) +
                            ", which its own rules leave free");
            }
            note("move " + directionName(direction) + " refused; trying again");
            return true;
        }
        refusals = 0;
        if (options.screenshotEveryMoves > 0 && result.moves % options.screenshotEveryMoves == 0) {
            std::ostringstream name;
            name << "move" << std::setw(3) << std::setfill('0') << result.moves << ".png";
            keepScreen(name.str());
        }
        if (outcome == MoveOutcome::deviated) {
            note("move " + directionName(direction) + " from " + describe(from) + " ended in " +
                 describe(mirror.playerCell()) + "; planning again");
            return true;
        }
        from = neighbourOf(from, direction);
    }
    return true;
}

void PlayDriver::keepScreen(const std::string& name) {
    if (options.screenshotDir.empty()) {
        return;
    }
    if (std::optional<Screenshot> screen = grabScreen()) {
        screens.emplace_back(name, std::move(*screen));
    }
}

// The first won frame's trace line comes before its picture is presented;
// two frames later a won frame is surely on the screen.
bool PlayDriver::finishWon() {
    note("won at frame " + std::to_string(*result.firstWonFrame) + " after " +
         std::to_string(result.moves) + " moves");
    if (!waitFrames(2)) {
        return false;
    }
    result.wonScreen = grabScreen();
    if (!result.wonScreen) {
        return fail("cannot read the screen during the won frames");
    }
    if (!options.screenshotDir.empty()) {
        screens.emplace_back("won.png", *result.wonScreen);
    }
    return true;
}

void PlayDriver::saveScreens() {
    for (const auto& [name, screen] : screens) {
        const std::string path = options.screenshotDir + "/" + name;
        if (screen.savePng(path)) {
            result.savedScreenshots.push_back(path);
        }
    }
}

PlayResult PlayDriver::play() {
    if (!waitFrames(warmUpFrames)) {
        return result;
    }
    keepScreen("start.png");
    if (options.switchToWireframe && !wireframeOn) {
        wireframeOn = switchToWireframe(game, options.frameTimeout);
        if (!wireframeOn) {
            note("wireframe did not switch on; moves may be coarse");
        }
    }
    int refusals = 0;
    while (result.failure.empty() && mirror.playerCell() != mirror.world().goal()) {
        if (DriverClock::now() > deadline) {
            fail("out of time after " + std::to_string(result.moves) + " moves");
            break;
        }
        const std::optional<std::vector<Direction>> plan = solveLevel(mirror.world());
        if (!plan) {
            fail("no way to the goal from player " + describe(mirror.playerCell()));
            break;
        }
        ++result.plans;
        std::string planText;
        for (Direction direction : *plan) {
            planText += " " + directionName(direction);
        }
        note("plan from " + describe(mirror.playerCell()) + ":" + planText);
        if (!playPlan(*plan, refusals)) {
            break;
        }
    }
    if (result.failure.empty() && mirror.playerCell() == mirror.world().goal()) {
        finishWon();
    }
    saveScreens();
    return result;
}

} // namespace

PlayResult playToWin(GameProcess& game, const PlayOptions& options) {
    PlayDriver driver(game, options);
    return driver.play();
}
