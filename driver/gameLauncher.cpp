#include "gameLauncher.h"

#include "assets/image.h"
#include "assets/imageWriter.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

extern char** environ;

// Presses or releases a key through the XTest extension of this process's
// own X connection (defined with the other X code at the end of the file).
namespace x11Input {
bool fakeKeyEvent(const std::string& key, bool press);
}

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadlineAfter(Seconds timeout) {
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(timeout);
}

Seconds remainingUntil(Clock::time_point deadline) {
    return std::max(Seconds(0), Seconds(deadline - Clock::now()));
}

ExitStatus statusFromWait(int waitStatus) {
    ExitStatus status;
    if (WIFEXITED(waitStatus)) {
        status.exited = true;
        status.code = WEXITSTATUS(waitStatus);
    } else if (WIFSIGNALED(waitStatus)) {
        status.signal = WTERMSIG(waitStatus);
    }
    return status;
}

// Waits for a child until the deadline; kills it then, so no wait hangs.
ExitStatus reapChild(pid_t pid, Clock::time_point deadline) {
    int waitStatus = 0;
    for (;;) {
        const pid_t result = waitpid(pid, &waitStatus, WNOHANG);
        if (result == pid) {
            return statusFromWait(waitStatus);
        }
        if (result < 0 && errno != EINTR) {
            return ExitStatus{};
        }
        if (Clock::now() >= deadline) {
            ::kill(pid, SIGKILL);
            waitpid(pid, &waitStatus, 0);
            ExitStatus status = statusFromWait(waitStatus);
            status.timedOut = true;
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<char*> cStrings(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<std::string>
environmentWith(const std::map<std::string, std::optional<std::string>>& overrides) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (overrides.count(name) == 0) {
            result.push_back(text);
        }
    }
    for (const auto& [name, value] : overrides) {
        if (value) {
            result.push_back(name + "=" + *value);
        }
    }
    return result;
}

// Owns the file actions of one spawn: stdin from a file (/dev/null unless
// named), stdout and stderr to the given descriptors (-1 keeps /dev/null),
// optional directory.
struct SpawnActions {
    posix_spawn_file_actions_t actions;
    SpawnActions(int outFd, int errFd, const std::string& workingDir,
                 const std::string& inputFile = "") {
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(
            &actions, 0, inputFile.empty() ? "/dev/null" : inputFile.c_str(), O_RDONLY, 0);
        redirect(outFd, 1);
        redirect(errFd, 2);
        if (!workingDir.empty()) {
            posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
        }
    }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    void redirect(int fd, int target) {
        if (fd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, fd, target);
        } else {
            posix_spawn_file_actions_addopen(&actions, target, "/dev/null", O_WRONLY, 0);
        }
    }
};

void readUntilEnd(int fd, LineLog& log) {
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count > 0) {
            log.append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    log.close();
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

} // namespace

// ---------------------------------------------------------------------------
// Exit status and commands

bool operator==(const ExitStatus& a, const ExitStatus& b) {
    return a.exited == b.exited && a.code == b.code && a.signal == b.signal &&
           a.timedOut == b.timedOut;
}

std::ostream& operator<<(std::ostream& out, const ExitStatus& status) {
    if (status.timedOut) {
        out << "timed out and killed, ";
    }
    if (status.exited) {
        return out << "exit status " << status.code;
    }
    if (status.signal != 0) {
        return out << "signal " << status.signal << " (" << strsignal(status.signal) << ")";
    }
    return out << "unknown end";
}

ExitStatus exitedWith(int code) {
    ExitStatus status;
    status.exited = true;
    status.code = code;
    return status;
}

CommandResult runCommand(const std::vector<std::string>& argv, Seconds timeout) {
    CommandResult result;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        return result;
    }
    std::vector<std::string> arguments = argv;
    std::vector<char*> argPointers = cStrings(arguments);
    pid_t pid = -1;
    {
        SpawnActions actions(pipeFds[1], -1, "");
        if (posix_spawnp(&pid, argPointers[0], &actions.actions, nullptr, argPointers.data(),
                         environ) != 0) {
            pid = -1;
        }
    }
    ::close(pipeFds[1]);
    if (pid < 0) {
        ::close(pipeFds[0]);
        return result;
    }
    const Clock::time_point deadline = deadlineAfter(timeout);
    pollfd reader{pipeFds[0], POLLIN, 0};
    char buffer[4096];
    while (Clock::now() < deadline) {
        const int waitMs = static_cast<int>(remainingUntil(deadline).count() * 1000) + 1;
        if (poll(&reader, 1, waitMs) <= 0) {
            continue;
        }
        const ssize_t count = read(pipeFds[0], buffer, sizeof buffer);
        if (count <= 0) {
            break;
        }
        result.output.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(pipeFds[0]);
    result.status = reapChild(pid, deadline);
    return result;
}

// ---------------------------------------------------------------------------
// Line logs

void LineLog::append(const char* data, std::size_t size) {
    const double now = Seconds(Clock::now().time_since_epoch()).count();
    std::lock_guard<std::mutex> lock(mutex);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            arrivals.push_back(now);
            complete.push_back(std::move(partial));
            partial.clear();
        } else {
            partial.push_back(data[i]);
        }
    }
    changed.notify_all();
}

void LineLog::close() {
    std::lock_guard<std::mutex> lock(mutex);
    closed = true;
    changed.notify_all();
}

std::vector<std::string> LineLog::lines() const {
    std::lock_guard<std::mutex> lock(mutex);
    return complete;
}

std::size_t LineLog::lineCount() const {
    std::lock_guard<std::mutex> lock(mutex);
    return complete.size();
}

std::optional<std::string> LineLog::line(std::size_t index) const {
    std::lock_guard<std::mutex> lock(mutex);
    if (index >= complete.size()) {
        return std::nullopt;
    }
    return complete[index];
}

std::optional<double> LineLog::arrivalTime(std::size_t index) const {
    std::lock_guard<std::mutex> lock(mutex);
    if (index >= arrivals.size()) {
        return std::nullopt;
    }
    return arrivals[index];
}

std::string LineLog::text() const {
    std::lock_guard<std::mutex> lock(mutex);
    std::string all;
    for (const std::string& line : complete) {
        all += line;
        all += '\n';
    }
    return all + partial;
}

std::optional<std::size_t> LineLog::waitFor(const std::function<bool(const std::string&)>& matches,
                                            std::size_t from, Seconds timeout) const {
    const Clock::time_point deadline = deadlineAfter(timeout);
    std::unique_lock<std::mutex> lock(mutex);
    for (std::size_t next = from;;) {
        for (; next < complete.size(); ++next) {
            if (matches(complete[next])) {
                return next;
            }
        }
        if (closed || Clock::now() >= deadline) {
            return std::nullopt;
        }
        changed.wait_until(lock, deadline);
    }
}

bool LineLog::waitClosed(Seconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_until(lock, deadlineAfter(timeout), [this] { return closed; });
}

// ---------------------------------------------------------------------------
// Trace lines

std::ostream& operator<<(std::ostream& out, const Cell& cell) {
    return out << "(" << cell.x << "," << cell.y << "," << cell.z << ")";
}

std::ostream& operator<<(std::ostream& out, const TraceLine& line) {
    return out << "player " << line.player << " red " << line.red << " blue " << line.blue;
}

// ---------------------------------------------------------------------------
// The game process

GameProcess::~GameProcess() {
    kill();
    if (stdoutReader.joinable()) {
        stdoutReader.join();
    }
    if (stderrReader.joinable()) {
        stderrReader.join();
    }
}

bool GameProcess::start(const LaunchOptions& options) {
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        startError = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        startError = std::string("pipe: ") + std::strerror(errno);
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return false;
    }
    std::vector<std::string> arguments{options.executable};
    arguments.insert(arguments.end(), options.arguments.begin(), options.arguments.end());
    std::vector<std::string> environment = environmentWith(options.environment);
    std::vector<char*> argPointers = cStrings(arguments);
    std::vector<char*> envPointers = cStrings(environment);
    int result = 0;
    {
        SpawnActions actions(outPipe[1], errPipe[1], options.workingDir, options.standardInputFile);
        result = posix_spawnp(&childPid, options.executable.c_str(), &actions.actions, nullptr,
                              argPointers.data(), envPointers.data());
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (result != 0) {
        childPid = -1;
        startError = "cannot start " + options.executable + ": " + std::strerror(result);
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return false;
    }
    startReader(outPipe[0], stdoutLog, stdoutReader);
    startReader(errPipe[0], stderrLog, stderrReader);
    return true;
}

void GameProcess::startReader(int fd, LineLog& log, std::thread& reader) {
    reader = std::thread([fd, &log] { readUntilEnd(fd, log); });
}

std::vector<TraceLine> GameProcess::traceLines() const {
    std::vector<TraceLine> result;
    for (const std::string& line : stdoutLog.lines()) {
        if (auto trace = parseTraceLine(line)) {
            result.push_back(*trace);
        }
    }
    return result;
}

std::size_t GameProcess::traceLineCount() const {
    // Indexes every trace line already received; nothing waits here.
    while (traceLineIndex(traceIndex.size(), Seconds(0))) {
    }
    return traceIndex.size();
}

std::optional<std::size_t> GameProcess::traceLineIndex(std::size_t number, Seconds timeout) const {
    const Clock::time_point deadline = deadlineAfter(timeout);
    while (traceIndex.size() <= number) {
        const auto found = stdoutLog.waitFor(
            [](const std::string& line) { return parseTraceLine(line).has_value(); },
            tracesScannedTo, remainingUntil(deadline));
        if (!found) {
            return std::nullopt;
        }
        traceIndex.push_back(*found);
        tracesScannedTo = *found + 1;
    }
    return traceIndex[number];
}

std::optional<TraceLine> GameProcess::waitForTraceLine(std::size_t number, Seconds timeout) const {
    const auto index = traceLineIndex(number, timeout);
    if (!index) {
        return std::nullopt;
    }
    return parseTraceLine(*stdoutLog.line(*index));
}

std::optional<double> GameProcess::traceArrival(std::size_t number) const {
    const auto index = traceLineIndex(number, Seconds(0));
    if (!index) {
        return std::nullopt;
    }
    return stdoutLog.arrivalTime(*index);
}

std::optional<TraceLine> GameProcess::waitForNextTraceLine(Seconds timeout) const {
    return waitForTraceLine(traceLineCount(), timeout);
}

bool GameProcess::focusWindow(Seconds timeout) {
    const Clock::time_point deadline = deadlineAfter(timeout);
    const CommandResult search = runCommand({"xdotool", "search", "--sync", "--all", "--pid",
                                             std::to_string(childPid), "--name", "^Game$"},
                                            remainingUntil(deadline));
    const std::string id = firstLine(search.output);
    if (search.status != exitedWith(0) || id.empty()) {
        return false;
    }
    window = id;
    const CommandResult focus =
        runCommand({"xdotool", "windowfocus", "--sync", id}, remainingUntil(deadline));
    return focus.status == exitedWith(0);
}

std::optional<WindowGeometry> GameProcess::windowGeometry() const {
    if (!window) {
        return std::nullopt;
    }
    const CommandResult result =
        runCommand({"xdotool", "getwindowgeometry", "--shell", *window}, Seconds(20));
    if (result.status != exitedWith(0)) {
        return std::nullopt;
    }
    WindowGeometry geometry;
    std::istringstream lines(result.output);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string name = line.substr(0, equals);
        const int value = std::atoi(line.c_str() + equals + 1);
        if (name == "X") {
            geometry.x = value;
        } else if (name == "Y") {
            geometry.y = value;
        } else if (name == "WIDTH") {
            geometry.width = value;
        } else if (name == "HEIGHT") {
            geometry.height = value;
        }
    }
    return geometry;
}

bool GameProcess::runXdotool(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{"xdotool"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return runCommand(argv, Seconds(20)).status == exitedWith(0);
}

bool GameProcess::sendKeyDown(const std::string& key) {
    return runXdotool({"keydown", key});
}

bool GameProcess::sendKeyUp(const std::string& key) {
    return runXdotool({"keyup", key});
}

bool GameProcess::tapKey(const std::string& key) {
    return sendKeyDown(key) && sendKeyUp(key);
}

std::optional<std::size_t> GameProcess::holdKeyForFrames(const std::string& key, std::size_t frames,
                                                         Seconds timeout) {
    const std::size_t before = traceLineCount();
    if (!sendKeyDown(key)) {
        return std::nullopt;
    }
    const bool seen = waitForTraceLine(before + frames - 1, timeout).has_value();
    // Released even after a timeout, so no key stays held for later tests.
    const bool released = sendKeyUp(key);
    if (!seen || !released) {
        return std::nullopt;
    }
    return traceLineCount() - before;
}

bool GameProcess::moveMouseRelative(int dx, int dy) {
    return runXdotool({"mousemove_relative", "--", std::to_string(dx), std::to_string(dy)});
}

bool GameProcess::resizeWindow(int width, int height) {
    return window &&
           runXdotool({"windowsize", *window, std::to_string(width), std::to_string(height)});
}

ExitStatus GameProcess::waitForExit(Seconds timeout) {
    if (childPid > 0 && !finished) {
        collect(reapChild(childPid, deadlineAfter(timeout)));
    }
    return status;
}

ExitStatus GameProcess::quitWithEscape(Seconds timeout) {
    // A key that could not be sent shows as the game outliving the timeout.
    sendKeyDown("Escape");
    const ExitStatus ended = waitForExit(timeout);
    sendKeyUp("Escape");
    return ended;
}

bool GameProcess::running() {
    if (childPid <= 0 || finished) {
        return false;
    }
    int waitStatus = 0;
    if (waitpid(childPid, &waitStatus, WNOHANG) == childPid) {
        collect(statusFromWait(waitStatus));
        return false;
    }
    return true;
}

void GameProcess::collect(ExitStatus ended) {
    status = ended;
    finished = true;
    // The pipes close with the process, so the readers end and every line it
    // wrote is in the logs once they are joined.
    stdoutReader.join();
    stderrReader.join();
}

void GameProcess::kill() {
    if (running()) {
        ::kill(childPid, SIGKILL);
        waitForExit(Seconds(30));
    }
}

std::string startFocusedGame(GameProcess& game, const LaunchOptions& options, Seconds timeout) {
    const Clock::time_point deadline = deadlineAfter(timeout);
    if (!game.start(options)) {
        return game.error();
    }
    if (!game.waitForTraceLine(0, remainingUntil(deadline))) {
        return "no trace line from the game; its error output:\n" + game.err().text();
    }
    if (!game.focusWindow(remainingUntil(deadline))) {
        return "cannot find or focus the game's window \"Game\"";
    }
    return "";
}

// ---------------------------------------------------------------------------
// Display, screenshots and assets

bool Screenshot::load(const std::string& path) {
    RgbImage image;
    std::string reason;
    if (!decodeRgbImage(path, image, reason)) {
        return false;
    }
    width = image.width;
    height = image.height;
    rgb = std::move(image.pixels);
    return true;
}

bool Screenshot::savePng(const std::string& path) const {
    return width > 0 && writePng(path, width, height, 3, rgb.data());
}

std::optional<Screenshot> screenAfterFrames(const GameProcess& game, std::size_t frames,
                                            Seconds timeout) {
    if (!game.waitForTraceLine(game.traceLineCount() + frames, timeout)) {
        return std::nullopt;
    }
    return grabScreen();
}

bool takeScreenshot(const std::string& path) {
    const std::optional<Screenshot> screen = grabScreen();
    return screen && screen->savePng(path);
}

Rgb Screenshot::at(int x, int y) const {
    const unsigned char* pixel = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    return Rgb{pixel[0], pixel[1], pixel[2]};
}

int Screenshot::count(ScreenBox box, const PixelTest& passes) const {
    int passing = 0;
    for (int y = std::max(0, box.top); y < std::min(height, box.top + box.height); ++y) {
        for (int x = std::max(0, box.left); x < std::min(width, box.left + box.width); ++x) {
            passing += passes(at(x, y)) ? 1 : 0;
        }
    }
    return passing;
}

double Screenshot::share(ScreenBox box, const PixelTest& passes) const {
    return double(count(box, passes)) / (double(box.width) * box.height);
}

bool isBlockRed(Rgb p) {
    return p.red >= 120 && p.red > p.green + 60 && p.red > p.blue + 60;
}

bool isCrateWood(Rgb p) {
    return p.red >= p.green && p.green > p.blue + 10 && p.red > p.blue + 20;
}

PixelTest brighterThan(int level) {
    return [level](Rgb p) { return p.red >= level && p.green >= level && p.blue >= level; };
}

const std::vector<std::string>& assetEntries() {
    static const std::vector<std::string> entries{
        "shaders", "objects", "fonts", "container2.png", "container2_specular.png", "tilewall.jpg"};
    return entries;
}

const std::vector<std::string>& shaderFiles() {
    static const std::vector<std::string> files{
        "shaders/basic.vert",         "shaders/basic.frag",       "shaders/lamp.vert",
        "shaders/lamp.frag",          "shaders/text.vert",        "shaders/text.frag",
        "shaders/simple_tooned.frag", "shaders/shadow.vert",      "shaders/shadow.frag",
        "shaders/particle.vert",      "shaders/particle.frag",    "shaders/passthrough.vert",
        "shaders/blur.frag",          "shaders/bloomCombine.frag"};
    return files;
}

#ifndef CELLQUEST_GAME_PATH
#define CELLQUEST_GAME_PATH "cellquest"
#endif
#ifndef CELLQUEST_SOURCE_DIR
#define CELLQUEST_SOURCE_DIR "."
#endif
#ifndef CELLQUEST_BINARY_DIR
#define CELLQUEST_BINARY_DIR "."
#endif

std::string defaultGamePath() {
    return CELLQUEST_GAME_PATH;
}

std::string defaultAssetDir() {
    return CELLQUEST_SOURCE_DIR;
}

std::string buildPath(const std::string& relative) {
    return std::string(CELLQUEST_BINARY_DIR) + "/" + relative;
}

AssetCopy::AssetCopy(const std::string& source) {
    if (!scratch.valid()) {
        return;
    }
    namespace fs = std::filesystem;
    std::error_code failure;
    for (const std::string& entry : assetEntries()) {
        fs::copy(fs::path(source) / entry, fs::path(scratch.path(entry)),
                 fs::copy_options::recursive, failure);
        if (failure) {
            return;
        }
    }
    copied = true;
}

bool AssetCopy::remove(const std::string& relative) const {
    std::error_code failure;
    return valid() && std::filesystem::remove(file(relative), failure);
}

bool AssetCopy::write(const std::string& relative, const std::string& contents) const {
    std::ofstream out(file(relative), std::ios::binary | std::ios::trunc);
    out << contents;
    return valid() && static_cast<bool>(out);
}

std::string AssetCopy::read(const std::string& relative) const {
    std::ifstream in(file(relative), std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// ---------------------------------------------------------------------------
// Reading the screen through Xlib, loaded at run time so that nothing needs
// linking against it. Kept last in this file: Xlib's macros (None, Bool,
// Status, True, False) must not reach code after it.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

namespace {

// XTestFakeKeyEvent, whose header is not installed; its signature is fixed.
using FakeKeyEventFunction = int (*)(Display*, unsigned int, int, unsigned long);

struct Xlib {
    decltype(&::XOpenDisplay) openDisplay = nullptr;
    decltype(&::XDefaultRootWindow) defaultRootWindow = nullptr;
    decltype(&::XGetWindowAttributes) getWindowAttributes = nullptr;
    decltype(&::XGetImage) getImage = nullptr;
    decltype(&::XStringToKeysym) stringToKeysym = nullptr;
    decltype(&::XKeysymToKeycode) keysymToKeycode = nullptr;
    decltype(&::XSync) sync = nullptr;
    decltype(&::XDisplayWidth) displayWidth = nullptr;
    decltype(&::XDisplayHeight) displayHeight = nullptr;
    decltype(&::XDefaultScreen) defaultScreen = nullptr;
    FakeKeyEventFunction fakeKey = nullptr;
    Display* display = nullptr;

    template <typename Function> bool load(void* library, const char* name, Function& function) {
        function = reinterpret_cast<Function>(dlsym(library, name));
        return function != nullptr;
    }

    bool loadFunctions() {
        void* library = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!library || !load(library, "XOpenDisplay", openDisplay) ||
            !load(library, "XDefaultRootWindow", defaultRootWindow) ||
            !load(library, "XGetWindowAttributes", getWindowAttributes) ||
            !load(library, "XGetImage", getImage) ||
            !load(library, "XStringToKeysym", stringToKeysym) ||
            !load(library, "XKeysymToKeycode", keysymToKeycode) || !load(library, "XSync", sync) ||
            !load(library, "XDisplayWidth", displayWidth) ||
            !load(library, "XDisplayHeight", displayHeight) ||
            !load(library, "XDefaultScreen", defaultScreen)) {
            return false;
        }
        // Without XTest, keys go through xdotool.
        if (void* xtest = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL)) {
            load(xtest, "XTestFakeKeyEvent", fakeKey);
        }
        return true;
    }
};

// One connection for the whole run. While it is open the X server does not
// reset, which it otherwise does whenever its last client leaves (between two
// games, say) and during which no client can connect.
Xlib* xlib() {
    static Xlib connection;
    static const bool loaded = connection.loadFunctions();
    if (loaded && !connection.display) {
        connection.display = connection.openDisplay(nullptr);
    }
    return connection.display ? &connection : nullptr;
}

// A server that is resetting refuses connections for a moment.
Xlib* xlibWithin(Seconds timeout) {
    const Clock::time_point deadline = deadlineAfter(timeout);
    Xlib* x = xlib();
    while (!x && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        x = xlib();
    }
    return x;
}

unsigned char channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1UL) == 0) {
        ++shift;
    }
    const unsigned long top = mask >> shift;
    return static_cast<unsigned char>(((pixel & mask) >> shift) * 255UL / top);
}

Screenshot screenshotOf(XImage* image) {
    Screenshot shot;
    shot.width = image->width;
    shot.height = image->height;
    shot.rgb.resize(static_cast<std::size_t>(shot.width) * shot.height * 3);
    unsigned char* out = shot.rgb.data();
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            *out++ = channel(pixel, image->red_mask);
            *out++ = channel(pixel, image->green_mask);
            *out++ = channel(pixel, image->blue_mask);
        }
    }
    return shot;
}

} // namespace

std::string displayProblem() {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        return "DISPLAY is not set: run the end-to-end tests under "
               "xvfb-run -a -s \"-screen 0 1024x768x24\"";
    }
    Xlib* x = xlibWithin(Seconds(20));
    if (!x) {
        return std::string("cannot open the X display ") + display;
    }
    const int screen = x->defaultScreen(x->display);
    const int width = x->displayWidth(x->display, screen);
    const int height = x->displayHeight(x->display, screen);
    if (width != 1024 || height != 768) {
        return "the X screen is " + std::to_string(width) + " x " + std::to_string(height) +
               ", not 1024 x 768: start Xvfb with -screen 0 1024x768x24";
    }
    return "";
}

namespace x11Input {

bool fakeKeyEvent(const std::string& key, bool press) {
    Xlib* x = xlib();
    if (!x || !x->fakeKey) {
        return false;
    }
    const KeySym symbol = x->stringToKeysym(key.c_str());
    const KeyCode code = symbol == NoSymbol ? 0 : x->keysymToKeycode(x->display, symbol);
    if (code == 0) {
        return false;
    }
    x->fakeKey(x->display, code, press ? True : False, CurrentTime);
    // Once the server has it, the game's next poll of events sees it.
    x->sync(x->display, False);
    return true;
}

} // namespace x11Input

std::optional<Screenshot> grabScreen() {
    Xlib* x = xlib();
    if (!x) {
        return std::nullopt;
    }
    const Window root = x->defaultRootWindow(x->display);
    XWindowAttributes attributes;
    if (!x->getWindowAttributes(x->display, root, &attributes)) {
        return std::nullopt;
    }
    XImage* image = x->getImage(x->display, root, 0, 0, attributes.width, attributes.height,
                                AllPlanes, ZPixmap);
    if (!image) {
        return std::nullopt;
    }
    Screenshot shot = screenshotOf(image);
    XDestroyImage(image);
    return shot;
}

#undef None
#undef Bool
#undef Status
#undef True
#undef False
#undef Success
#undef Always
