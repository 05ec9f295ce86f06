// Every end-to-end test runs the game on the X display of the test run; a
// missing or wrongly sized display fails the run with the way to fix it.
#include "support/gameLauncher.h"

#include <gtest/gtest.h>

namespace {

class DisplayCheck : public ::testing::Environment {
  public:
    void SetUp() override {
        const std::string problem = displayProblem();
        if (!problem.empty()) {
            GTEST_FAIL() << problem;
        }
    }
};

::testing::Environment* const displayCheck = ::testing::AddGlobalTestEnvironment(new DisplayCheck);

} // namespace
