// The game as `cmake --install` lays it out and as its Debian package holds
// it, and the game with its assets nowhere: the installed copy and the
// package's find them from their own folder whatever the working directory;
// without them the game names every folder it tried and ends with status 1
// at once, before any window opens.
#include "driver/gameLauncher.h"
#include "world/levelFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const Seconds installTimeout(120);
const Seconds packTimeout(300);
const Seconds startTimeout(120);
const Seconds exitTimeout(60);
// Finding no assets is a look at four folders; a game that got as far as a
// window or a wait would take longer than this.
const Seconds noAssetsTimeout(5);

std::vector<std::string> filesUnder(const fs::path& root) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files.push_back(fs::relative(entry.path(), root).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Every file an install puts under its prefix, in order: the game, its
// assets, the desktop entry, the icon, the metainfo and the licence.
std::vector<std::string> installedFiles() {
    std::vector<std::string> expected{
        "bin/cellquest",
        "share/applications/cellquest.desktop",
        "share/cellquest/container2.png",
        "share/cellquest/container2_specular.png",
        "share/cellquest/tilewall.jpg",
        "share/cellquest/fonts/LICENSE-LiberationSans.txt",
        "share/doc/cellquest/copyright",
        "share/icons/hicolor/256x256/apps/cellquest.png",
        "share/metainfo/io.github.cellquest.cellquest.metainfo.xml",
    };
    for (const char* folder : {"shaders", "objects", "fonts", "levels", "sounds"}) {
        for (const std::string& file : filesUnder(fs::path(defaultAssetDir()) / folder)) {
            expected.push_back("share/cellquest/" + std::string(folder) + "/" + file);
        }
    }
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    return expected;
}

TEST(Install, laysOutGameAssetsDesktopEntryIconMetainfoAndLicenceOnly) {
    const ScratchFolder prefix("cellquestPrefix.");
    const CommandResult install = runCommand(
        {"cmake", "--install", buildPath(""), "--prefix", prefix.folder()}, installTimeout);
    ASSERT_EQ(install.status, exitedWith(0)) << install.output;
    EXPECT_EQ(filesUnder(fs::path(prefix.folder())), installedFiles());
    const Screenshot icon = [&] {
        Screenshot loaded;
        loaded.load(prefix.path("share/icons/hicolor/256x256/apps/cellquest.png"));
        return loaded;
    }();
    EXPECT_EQ(icon.width, 256);
    EXPECT_EQ(icon.height, 256);
}

TEST(Install, installedGameRunFromRootFindsItsAssetsAndQuitsWithEscape) {
    const ScratchFolder prefix("cellquestPrefix.");
    const CommandResult install = runCommand(
        {"cmake", "--install", buildPath(""), "--prefix", prefix.folder()}, installTimeout);
    ASSERT_EQ(install.status, exitedWith(0)) << install.output;
    GameProcess game;
    LaunchOptions options;
    options.executable = prefix.path("bin/cellquest");
    options.workingDir = "/";
    ASSERT_EQ(startFocusedGame(game, options, startTimeout), "");
    EXPECT_TRUE(game.waitForTraceLine(5, startTimeout)) << "the game stopped drawing";
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
    EXPECT_EQ(game.err().text(), "");

    // The campaign plays the installed pack, from its first level.
    const ScratchFolder dataHome("cellquestData.");
    options.arguments = {"--campaign"};
    options.environment["XDG_DATA_HOME"] = dataHome.folder();
    GameProcess campaign;
    ASSERT_EQ(startFocusedGame(campaign, options, startTimeout), "");
    const LevelLoad first =
        loadLevelFile(prefix.path("share/cellquest/levels/01-first-room.level"));
    ASSERT_TRUE(first.level) << first.error;
    EXPECT_EQ(campaign.waitForTraceLine(0, startTimeout), traceLineOf(Level(first.level->layout)));
    EXPECT_EQ(campaign.quitWithEscape(exitTimeout), exitedWith(0));
    EXPECT_EQ(campaign.err().text(), "");
}

// The regular files of a `dpkg-deb -c` listing, without their leading "./".
std::vector<std::string> regularFilesListed(const std::string& listing) {
    std::vector<std::string> files;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t name = line.find(" ./");
        if (line.rfind('-', 0) == 0 && name != std::string::npos) {
            files.push_back(line.substr(name + 3));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string debianField(const std::string& package, const std::string& field) {
    const CommandResult result = runCommand({"dpkg-deb", "--field", package, field}, exitTimeout);
    EXPECT_EQ(result.status, exitedWith(0)) << field;
    return result.output.substr(0, result.output.find_last_not_of('\n') + 1);
}

std::string packIntoFolder(const ScratchFolder& folder) {
    const CommandResult pack = runCommand(
        {"cpack", "-G", "DEB", "--config", buildPath("CPackConfig.cmake"), "-B", folder.folder()},
        packTimeout);
    EXPECT_EQ(pack.status, exitedWith(0)) << pack.output;
    for (const auto& entry : fs::directory_iterator(folder.folder())) {
        if (entry.path().extension() == ".deb") {
            return entry.path().string();
        }
    }
    return "";
}

TEST(DebianPackage, holdsTheInstalledFilesUnderUsrAndItsExtractedGamePlays) {
    const ScratchFolder scratch("cellquestPackage.");
    const std::string package = packIntoFolder(scratch);
    ASSERT_NE(package, "") << "cpack made no package";
    EXPECT_EQ(fs::path(package).filename().string().rfind("cellquest_" CELLQUEST_VERSION "_", 0),
              0u)
        << package;

    const CommandResult listing = runCommand({"dpkg-deb", "--contents", package}, exitTimeout);
    ASSERT_EQ(listing.status, exitedWith(0));
    std::vector<std::string> expected;
    for (const std::string& file : installedFiles()) {
        expected.push_back("usr/" + file);
    }
    EXPECT_EQ(regularFilesListed(listing.output), expected);
    EXPECT_EQ(debianField(package, "Version"), CELLQUEST_VERSION);
    EXPECT_EQ(debianField(package, "Maintainer"), "cellquest developers");
    const std::string depends = debianField(package, "Depends");
    for (const char* library : {"libglfw3", "libassimp", "libfreetype6", "libtomlplusplus3"}) {
        EXPECT_NE(depends.find(library), std::string::npos) << library << " not in " << depends;
    }

    const std::string root = scratch.path("root");
    ASSERT_EQ(runCommand({"dpkg-deb", "--extract", package, root}, exitTimeout).status,
              exitedWith(0));

    GameProcess game;
    LaunchOptions options;
    options.executable = root + "/usr/bin/cellquest";
    options.arguments = {"--level", root + "/usr/share/cellquest/levels/01-first-room.level"};
    options.workingDir = "/";
    ASSERT_EQ(startFocusedGame(game, options, startTimeout), "");
    EXPECT_TRUE(game.waitForTraceLine(5, startTimeout)) << "the game stopped drawing";
    EXPECT_EQ(game.quitWithEscape(exitTimeout), exitedWith(0));
    EXPECT_EQ(game.err().text(), "");
}

TEST(Install, withAssetsNowhereNamesTheFoldersTriedAndEndsWithStatusOneAtOnce) {
    if (fs::is_directory(fs::path(CELLQUEST_INSTALLED_DATA_DIR) / "shaders")) {
        GTEST_SKIP() << "the game is installed to " << CELLQUEST_INSTALLED_DATA_DIR
                     << ", so it finds its assets there";
    }
    const ScratchFolder lonely("cellquestLonely.");
    const ScratchFolder elsewhere("cellquestElsewhere.");
    const std::string executable = lonely.path("cellquest");
    fs::copy_file(defaultGamePath(), executable);
    GameProcess game;
    LaunchOptions options;
    options.executable = executable;
    options.workingDir = elsewhere.folder();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(game.start(options)) << game.error();
    const ExitStatus status = game.waitForExit(noAssetsTimeout);
    const Seconds took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(status, exitedWith(1)) << "after " << took.count() << " s";
    const std::vector<std::string> errors = game.err().lines();
    ASSERT_EQ(errors.size(), 1u) << game.err().text();
    std::size_t from = 0;
    for (const std::string& folder :
         {elsewhere.folder(), lonely.folder(), lonely.folder() + "/../share/cellquest",
          std::string(CELLQUEST_INSTALLED_DATA_DIR)}) {
        const std::size_t at = errors[0].find(folder, from);
        ASSERT_NE(at, std::string::npos) << folder << " not named, in order, in\n" << errors[0];
        from = at + folder.size();
    }
    EXPECT_EQ(game.out().text(), "") << "the game got past its start";
}

} // namespace
