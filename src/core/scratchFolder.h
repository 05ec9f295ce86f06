// A fresh folder under the system's temporary folder, removed with all it
// holds when the object goes: the tests, the fuzz harnesses and the driver's
// asset copies write their throw-away files into one.
#pragma once

#include <string>

class ScratchFolder {
  public:
    // A new, empty folder whose name starts with prefix. valid() is false
    // when none could be made.
    explicit ScratchFolder(const char* prefix = "cellquest");
    // A folder at a known place (made if missing), for death tests whose
    // child process re-runs the test and must find the same paths.
    static ScratchFolder at(const std::string& fixedRoot);
    ~ScratchFolder();
    ScratchFolder(ScratchFolder&& other) noexcept;
    ScratchFolder& operator=(ScratchFolder&&) = delete;
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool valid() const { return !root.empty(); }
    const std::string& folder() const { return root; }
    std::string path(const std::string& name) const { return root + "/" + name; }
    // Writes the bytes exactly, making folders on the way; returns the path.
    std::string write(const std::string& name, const std::string& bytes) const;

  private:
    struct FixedRoot {};
    ScratchFolder(FixedRoot, const std::string& fixedRoot);

    std::string root;
};
