// Command-line flags beyond the plain game: none are needed to play.
#pragma once

#include <string>

struct Options {
    bool windowed = false;
    bool help = false;
    std::string error; // non-empty when the arguments could not be read
};

Options parseOptions(int argc, const char* const* argv);
std::string usageText(const char* programName);
