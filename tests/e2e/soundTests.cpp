// The game's sound as it leaves the real game: OpenAL's wave-file backend
// records a short level, played as the first of a campaign of two (so the
// game records on past the win's frames, which a software renderer races
// through). Each traced change of cell has its sound within 250 ms, and the
// long win jingle follows the winning move. Without any device the game
// says so in one line and plays to the win.
#include "core/scratchFolder.h"
#include "driver/playDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace {

const Seconds timeout(120);

// Down -z along the wall to the trophy, far from the walls ahead: a frame
// of a loaded machine, half a second long, moves the camera only one cell
// and never as far as a wall (which would refuse the whole move); a red block
// steps beside the player and a blue one against it.
const char* const shortLevel = "title: Three steps\nsize: 3 2 10\n\nlayer 0\n...\n...\n...\n...\n"
                               "...\n...\nT.B\n...\n...\n@R.\n\nlayer 1\n...\n...\n...\n...\n"
                               "...\n...\n...\n...\n...\n...\n";
const std::vector<Cell> way{{0, 0, 8}, {0, 0, 7}, {0, 0, 6}};

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | std::uint8_t(bytes[at + std::size_t(i)]);
    }
    return value;
}

constexpr double window = 0.01; // seconds
constexpr double soundLevel = 0.005;

// The RMS of each 10 ms of the 16-bit stereo recording, from its RIFF
// chunks (WAVE_FORMAT_EXTENSIBLE); a data size never filled in counts as the
// rest of the file.
std::vector<double> loudness(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t at = 12;
    std::uint32_t rate = 0;
    while (at + 8 <= bytes.size() && bytes.compare(at, 4, "data") != 0) {
        if (bytes.compare(at, 4, "fmt ") == 0) {
            EXPECT_EQ(littleEndian(bytes, at + 10, 2), 2u) << "channels";
            EXPECT_EQ(littleEndian(bytes, at + 22, 2), 16u) << "bits";
            rate = littleEndian(bytes, at + 12, 4);
        }
        at += 8 + littleEndian(bytes, at + 4, 4);
    }
    std::vector<double> levels;
    const std::size_t frames = std::size_t(rate * window);
    for (std::size_t start = at + 8; rate > 0 && start + frames * 4 <= bytes.size();
         start += frames * 4) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + frames * 4; i += 2) {
            const double sample = std::int16_t(littleEndian(bytes, i, 2)) / 32768.0;
            sum += sample * sample;
        }
        levels.push_back(std::sqrt(sum / double(frames * 2)));
    }
    return levels;
}

bool soundsBetween(const std::vector<double>& levels, double from, double to) {
    for (std::size_t i = std::size_t(std::max(0.0, from) / window);
         i < levels.size() && i * window < to; ++i) {
        if (levels[i] > soundLevel) {
            return true;
        }
    }
    return false;
}

// Seconds into the recording where a sound starts after 0.2 s of silence.
std::vector<double> onsets(const std::vector<double>& levels) {
    std::vector<double> found;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] > soundLevel && !soundsBetween(levels, i * window - 0.2, i * window)) {
            found.push_back(i * window);
        }
    }
    return found;
}

class SoundRun : public ::testing::Test {
  protected:
    // The first level a move a second (each move's sound over before the
    // next), its won frames, and two seconds of the next before Escape.
    void playToTheWin(const std::string& openAlConfig) {
        LaunchOptions options;
        options.arguments = {"--campaign", "--levels", scratch.path("levels"), "--windowed"};
        options.environment["XDG_CONFIG_HOME"] = scratch.path("config");
        options.environment["XDG_DATA_HOME"] = scratch.path("data");
        options.environment["ALSOFT_CONF"] = scratch.write("openal.conf", openAlConfig);
        // Effects only: between them the recording is silent.
        scratch.write("config/cellquest/settings.toml", "[sound]\nmaster = 100\nmusic = 0\n");
        scratch.write("levels/1-short.level", shortLevel);
        scratch.write("levels/2-again.level", shortLevel);
        ASSERT_EQ(startFocusedGame(game, options, timeout), "");
        for (const Cell& cell : way) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            ASSERT_TRUE(holdUntilIn(cell)) << cell;
        }
        ASSERT_TRUE(
            game.out().waitFor([](const std::string& l) { return l == "YOU WON!"; }, 0, timeout));
        std::this_thread::sleep_for(std::chrono::seconds(2));
        EXPECT_EQ(game.quitWithEscape(timeout), exitedWith(0)) << game.err().text();
    }
    // W held until a trace line shows the cell, reading every line in turn
    // so that a short visit is never skipped.
    bool holdUntilIn(Cell target) {
        std::size_t line = game.traceLineCount();
        std::optional<TraceLine> seen;
        if (game.sendKeyDown("w")) {
            while ((seen = game.waitForTraceLine(line++, timeout)) && seen->player != target) {
            }
        }
        return game.sendKeyUp("w") && seen;
    }
    // When the trace lines of the way to the first win arrived.
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
    const std::vector<double> levels = loudness(wave);
    const std::vector<double> heard = onsets(levels);
    const std::vector<double> changes = cellChangeTimes();
    ASSERT_EQ(changes.size(), way.size());
    std::ostringstream times;
    for (std::size_t i = 0; i < std::max(heard.size(), changes.size()); ++i) {
        times << " (" << (i < heard.size() ? heard[i] - heard[0] : -1.0) << ", "
              << (i < changes.size() ? changes[i] - changes[0] : -1.0) << ")";
    }
    ASSERT_EQ(heard.size(), way.size()) << "one sound a move, nothing else:" << times.str();
    // The recording's clock starts with the device: the first move ties it
    // to the trace's, and every later move must then sound on time.
    for (std::size_t i = 0; i < way.size(); ++i) {
        EXPECT_NEAR(heard[i] - heard[0], changes[i] - changes[0], 0.25) << "move " << i;
        // A step is over in 0.4 s; the win's chord still sounds.
        EXPECT_EQ(soundsBetween(levels, heard[i] + 0.6, heard[i] + 0.9), i + 1 == way.size())
            << "move " << i;
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
