// The game's sound as it leaves the real game: OpenAL's wave-file backend
// records what a short level sounds like, and the recording is compared with
// the game's own trace. Each change of cell has its sound within 250 ms of
// the frame that traced it, and the long win jingle follows the winning move.
// Without any device the game says so in one line and plays to the win. The
// level is the first of a campaign of two, so that the game plays on (and
// records) after the win's frames, which a software renderer races through.
#include "core/scratchFolder.h"
#include "driver/playDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace {

const Seconds startTimeout(120);
const Seconds moveTimeout(60);
const Seconds exitTimeout(120);

// One row of cells down -z along the wall from the player to the trophy,
// which stands a row from the far wall (a long frame's move then stops in
// the trophy's cell rather than bumping into the wall); a red block steps
// along beside the player and a blue block against it, so every move sounds
// three times.
const char* const shortLevel = R"(title: Three steps
size: 3 2 5

layer 0
...
T.B
...
...
@R.

layer 1
...
...
...
...
...
)";
const std::vector<Cell> way{{0, 0, 3}, {0, 0, 2}, {0, 0, 1}};

// Effects at full volume, no music: between the sounds the recording is
// silent.
const char* const effectsOnly = "[sound]\nmaster = 100\neffects = 100\nmusic = 0\n";

// The recording's samples mixed to mono, -1..1, and their rate.
struct Recording {
    int rate = 0;
    std::vector<double> samples;
};

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | std::uint8_t(bytes[at + std::size_t(i)]);
    }
    return value;
}

// The RIFF chunks of the wave backend's file (WAVE_FORMAT_EXTENSIBLE, 16-bit
// as the test's configuration asks). A data size the writer never filled in
// counts as the rest of the file.
std::optional<Recording> readRecording(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return std::nullopt;
    }
    Recording recording;
    int channels = 0;
    int bits = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        std::size_t size = littleEndian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            channels = int(littleEndian(bytes, body + 2, 2));
            recording.rate = int(littleEndian(bytes, body + 4, 4));
            bits = int(littleEndian(bytes, body + 14, 2));
        } else if (id == "data" && channels > 0 && bits == 16) {
            if (size == 0 || body + size > bytes.size()) {
                size = bytes.size() - body;
            }
            for (std::size_t frame = body; frame + 2 * std::size_t(channels) <= body + size;
                 frame += 2 * std::size_t(channels)) {
                double sum = 0.0;
                for (int c = 0; c < channels; ++c) {
                    sum += std::int16_t(littleEndian(bytes, frame + 2 * std::size_t(c), 2));
                }
                recording.samples.push_back(sum / channels / 32768.0);
            }
            return recording;
        }
        at = body + size + (size & 1u);
    }
    return std::nullopt;
}

constexpr double windowSeconds = 0.01;
constexpr double soundLevel = 0.005; // RMS of a window with sound in it

// The RMS of each 10 ms window.
std::vector<double> loudness(const Recording& recording) {
    const std::size_t window = std::size_t(recording.rate * windowSeconds);
    std::vector<double> levels;
    for (std::size_t start = 0; start + window <= recording.samples.size(); start += window) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + window; ++i) {
            sum += recording.samples[i] * recording.samples[i];
        }
        levels.push_back(std::sqrt(sum / double(window)));
    }
    return levels;
}

// Seconds into the recording where a sound starts after at least 0.2 s of
// silence.
std::vector<double> onsets(const std::vector<double>& levels) {
    std::vector<double> found;
    int quiet = 1000;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] > soundLevel && quiet * windowSeconds >= 0.2) {
            found.push_back(double(i) * windowSeconds);
        }
        quiet = levels[i] > soundLevel ? 0 : quiet + 1;
    }
    return found;
}

bool soundsBetween(const std::vector<double>& levels, double from, double to) {
    for (std::size_t i = std::size_t(from / windowSeconds);
         i < levels.size() && double(i) * windowSeconds < to; ++i) {
        if (levels[i] > soundLevel) {
            return true;
        }
    }
    return false;
}

class SoundRun : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(scratch.valid());
        scratch.write("config/cellquest/settings.toml", effectsOnly);
        scratch.write("levels/1-short.level", shortLevel);
        scratch.write("levels/2-again.level", shortLevel);
    }
    void TearDown() override {
        if (HasFailure()) {
            std::cout << "game's standard error:\n" << game.err().text() << std::endl;
        }
    }
    // The first level played move by move, a second apart so that each
    // move's sound ends before the next; then its won frames, and a while of
    // the next level before Escape ends the game.
    void playToTheWin(const std::string& openAlConfig) {
        LaunchOptions options;
        options.arguments = {"--campaign", "--levels", scratch.path("levels"), "--windowed"};
        options.environment["XDG_CONFIG_HOME"] = scratch.path("config");
        options.environment["XDG_DATA_HOME"] = scratch.path("data");
        options.environment["ALSOFT_CONF"] = scratch.write("openal.conf", openAlConfig);
        ASSERT_EQ(startFocusedGame(game, options, startTimeout), "");
        for (const Cell& cell : way) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            ASSERT_TRUE(holdUntilIn(cell)) << cell;
        }
        ASSERT_TRUE(game.out().waitFor([](const std::string& l) { return l == "YOU WON!"; }, 0,
                                       exitTimeout));
        std::this_thread::sleep_for(std::chrono::seconds(2));
        EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
    }
    // W held until a trace line shows the player in the cell, reading every
    // line in turn: a short visit to a cell is never skipped.
    bool holdUntilIn(Cell target) {
        std::size_t line = game.traceLineCount();
        if (!game.sendKeyDown("w")) {
            return false;
        }
        std::optional<TraceLine> seen;
        while ((seen = game.waitForTraceLine(line++, moveTimeout)) && seen->player != target) {
        }
        return game.sendKeyUp("w") && seen;
    }
    // When each trace line that shows a new cell of the player arrived, on
    // the way to the first win.
    std::vector<double> cellChangeTimes() const {
        std::vector<double> times;
        const std::vector<TraceLine> lines = game.traceLines();
        for (std::size_t i = 1; i < lines.size() && times.size() < way.size(); ++i) {
            if (lines[i].player != lines[i - 1].player) {
                times.push_back(*game.traceArrival(i));
            }
        }
        return times;
    }

    ScratchFolder scratch{"cellquestSound."};
    GameProcess game;
};

TEST_F(SoundRun, EveryStepSoundsWithItsFrameAndTheWinAfterTheLast) {
    const std::string wave = scratch.path("recording.wav");
    playToTheWin("[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\n"
                 "frequency=44100\n[wave]\nfile=" +
                 wave + "\n");
    const std::optional<Recording> recording = readRecording(wave);
    ASSERT_TRUE(recording) << wave;
    const std::vector<double> levels = loudness(*recording);
    const std::vector<double> heard = onsets(levels);
    const std::vector<double> changes = cellChangeTimes();
    ASSERT_EQ(changes.size(), way.size());
    std::ostringstream seconds;
    for (double onset : heard) {
        seconds << ' ' << onset;
    }
    seconds << "; sound in each tenth of a second: ";
    for (std::size_t i = 0; i < levels.size(); i += 10) {
        seconds << (soundsBetween(levels, double(i) * windowSeconds, double(i + 10) * windowSeconds)
                        ? '#'
                        : '.');
    }
    seconds << "; moves at";
    for (double change : changes) {
        seconds << ' ' << change - changes[0];
    }
    ASSERT_EQ(heard.size(), way.size())
        << "one sound for each move and nothing else; sounds start at" << seconds.str();
    // The recording's clock starts with the device: the first move ties it
    // to the trace's, and every later move must then sound on time.
    const double offset = heard[0] - changes[0];
    for (std::size_t i = 0; i < way.size(); ++i) {
        EXPECT_NEAR(heard[i], changes[i] + offset, 0.25) << "move " << i;
        const bool last = i + 1 == way.size();
        // A step is over in 0.4 s; the win's chord is still sounding then.
        EXPECT_EQ(soundsBetween(levels, heard[i] + 0.6, heard[i] + 0.9), last) << "move " << i;
    }
}

TEST_F(SoundRun, WithoutADeviceOneLineAndTheGamePlaysOn) {
    playToTheWin("[general]\ndrivers=nosuchdevice\n");
    const std::string errors = game.err().text();
    const std::string line = "sound: no audio device could be opened; playing on without sound\n";
    EXPECT_NE(errors.find(line), std::string::npos) << errors;
    EXPECT_EQ(errors.find(line), errors.rfind(line)) << "said once";
}

} // namespace
