// What the fuzz harnesses share: one hidden GL 3.3 core context per process
// (the importers upload what they read), a scratch folder for inputs that
// must be files, and a hard stop for broken invariants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Creates the hidden window and context on first use and makes it current.
// Aborts when there is no display, so a run without Xvfb cannot pass quietly.
void ensureHiddenGlContext();

// A folder of this process, removed at exit; several fuzzing processes can
// run side by side.
const std::string& scratchFolder();

// Writes the bytes to name inside the scratch folder; returns the full path.
std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);

// Reports the broken invariant and aborts, which libFuzzer records as a crash
// together with the input that caused it.
[[noreturn]] void invariantBroken(const std::string& what);
