// The layers as the code's includes draw them: each layer includes only
// itself and the layers below it, no two modules (a header with its source)
// include each other round a circle, the window layer never sees the game's
// state, and render never takes the game's state or the frame view to write.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path sourceRoot = fs::path(CELLQUEST_SOURCE_DIR) / "src";

const std::map<std::string, std::set<std::string>> layersBelow = {
    {"core", {}},
    {"world", {"core"}},
    {"game", {"core", "world"}},
    {"assets", {"core"}},
    {"render", {"core", "world", "game", "assets"}},
    {"platform", {"core", "world", "game"}},
    {"ui", {"core", "world", "game"}},
    {"audio", {"core", "world", "game"}},
    {"app", {"core", "world", "game", "assets", "render", "platform", "ui", "audio"}},
};

std::string textOf(const fs::path& file) {
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct SourceFile {
    std::string layer;
    std::string module; // "layer/name", a header and its source as one
    std::string text;
    std::vector<std::string> includedModules;
};

std::vector<SourceFile> sourceFiles() {
    static const std::regex include("#include \"(\\w+/\\w+)\\.h\"");
    std::vector<SourceFile> files;
    for (const auto& entry : fs::recursive_directory_iterator(sourceRoot)) {
        const fs::path path = entry.path();
        if (path.extension() != ".h" && path.extension() != ".cpp") {
            continue;
        }
        const std::string layer = path.parent_path().filename().string();
        SourceFile file{layer, layer + "/" + path.stem().string(), textOf(path), {}};
        for (std::sregex_iterator match(file.text.begin(), file.text.end(), include), end;
             match != end; ++match) {
            file.includedModules.push_back((*match)[1]);
        }
        files.push_back(std::move(file));
    }
    return files;
}

TEST(Layers, EachIncludesOnlyItselfAndTheLayersBelow) {
    for (const SourceFile& file : sourceFiles()) {
        ASSERT_TRUE(layersBelow.count(file.layer)) << file.module;
        for (const std::string& included : file.includedModules) {
            const std::string layer = included.substr(0, included.find('/'));
            EXPECT_TRUE(layer == file.layer || layersBelow.at(file.layer).count(layer))
                << file.module << " includes " << included;
        }
    }
}

TEST(Layers, NoModulesIncludeEachOtherRoundACircle) {
    std::map<std::string, std::set<std::string>> includes;
    for (const SourceFile& file : sourceFiles()) {
        for (const std::string& included : file.includedModules) {
            if (included != file.module) {
                includes[file.module].insert(included);
            }
        }
    }
    std::map<std::string, int> state; // 1 on the current path, 2 done
    std::vector<std::string> path;
    std::function<void(const std::string&)> visit = [&](const std::string& module) {
        state[module] = 1;
        path.push_back(module);
        for (const std::string& next : includes[module]) {
            if (state[next] == 1) {
                ADD_FAILURE() << "include circle through " << next << " from " << module;
            } else if (state[next] == 0) {
                visit(next);
            }
        }
        path.pop_back();
        state[module] = 2;
    };
    for (const auto& [module, unused] : includes) {
        if (state[module] == 0) {
            visit(module);
        }
    }
}

TEST(Layers, TheFrameFlowsOneWay) {
    static const std::regex writableState("(^|[^\\w])(GameState|FrameView)\\s*&");
    static const std::regex constState("const\\s+(GameState|FrameView)\\s*&");
    for (const SourceFile& file : sourceFiles()) {
        if (file.layer == "platform") {
            EXPECT_EQ(file.text.find("game/gameState.h"), std::string::npos) << file.module;
        }
        if (file.layer != "render") {
            continue;
        }
        const std::string withoutConst = std::regex_replace(file.text, constState, "");
        EXPECT_FALSE(std::regex_search(withoutConst, writableState))
            << file.module << " takes the game's state or the frame view to write";
    }
}

} // namespace
