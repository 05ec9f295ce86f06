// Every end-to-end test runs the game on the X display of the test run; a
// missing or wrongly sized display fails the run with the way to fix it.
// Games on one display would take each other's keyboard focus, so a test
// holds the display's lock for its whole run: tests started in parallel
// (ctest -j) on the same display take turns.
#include "driver/gameLauncher.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>

namespace {

std::string lockPathFor(const char* display) {
    std::string name = display;
    for (char& c : name) {
        if (c == '/' || c == ':') {
            c = '_';
        }
    }
    return "/tmp/cellquestE2eDisplay" + name + ".lock";
}

class DisplayCheck : public ::testing::Environment {
  public:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (display && *display) {
            const std::string path = lockPathFor(display);
            lock = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            if (lock < 0 || flock(lock, LOCK_EX) != 0) {
                GTEST_FAIL() << "cannot lock " << path;
            }
        }
        const std::string problem = displayProblem();
        if (!problem.empty()) {
            GTEST_FAIL() << problem;
        }
    }
    // The lock goes with the process, whichever way it ends.
    void TearDown() override {
        if (lock >= 0) {
            close(lock);
        }
    }

  private:
    int lock = -1;
};

::testing::Environment* const displayCheck = ::testing::AddGlobalTestEnvironment(new DisplayCheck);

} // namespace
