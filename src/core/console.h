// Console helpers for fatal start-up failures.
#pragma once

#include <initializer_list>
#include <string>

// Waits for Enter when standard input is a terminal; never waits otherwise,
// so an unattended run (a pipe, /dev/null, CI) cannot hang.
void consolePause();

// Writes each line to standard error (line end and flush after each), pauses
// and ends the process with status 1.
[[noreturn]] void fatalError(std::initializer_list<std::string> lines);
