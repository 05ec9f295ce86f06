// Behaviour a player or a packager sees and no other test pins down: the F2
// and F8 lines toggled by their real keys, the still picture of the won
// frames, the OpenGL context the game asks for, and the start-up failures
// below the window system (no GLX, too old an OpenGL, GLEW refusing the
// context) with their streams and exit status.
#include "driver/playDriver.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

const Seconds startTimeout(120);
const Seconds frameTimeout(60);
const Seconds exitTimeout(60);
// A fatal start-up failure ends the game at once; this only bounds a game
// that would wait for a key nobody can press.
const Seconds fatalTimeout(30);

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

// The start of a stream, enough to see what it holds.
std::string beginning(const LineLog& log) {
    const std::string text = log.text();
    return text.size() <= 400 ? text : text.substr(0, 400) + "...";
}

std::size_t countLine(const LineLog& log, const std::string& wanted) {
    const std::vector<std::string> lines = log.lines();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), wanted));
}

// ---------------------------------------------------------------------------
// The mode lines at the top left

// Every mode line is drawn green at (25, 708) from the bottom left at half
// the 48-pixel glyph size, so its glyphs stand in rows 30 to 66 from the top.
// The lines differ in length: "Wireframe: ON" ends at about column 182, the
// frame-rate line at about 248 with a one-digit rate (13 columns more per
// further digit) and "View Frustum Culling: ON" at about 299.
constexpr int lineTop = 30;
constexpr int lineBottom = 67;
constexpr int lineLeft = 20;
constexpr int lineRight = 400;

bool isOverlayGreen(const unsigned char* pixel) {
    return pixel[1] >= 160 && pixel[0] <= 100 && pixel[2] <= 100;
}

struct ModeLine {
    int greenPixels = 0;
    int rightmostColumn = -1; // -1: no green at all
};

ModeLine modeLineOn(const Screenshot& screen) {
    ModeLine line;
    for (int y = lineTop; y < lineBottom; ++y) {
        for (int x = lineLeft; x < lineRight; ++x) {
            if (isOverlayGreen(&screen.rgb[(static_cast<std::size_t>(y) * screen.width + x) * 3])) {
                ++line.greenPixels;
                line.rightmostColumn = std::max(line.rightmostColumn, x);
            }
        }
    }
    return line;
}

enum class Shown { nothing, framerate, culling, other };

const char* nameOf(Shown shown) {
    switch (shown) {
    case Shown::nothing:
        return "no line";
    case Shown::framerate:
        return "the frame-rate line";
    case Shown::culling:
        return "the \"View Frustum Culling: ON\" line";
    default:
        return "some other line";
    }
}

Shown classify(const ModeLine& line) {
    if (line.greenPixels == 0) {
        return Shown::nothing;
    }
    if (line.greenPixels < 60) {
        return Shown::other;
    }
    if (line.rightmostColumn >= 230 && line.rightmostColumn <= 285) {
        return Shown::framerate;
    }
    if (line.rightmostColumn >= 290 && line.rightmostColumn <= 320) {
        return Shown::culling;
    }
    return Shown::other;
}

constexpr std::size_t framesBeforeLooking = 3;

// Holds the key for one frame and looks at the line a few frames later. A
// key-down and key-up that reach the game between the same two frames flip
// nothing, so the press is repeated (a few times at most) until the picture
// changes; what it changes to is the caller's to judge.
struct Toggle {
    Shown before = Shown::other;
    Shown after = Shown::other;
    ModeLine line;
    int presses = 0;
};

Toggle pressUntilChanged(GameProcess& game, const std::string& key) {
    Toggle toggle;
    std::optional<Screenshot> screen = screenAfterFrames(game, 1, frameTimeout);
    if (!screen) {
        return toggle;
    }
    toggle.before = classify(modeLineOn(*screen));
    for (toggle.presses = 1; toggle.presses <= 6; ++toggle.presses) {
        if (!game.holdKeyForFrames(key, 1, frameTimeout)) {
            return toggle;
        }
        screen = screenAfterFrames(game, framesBeforeLooking, frameTimeout);
        if (!screen) {
            return toggle;
        }
        toggle.line = modeLineOn(*screen);
        toggle.after = classify(toggle.line);
        if (toggle.after != toggle.before) {
            return toggle;
        }
    }
    return toggle;
}

void expectToggle(GameProcess& game, const std::string& key, Shown from, Shown to) {
    const Toggle toggle = pressUntilChanged(game, key);
    EXPECT_EQ(nameOf(toggle.before), std::string(nameOf(from))) << key;
    EXPECT_EQ(nameOf(toggle.after), std::string(nameOf(to)))
        << key << " after " << toggle.presses << " one-frame presses: " << toggle.line.greenPixels
        << " green pixels up to column " << toggle.line.rightmostColumn;
}

TEST(ModeKeys, f2AndF8ShowAndHideTheirOwnLines) {
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, LaunchOptions(), startTimeout), "");
    expectToggle(game, "F2", Shown::nothing, Shown::framerate);
    expectToggle(game, "F2", Shown::framerate, Shown::nothing);
    expectToggle(game, "F8", Shown::nothing, Shown::culling);
    expectToggle(game, "F8", Shown::culling, Shown::nothing);
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
}

// ---------------------------------------------------------------------------
// The won frames

// "YOU WON!" is drawn again in every won frame, blended over what the frame
// before left, so the soft edges of its glyphs can brighten from frame to
// frame. Everything outside its box must stay exactly as it was.
constexpr int messageLeft = 495;
constexpr int messageTop = 345;
constexpr int messageRight = 720;
constexpr int messageBottom = 400;

bool insideMessage(int x, int y) {
    return x >= messageLeft && x < messageRight && y >= messageTop && y < messageBottom;
}

int changedOutsideMessage(const Screenshot& a, const Screenshot& b) {
    int changed = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * a.width + x) * 3;
            const bool same = a.rgb[at] == b.rgb[at] && a.rgb[at + 1] == b.rgb[at + 1] &&
                              a.rgb[at + 2] == b.rgb[at + 2];
            changed += !same && !insideMessage(x, y) ? 1 : 0;
        }
    }
    return changed;
}

// The won frames cost next to nothing: all 301 pass within about half a second here,
// so the two pictures are taken 120 won frames apart, well before the last
// one. A won frame that ran the passes would show it twice over: whatever of
// the trophy, its stars and the fountain is in view would move between the
// pictures (the trophy turns 50 degrees a second, the stars 200), and the
// frame would cost as much as one during the play. Here a full frame takes
// about 0.17 s and a wireframe one about 0.02 s, a won frame 1 to 2.5 ms.
constexpr std::size_t wonFramesApart = 120;
constexpr double playedToWonFrameCost = 3.0;

double medianFrameSeconds(const GameProcess& game, std::size_t first, std::size_t last) {
    std::vector<double> intervals;
    for (std::size_t frame = first; frame <= last; ++frame) {
        const std::optional<double> before = game.traceArrival(frame - 1);
        const std::optional<double> at = game.traceArrival(frame);
        if (before && at) {
            intervals.push_back(*at - *before);
        }
    }
    if (intervals.empty()) {
        return 0.0;
    }
    std::nth_element(intervals.begin(), intervals.begin() + intervals.size() / 2, intervals.end());
    return intervals[intervals.size() / 2];
}

TEST(WonFrames, drawNoPassSoThePictureStandsStill) {
    GameProcess game;
    ASSERT_EQ(startFocusedGame(game, LaunchOptions(), startTimeout), "");
    PlayOptions options;
    options.log = [](const std::string& line) { std::cout << "[play] " << line << std::endl; };
    const PlayResult result = playToWin(game, options);
    ASSERT_EQ(result.failure, "") << joined(result.log);
    ASSERT_TRUE(result.firstWonFrame);
    const std::size_t firstWon = *result.firstWonFrame;
    ASSERT_GE(firstWon, 11u);

    // A won frame's trace line comes before its picture is presented.
    const std::size_t earlyFrame = firstWon + 2;
    const std::size_t lateFrame = earlyFrame + wonFramesApart;
    ASSERT_TRUE(game.waitForTraceLine(earlyFrame, frameTimeout));
    const std::optional<Screenshot> early = grabScreen();
    ASSERT_TRUE(game.waitForTraceLine(lateFrame, frameTimeout));
    const std::optional<Screenshot> late = grabScreen();
    ASSERT_TRUE(early && late);
    const std::string earlyPath = buildPath("e2e-won-early.png");
    const std::string latePath = buildPath("e2e-won-late.png");
    early->savePng(earlyPath);
    late->savePng(latePath);

    // Both are pictures of won frames, not of the desktop after the exit.
    EXPECT_TRUE(showsWonMessage(*early)) << earlyPath;
    EXPECT_TRUE(showsWonMessage(*late)) << latePath;
    ASSERT_EQ(early->width, late->width);
    ASSERT_EQ(early->height, late->height);
    EXPECT_EQ(changedOutsideMessage(*early, *late), 0)
        << "pixels outside \"YOU WON!\" changed between " << earlyPath << " and " << latePath;

    // The last frames of the play drew the scene in the mode the won frames
    // would draw it in, had they drawn it.
    const double played = medianFrameSeconds(game, firstWon - 10, firstWon - 1);
    const double won = medianFrameSeconds(game, earlyFrame + 1, lateFrame);
    std::cout << "pictures " << wonFramesApart << " won frames and "
              << game.traceArrival(lateFrame).value_or(0.0) -
                     game.traceArrival(earlyFrame).value_or(0.0)
              << " s apart; median frame " << played << " s before the win, " << won << " s after"
              << std::endl;
    EXPECT_LT(won * playedToWonFrameCost, played)
        << "won frames cost about as much as frames that draw the scene";

    EXPECT_EQ(game.waitForExit(exitTimeout), exitedWith(0));
}

// ---------------------------------------------------------------------------
// The OpenGL context and the failures below the window system

// An X server of our own without the GLX extension: a display on which no
// OpenGL context can be made at all. Xvfb picks a free display number itself
// and writes it to standard output. Ended with SIGTERM so that it removes its
// lock file; the GameProcess kills it if it outlives that.
class DisplayWithoutGlx {
  public:
    DisplayWithoutGlx() {
        LaunchOptions options;
        options.executable = "Xvfb";
        options.arguments = {"-displayfd", "1",   "-screen",   "0",  "1024x768x24",
                             "-extension", "GLX", "-nolisten", "tcp"};
        if (!server.start(options)) {
            problem = "cannot start Xvfb: " + server.error();
            return;
        }
        const auto written = server.out().waitFor(
            [](const std::string& line) { return !line.empty(); }, 0, Seconds(30));
        if (!written) {
            problem = "Xvfb gave no display number; its error output:\n" + server.err().text();
            return;
        }
        name = ":" + *server.out().line(*written);
    }
    ~DisplayWithoutGlx() {
        if (server.running()) {
            ::kill(server.pid(), SIGTERM);
            server.waitForExit(Seconds(10));
        }
    }
    DisplayWithoutGlx(const DisplayWithoutGlx&) = delete;
    DisplayWithoutGlx& operator=(const DisplayWithoutGlx&) = delete;

    std::string problem;
    std::string name;

  private:
    GameProcess server;
};

enum class Stream { out, err };

struct StartFailure {
    const char* name;
    // Mesa's MESA_GL_VERSION_OVERRIDE, when set: the OpenGL version its
    // driver claims to offer.
    const char* glVersion;
    bool withoutGlx;
    Stream stream;
    const char* message;
};

std::ostream& operator<<(std::ostream& out, const StartFailure& failure) {
    return out << failure.name;
}

// Each failure ends the game before its first frame with its one line on its
// stream, nothing on the other one (no "Press Enter" either: standard input
// is /dev/null, not a terminal) and exit status 1.
const StartFailure startFailures[] = {
    // glfwInit works without GLX; the window with its context does not.
    {"displayWithoutGlx", nullptr, true, Stream::err, "open window failed"},
    // The game asks for OpenGL 3.3; a driver offering 3.2 cannot give it.
    {"openGl32Only", "3.2", false, Stream::err, "open window failed"},
    // "11.0" is more than 3.3, so the context is made; GLEW reads the version
    // string's digits around the first dot, takes it for OpenGL 1.0 and refuses.
    {"versionGlewCannotRead", "11.0", false, Stream::out, "Failed to initialize GLEW"},
};

class StartFailures : public ::testing::TestWithParam<StartFailure> {};

TEST_P(StartFailures, reportOnTheirStreamAndEndWithStatusOneWithoutWaiting) {
    const StartFailure& failure = GetParam();
    LaunchOptions options;
    std::optional<DisplayWithoutGlx> display;
    if (failure.withoutGlx) {
        display.emplace();
        ASSERT_EQ(display->problem, "");
        options.environment["DISPLAY"] = display->name;
    }
    if (failure.glVersion) {
        options.environment["MESA_GL_VERSION_OVERRIDE"] = std::string(failure.glVersion);
    }
    GameProcess game;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(game.start(options)) << game.error();
    const ExitStatus status = game.waitForExit(fatalTimeout);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    EXPECT_EQ(status, exitedWith(1));
    EXPECT_LT(seconds, 15.0) << "a fatal start-up failure must not linger";
    EXPECT_EQ(game.traceLineCount(), 0u);
    const LineLog& reported = failure.stream == Stream::out ? game.out() : game.err();
    const LineLog& other = failure.stream == Stream::out ? game.err() : game.out();
    EXPECT_EQ(countLine(reported, failure.message), 1u) << beginning(reported);
    EXPECT_EQ(countLine(other, failure.message), 0u) << beginning(other);
    // Standard output holds the GLEW line and nothing else, or nothing at all:
    // no "Press Enter to continue..." either.
    const std::string expectedOutput =
        failure.stream == Stream::out ? std::string(failure.message) + "\n" : std::string();
    EXPECT_TRUE(game.out().text() == expectedOutput)
        << "standard output: " << beginning(game.out());
}

INSTANTIATE_TEST_SUITE_P(Startup, StartFailures, ::testing::ValuesIn(startFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// The other side of openGl32Only above: a driver that offers exactly 3.3 is
// enough, so the game asks for no more than that.
TEST(ContextRequest, aDriverOfferingExactlyOpenGl33IsEnough) {
    GameProcess game;
    LaunchOptions options;
    options.environment["MESA_GL_VERSION_OVERRIDE"] = std::string("3.3");
    ASSERT_EQ(startFocusedGame(game, options, startTimeout), "");
    ASSERT_TRUE(game.waitForTraceLine(5, frameTimeout)) << game.err().text();
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
    EXPECT_EQ(game.err().text(), "");
}

} // namespace
