// Runs the real game binary as a player would: its own process under the X
// display of the test run, keys and mouse through xdotool, screenshots of the
// X screen, and the console output captured line by line. Every wait has a
// timeout, so a game that hangs fails the test instead of stalling the suite.
// Free of the test framework, so a command-line tool can drive the game too.
#pragma once

#include "core/scratchFolder.h"
#include "world/cell.h"
#include "world/trace.h"

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

using Seconds = std::chrono::duration<double>;

// How a child process ended.
struct ExitStatus {
    bool exited = false; // ended through exit(); code is valid
    int code = -1;
    int signal = 0;        // the signal that ended it, 0 if none
    bool timedOut = false; // still running at the deadline and killed then
};
bool operator==(const ExitStatus& a, const ExitStatus& b);
inline bool operator!=(const ExitStatus& a, const ExitStatus& b) {
    return !(a == b);
}
std::ostream& operator<<(std::ostream& out, const ExitStatus& status);
ExitStatus exitedWith(int code);

struct CommandResult {
    ExitStatus status;
    std::string output; // standard output only
};
// Runs a program (found on PATH) with stdin at /dev/null, collecting its
// standard output; killed when it outlives the timeout.
CommandResult runCommand(const std::vector<std::string>& argv, Seconds timeout);

// The lines of one output stream of a child, filled by a reader thread.
class LineLog {
  public:
    void append(const char* data, std::size_t size);
    void close();
    std::vector<std::string> lines() const;
    std::size_t lineCount() const;
    std::optional<std::string> line(std::size_t index) const;
    // When the line arrived, in seconds of the steady clock: the gaps between
    // trace lines are the game's frame times.
    std::optional<double> arrivalTime(std::size_t index) const;
    // Everything received so far, including a last line without its end.
    std::string text() const;
    // Index of the first line at or after from that matches, waiting for more
    // lines until the stream ends or the timeout passes.
    std::optional<std::size_t> waitFor(const std::function<bool(const std::string&)>& matches,
                                       std::size_t from, Seconds timeout) const;
    // Waits until the stream has ended (the writer closed it).
    bool waitClosed(Seconds timeout) const;

  private:
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    std::vector<std::string> complete;
    std::vector<double> arrivals;
    std::string partial;
    bool closed = false;
};

// Trace lines and cells in failure messages.
std::ostream& operator<<(std::ostream& out, const TraceLine& line);
std::ostream& operator<<(std::ostream& out, const Cell& cell);

// The game binary and the asset folder of this build (the tests know both;
// elsewhere "cellquest" on PATH and the current directory).
std::string defaultGamePath();
std::string defaultAssetDir();

struct LaunchOptions {
    std::string executable = defaultGamePath();
    std::vector<std::string> arguments;
    std::string workingDir = defaultAssetDir();
    // Set (a value) or removed (nothing) on top of this process's environment.
    std::map<std::string, std::optional<std::string>> environment;
    // The game's standard input is read from this file; /dev/null when empty.
    std::string standardInputFile;
};

struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

class GameProcess {
  public:
    GameProcess() = default;
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;
    // A game still running is killed: no test leaves one behind.
    ~GameProcess();

    // Starts the game with stdin at /dev/null (or the options' file); false (with error()) when the
    // process could not be created.
    bool start(const LaunchOptions& options = LaunchOptions());
    const std::string& error() const { return startError; }
    pid_t pid() const { return childPid; }

    const LineLog& out() const { return stdoutLog; }
    const LineLog& err() const { return stderrLog; }

    // Trace lines of standard output, in order; the shader echo and other
    // lines in between are skipped.
    std::vector<TraceLine> traceLines() const;
    std::size_t traceLineCount() const;
    // The trace line with the given number (0 = the first frame), waiting for
    // it as long as the timeout allows.
    std::optional<TraceLine> waitForTraceLine(std::size_t number, Seconds timeout) const;
    // Waits for the next trace line after the ones seen so far.
    std::optional<TraceLine> waitForNextTraceLine(Seconds timeout) const;
    // When that trace line arrived (steady clock seconds); nothing before.
    std::optional<double> traceArrival(std::size_t number) const;

    // Finds the game's window ("Game") and gives it the input focus, which a
    // display without a window manager never does by itself; without it the
    // window gets no keys and no cursor motion.
    bool focusWindow(Seconds timeout);
    std::optional<std::string> windowId() const { return window; }
    std::optional<WindowGeometry> windowGeometry() const;

    // Key names as xdotool knows them: "a", "w", "Escape", "F2".
    bool sendKeyDown(const std::string& key);
    bool sendKeyUp(const std::string& key);
    // Down and up at once, as a player taps a key: often both reach the game
    // between the same two frames.
    bool tapKey(const std::string& key);
    // The game reads its key table once per frame, so a key is held across
    // trace lines: down, `frames` further trace lines, up. Returns the number
    // of trace lines seen while the key was down, or nothing on a timeout.
    std::optional<std::size_t> holdKeyForFrames(const std::string& key, std::size_t frames,
                                                Seconds timeout);
    bool moveMouseRelative(int dx, int dy);
    // Resizes the focused game window, as a window manager would.
    bool resizeWindow(int width, int height);

    // Waits for the process to end; kills it when the timeout passes.
    ExitStatus waitForExit(Seconds timeout);
    // Holds Escape until the game has ended, as a player quits.
    ExitStatus quitWithEscape(Seconds timeout);
    // Looks without waiting; an ended process is collected here.
    bool running();
    void kill();

  private:
    void startReader(int fd, LineLog& log, std::thread& reader);
    void collect(ExitStatus ended);
    std::optional<std::size_t> traceLineIndex(std::size_t number, Seconds timeout) const;
    bool runXdotool(const std::vector<std::string>& arguments);

    pid_t childPid = -1;
    bool finished = false;
    ExitStatus status;
    std::string startError;
    LineLog stdoutLog;
    LineLog stderrLog;
    std::thread stdoutReader;
    std::thread stderrReader;
    std::optional<std::string> window;
    // Where the trace lines stand among the stdout lines, found as they come.
    mutable std::vector<std::size_t> traceIndex;
    mutable std::size_t tracesScannedTo = 0;
};

// Starts the game, waits for its first trace line and focuses its window, so
// that keys reach it. Empty on success, otherwise what went wrong with the
// game's error output.
std::string startFocusedGame(GameProcess& game, const LaunchOptions& options, Seconds timeout);

// Empty when the X display named by DISPLAY is usable for the game (it exists
// and is 1024 x 768); otherwise why not, for the failure message. Keeps this
// process connected to the display from then on, so that the server does not
// reset between two games.
std::string displayProblem();
// A picture of the X screen.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};
using PixelTest = std::function<bool(Rgb)>;

// A box of the screen in screen coordinates, top row 0.
struct ScreenBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // top row first
    bool load(const std::string& path);
    bool savePng(const std::string& path) const;
    Rgb at(int x, int y) const;
    // The pixels of the box (the part on the screen) that pass the test.
    int count(ScreenBox box, const PixelTest& passes) const;
    // Their share of the whole box.
    double share(ScreenBox box, const PixelTest& passes) const;
};

// The game's colours as the screen shows them. The red blocks are lit with a
// red light: red well above green and blue. The crates' wood is brown: red
// over green over blue.
bool isBlockRed(Rgb pixel);
bool isCrateWood(Rgb pixel);
// All three channels at least `level`.
PixelTest brighterThan(int level);

// Reads the whole X screen straight from the server, in a few milliseconds:
// the 301 won frames can pass in well under a second, too fast for a
// screenshot program to start. Nothing when the display cannot be read.
std::optional<Screenshot> grabScreen();
// The screen once the game has drawn `frames` more frames; nothing on a
// timeout or when the display cannot be read.
std::optional<Screenshot> screenAfterFrames(const GameProcess& game, std::size_t frames,
                                            Seconds timeout);
// Grabs the screen and saves it as a PNG.
bool takeScreenshot(const std::string& path);

// A throw-away copy of the game's run-time assets (shaders/, objects/,
// fonts/ and the three images) in which a test may remove or replace files.
class AssetCopy {
  public:
    explicit AssetCopy(const std::string& source = defaultAssetDir());

    bool valid() const { return copied; }
    const std::string& path() const { return scratch.folder(); }
    std::string file(const std::string& relative) const { return scratch.path(relative); }
    bool remove(const std::string& relative) const;
    bool write(const std::string& relative, const std::string& contents) const;
    std::string read(const std::string& relative) const;

  private:
    ScratchFolder scratch{"cellquestAssets."};
    bool copied = false;
};

// Names of the run-time asset files and folders, relative to the asset root.
const std::vector<std::string>& assetEntries();
// The fourteen shader files the game compiles.
const std::vector<std::string>& shaderFiles();
// The absolute path of a file inside the build tree (screenshots); the
// current directory outside the tests.
std::string buildPath(const std::string& relative);
