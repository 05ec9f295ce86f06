// Every run-time file of the game, damaged in each of four ways: removed,
// emptied, cut to the first half of its bytes, or replaced by noise of the
// same size. Each case runs the real game in a copy of the assets with that
// one file damaged. A broken shader must end the game with its message and
// status 1 at once; any other broken file must cost only that asset: the
// game reports what its loader made of the file, keeps drawing frames, and
// Escape still ends it with status 0. No case may crash or hang the game.
#include "driver/gameLauncher.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace {

const Seconds startTimeout(120);
const Seconds exitTimeout(60);
// A fatal failure ends the game at once (stdin is /dev/null, so the pause
// before the exit must not wait); this only guards against a hang.
const Seconds fatalTimeout(30);
// The game must keep drawing this many frames after its report line.
constexpr std::size_t framesAfterReport = 10;

enum class Damage { missing, empty, truncated, garbage };

const char* damageName(Damage damage) {
    switch (damage) {
    case Damage::missing:
        return "missing";
    case Damage::empty:
        return "empty";
    case Damage::truncated:
        return "truncated";
    case Damage::garbage:
        return "garbage";
    }
    return "";
}

enum class AssetKind { shader, image, model, material, font };

struct Fault {
    std::string asset;
    AssetKind kind;
    Damage damage;
};

const std::vector<std::string>& imageFiles() {
    static const std::vector<std::string> files{"container2.png",
                                                "container2_specular.png",
                                                "tilewall.jpg",
                                                "objects/textures/star_diffuse.png",
                                                "objects/textures/star_specular.png",
                                                "objects/textures/trophy_diffuse.png",
                                                "objects/textures/trophy_specular.png"};
    return files;
}

const std::vector<std::string>& modelFiles() {
    static const std::vector<std::string> files{"objects/trophy.obj", "objects/star.obj"};
    return files;
}

const std::vector<std::string>& materialFiles() {
    static const std::vector<std::string> files{"objects/trophy.mtl", "objects/star.mtl"};
    return files;
}

const std::string fontFile = "fonts/arial.ttf";

std::vector<std::pair<std::string, AssetKind>> runTimeAssets() {
    std::vector<std::pair<std::string, AssetKind>> assets;
    const auto add = [&assets](const std::vector<std::string>& files, AssetKind kind) {
        for (const std::string& file : files) {
            assets.emplace_back(file, kind);
        }
    };
    add(shaderFiles(), AssetKind::shader);
    add(imageFiles(), AssetKind::image);
    add(modelFiles(), AssetKind::model);
    add(materialFiles(), AssetKind::material);
    add({fontFile}, AssetKind::font);
    return assets;
}

std::vector<Fault> allFaults() {
    std::vector<Fault> faults;
    for (const auto& [asset, kind] : runTimeAssets()) {
        for (Damage damage : {Damage::missing, Damage::empty, Damage::truncated, Damage::garbage}) {
            faults.push_back(Fault{asset, kind, damage});
        }
    }
    return faults;
}

// Shown by the test framework in place of the bytes of the record.
void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.asset << " " << damageName(fault.damage);
}

std::string caseName(const Fault& fault) {
    std::string name = fault.asset + "_" + damageName(fault.damage);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '/' || c == '.'; }, '_');
    return name;
}

// The seed comes from the file's name, so every run damages a file with the
// same bytes and a failure can be reproduced.
std::uint32_t seedFor(const std::string& asset) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : asset) {
        hash = (hash ^ c) * 16777619u;
    }
    return hash;
}

std::string noiseLike(const std::string& original, const std::string& asset) {
    std::mt19937 random(seedFor(asset));
    std::string noise(original.size(), '\0');
    for (char& byte : noise) {
        byte = static_cast<char>(random() >> 24);
    }
    return noise;
}

bool applyDamage(const AssetCopy& assets, const Fault& fault) {
    const std::string original = assets.read(fault.asset);
    if (original.empty()) {
        return false;
    }
    switch (fault.damage) {
    case Damage::missing:
        return assets.remove(fault.asset);
    case Damage::empty:
        return assets.write(fault.asset, "");
    case Damage::truncated:
        return assets.write(fault.asset, original.substr(0, original.size() / 2));
    case Damage::garbage:
        return assets.write(fault.asset, noiseLike(original, fault.asset));
    }
    return false;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool isTraceLine(const std::string& line) {
    return parseTraceLine(line).has_value();
}

std::optional<std::size_t> findLine(const LineLog& log,
                                    const std::function<bool(const std::string&)>& matches) {
    const std::vector<std::string> lines = log.lines();
    const auto found = std::find_if(lines.begin(), lines.end(), matches);
    if (found == lines.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - lines.begin());
}

std::size_t countLines(const LineLog& log, const std::string& prefix) {
    const std::vector<std::string> lines = log.lines();
    return static_cast<std::size_t>(
        std::count_if(lines.begin(), lines.end(),
                      [&prefix](const std::string& line) { return startsWith(line, prefix); }));
}

// The game's report lines, as a short account of what a case did: the tests
// print it, and the table of outcomes in docs/faults.md is made from it.
const std::vector<std::string>& reportPrefixes() {
    static const std::vector<std::string> prefixes{"failed to open shader file: ",
                                                   "failed to compile shader",
                                                   "failed to link shader program",
                                                   "failed to load texture: ",
                                                   "ASSIMP-ERROR: ",
                                                   "ERROR::FREETYPE: ",
                                                   "ERROR::FREETYTPE: "};
    return prefixes;
}

std::string reportSummary(const LineLog& log) {
    std::map<std::string, std::size_t> counts;
    std::vector<std::string> order;
    for (const std::string& line : log.lines()) {
        for (const std::string& prefix : reportPrefixes()) {
            if (startsWith(line, prefix) && counts[line]++ == 0) {
                order.push_back(line);
            }
        }
    }
    std::ostringstream text;
    for (const std::string& line : order) {
        text << " [" << line << (counts[line] > 1 ? " (x" + std::to_string(counts[line]) + ")" : "")
             << "]";
    }
    return order.empty() ? " none" : text.str();
}

void printOutcome(const Fault& fault, GameProcess& game, const ExitStatus& status) {
    std::cout << "outcome " << fault.asset << " " << damageName(fault.damage) << ": " << status
              << ", " << game.traceLineCount()
              << " trace lines; stdout reports:" << reportSummary(game.out())
              << "; stderr reports:" << reportSummary(game.err()) << std::endl;
}

// Models and their textures load once per model: the two stars are two
// models of the same file, each with its own textures.
std::size_t timesLoaded(const std::string& asset) {
    return asset.find("/star") != std::string::npos ? 2 : 1;
}

std::string withoutPrefix(std::string text, const std::string& prefix) {
    for (std::size_t at = text.find(prefix); at != std::string::npos; at = text.find(prefix, at)) {
        text.erase(at, prefix.size());
    }
    return text;
}

// What Assimp itself makes of the damaged model, imported with the game's
// flags: the reason it refuses the file, or nothing when a scene comes back.
// Paths in the reason are made relative to the asset folder, as the game
// names them.
std::optional<std::string> assimpRefusal(const AssetCopy& assets, const std::string& model) {
    Assimp::Importer importer;
    const aiScene* scene =
        importer.ReadFile(assets.file(model), aiProcess_CalcTangentSpace | aiProcess_Triangulate |
                                                  aiProcess_SortByPType);
    if (scene && (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) == 0 && scene->mRootNode) {
        return std::nullopt;
    }
    return withoutPrefix(importer.GetErrorString(), assets.path() + "/");
}

// What FreeType makes of the damaged font at the game's glyph size: nothing
// when the face does not open, otherwise the number of the first 128 codes
// whose glyph does not render.
std::optional<std::size_t> freetypeGlyphFailures(const std::string& fontPath) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return std::nullopt;
    }
    std::optional<std::size_t> failures;
    FT_Face face = nullptr;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face) == 0) {
        FT_Set_Pixel_Sizes(face, 0, 48);
        failures = 0;
        for (FT_ULong code = 0; code < 128; ++code) {
            if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) {
                ++*failures;
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return failures;
}

LaunchOptions windowedIn(const AssetCopy& assets) {
    LaunchOptions options;
    options.workingDir = assets.path();
    options.arguments = {"--windowed"};
    return options;
}

// True once `count` trace lines have followed stdout line `after` (or the
// start, when there is no such line).
bool framesFollow(const GameProcess& game, std::optional<std::size_t> after, std::size_t count) {
    const auto deadline =
        std::chrono::steady_clock::now() +
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(startTimeout);
    std::size_t from = after ? *after + 1 : 0;
    for (std::size_t seen = 0; seen < count; ++seen) {
        const Seconds left = deadline - std::chrono::steady_clock::now();
        const std::optional<std::size_t> found =
            game.out().waitFor(isTraceLine, from, std::max(Seconds(0), left));
        if (!found) {
            return false;
        }
        from = *found + 1;
    }
    return true;
}

// The game survives the fault: frames keep coming after the report line (or
// from the start when none is expected), and Escape ends it with status 0.
void expectPlaysOn(GameProcess& game, const Fault& fault, std::optional<std::size_t> reportLine) {
    EXPECT_TRUE(framesFollow(game, reportLine, framesAfterReport))
        << "fewer than " << framesAfterReport << " frames after the start-up; the game "
        << (game.running() ? "stalled" : "ended") << ". Its error output:\n"
        << game.err().text();
    const bool focused = game.focusWindow(startTimeout);
    EXPECT_TRUE(focused) << "cannot focus the game's window";
    const ExitStatus status =
        focused ? game.quitWithEscape(exitTimeout) : game.waitForExit(Seconds(0));
    printOutcome(fault, game, status);
    EXPECT_EQ(status, exitedWith(0));
}

// The report line on standard output. Every report of an asset comes during
// the start-up, so once the first frame is there it either came or never will.
std::optional<std::size_t> waitForReport(const GameProcess& game,
                                         const std::function<bool(const std::string&)>& matches) {
    game.out().waitFor(
        [&matches](const std::string& line) { return matches(line) || isTraceLine(line); }, 0,
        startTimeout);
    return findLine(game.out(), matches);
}

class FaultMatrix : public ::testing::TestWithParam<Fault> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(assets.valid());
        ASSERT_TRUE(applyDamage(assets, GetParam())) << "cannot damage " << GetParam().asset;
        ASSERT_TRUE(game.start(windowedIn(assets))) << game.error();
    }

    void expectFatalShader();
    void expectReportAndPlaysOn(const std::function<bool(const std::string&)>& report,
                                const std::string& expected);
    void expectModelOutcome();
    void expectMaterialOutcome();
    void expectFontOutcome();

    AssetCopy assets;
    GameProcess game;
};

// The build of the shader's program fails, the game says why on standard
// error and ends with status 1 before any frame.
void FaultMatrix::expectFatalShader() {
    const Fault& fault = GetParam();
    const ExitStatus status = game.waitForExit(fatalTimeout);
    printOutcome(fault, game, status);
    EXPECT_EQ(status, exitedWith(1));
    EXPECT_EQ(game.traceLineCount(), 0u);
    const std::vector<std::string> errors = game.err().lines();
    if (fault.damage == Damage::missing) {
        EXPECT_NE(
            std::find(errors.begin(), errors.end(), "failed to open shader file: " + fault.asset),
            errors.end())
            << game.err().text();
        return;
    }
    // The source is there but not a program: depending on where it breaks,
    // the compile or only the link finds it. The driver's log follows either.
    const auto message = std::find_if(errors.begin(), errors.end(), [](const std::string& line) {
        return line == "failed to compile shader" || line == "failed to link shader program";
    });
    ASSERT_NE(message, errors.end()) << game.err().text();
    EXPECT_NE(message + 1, errors.end()) << "no driver log after \"" << *message << "\"";
    EXPECT_EQ(countLines(game.err(), "failed to "), 1u) << game.err().text();
}

void FaultMatrix::expectReportAndPlaysOn(const std::function<bool(const std::string&)>& report,
                                         const std::string& expected) {
    const std::optional<std::size_t> line = waitForReport(game, report);
    EXPECT_TRUE(line) << "no line " << expected << " before the first frame; standard output:\n"
                      << game.out().text().substr(0, 4000);
    expectPlaysOn(game, GetParam(), line);
}

// The game reports a model exactly when Assimp refuses it, with Assimp's
// reason, once per model built from the file; a refused or empty model costs
// only its drawing. (A scene without meshes is no refusal: noise that Assimp
// reads as an empty scene gives an empty model and no line.)
void FaultMatrix::expectModelOutcome() {
    const Fault& fault = GetParam();
    const std::optional<std::string> refusal = assimpRefusal(assets, fault.asset);
    if (!refusal) {
        expectPlaysOn(game, fault, std::nullopt);
        EXPECT_EQ(countLines(game.out(), "ASSIMP-ERROR: "), 0u) << reportSummary(game.out());
        return;
    }
    const std::string expected = "ASSIMP-ERROR: " + *refusal;
    expectReportAndPlaysOn([&expected](const std::string& line) { return line == expected; },
                           "\"" + expected + "\"");
    EXPECT_EQ(countLines(game.out(), "ASSIMP-ERROR: "), timesLoaded(fault.asset))
        << reportSummary(game.out());
}

// Without its material library, or with one that names nothing usable, a
// model still imports with Assimp's default material: no error line. A
// texture may be reported only when the damaged library names a file that
// is not there; a library that is gone or empty names none.
void FaultMatrix::expectMaterialOutcome() {
    const Fault& fault = GetParam();
    expectPlaysOn(game, fault, std::nullopt);
    EXPECT_EQ(countLines(game.out(), "ASSIMP-ERROR: "), 0u) << reportSummary(game.out());
    const std::string texturePrefix = "failed to load texture: ";
    for (const std::string& line : game.out().lines()) {
        if (startsWith(line, texturePrefix)) {
            EXPECT_FALSE(fault.damage == Damage::missing || fault.damage == Damage::empty) << line;
            EXPECT_FALSE(std::filesystem::exists(assets.file(line.substr(texturePrefix.size()))))
                << "a texture that is there was reported: " << line;
        }
    }
}

// A font that FreeType cannot open is reported once and the game plays on
// without text; one that opens (a cut TrueType file may: its ASCII glyphs lie
// early in it) reports exactly the glyphs that do not render.
void FaultMatrix::expectFontOutcome() {
    const std::optional<std::size_t> glyphFailures =
        freetypeGlyphFailures(assets.file(GetParam().asset));
    if (!glyphFailures) {
        expectReportAndPlaysOn(
            [](const std::string& line) { return line == "ERROR::FREETYPE: Failed to load font"; },
            "\"ERROR::FREETYPE: Failed to load font\"");
        EXPECT_EQ(countLines(game.out(), "ERROR::FREETYPE: "), 1u) << reportSummary(game.out());
        return;
    }
    expectPlaysOn(game, GetParam(), std::nullopt);
    EXPECT_EQ(countLines(game.out(), "ERROR::FREETYPE: "), 0u) << reportSummary(game.out());
    EXPECT_EQ(countLines(game.out(), "ERROR::FREETYTPE: Failed to load Glyph"), *glyphFailures)
        << reportSummary(game.out());
}

TEST_P(FaultMatrix, aBrokenShaderEndsTheGameAndAnyOtherBrokenFileCostsOnlyItsAsset) {
    const Fault& fault = GetParam();
    switch (fault.kind) {
    case AssetKind::shader:
        expectFatalShader();
        break;
    case AssetKind::image:
        expectReportAndPlaysOn(
            [&fault](const std::string& line) {
                return line == "failed to load texture: " + fault.asset;
            },
            "\"failed to load texture: " + fault.asset + "\"");
        EXPECT_EQ(countLines(game.out(), "failed to load texture: "), timesLoaded(fault.asset))
            << reportSummary(game.out());
        break;
    case AssetKind::model:
        expectModelOutcome();
        break;
    case AssetKind::material:
        expectMaterialOutcome();
        break;
    case AssetKind::font:
        expectFontOutcome();
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Fault, FaultMatrix, ::testing::ValuesIn(allFaults()),
                         [](const auto& info) { return caseName(info.param); });

// A run-time file added to the asset folders without a row in the matrix
// would go untested; licence texts are not read by the game.
TEST(FaultMatrixCoverage, everyRunTimeFileIsDamagedByTheMatrix) {
    namespace fs = std::filesystem;
    const fs::path root = defaultAssetDir();
    std::set<std::string> onDisk;
    for (const std::string& entry : assetEntries()) {
        if (fs::is_regular_file(root / entry)) {
            onDisk.insert(entry);
            continue;
        }
        for (const auto& file : fs::recursive_directory_iterator(root / entry)) {
            const std::string name = file.path().filename().string();
            if (file.is_regular_file() && !startsWith(name, "LICENSE")) {
                onDisk.insert(fs::relative(file.path(), root).string());
            }
        }
    }
    std::set<std::string> inMatrix;
    for (const auto& asset : runTimeAssets()) {
        inMatrix.insert(asset.first);
    }
    EXPECT_EQ(onDisk, inMatrix);
}

} // namespace
