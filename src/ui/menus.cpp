#include "ui/menus.h"

#include "ui/editorPanel.h"

#include <imgui.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

using Actions = std::vector<MenuAction>;
using Kind = MenuAction::Kind;

// The menus are laid out for a 768-pixel-high picture and scale with it.
constexpr float designHeight = 768.0f;
constexpr float buttonWidth = 360.0f;
const ImVec4 backgroundColour(0.08f, 0.11f, 0.16f, 0.72f);
const ImVec4 buttonColour(0.20f, 0.30f, 0.40f, 0.90f);
const ImVec4 hoveredColour(0.86f, 0.66f, 0.18f, 0.95f);
const ImVec4 goldColour(1.0f, 0.85f, 0.2f, 1.0f);

void styleInGameColours() {
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowBorderSize = 0.0f;
    style.WindowRounding = 0.0f;
    style.FrameRounding = 6.0f;
    style.ItemSpacing = ImVec2(12.0f, 12.0f);
    style.FramePadding = ImVec2(14.0f, 8.0f);
    style.Colors[ImGuiCol_WindowBg] = backgroundColour;
    style.Colors[ImGuiCol_Button] = buttonColour;
    style.Colors[ImGuiCol_ButtonHovered] = hoveredColour;
    style.Colors[ImGuiCol_ButtonActive] = goldColour;
    style.Colors[ImGuiCol_FrameBg] = buttonColour;
    style.Colors[ImGuiCol_FrameBgHovered] = hoveredColour;
    style.Colors[ImGuiCol_SliderGrab] = goldColour;
    style.Colors[ImGuiCol_CheckMark] = goldColour;
    style.Colors[ImGuiCol_NavHighlight] = goldColour;
}

// A full-picture window without chrome; each screen has its own, so the
// first button takes the keyboard's focus whenever a screen opens.
bool beginScreen(const char* name, ImVec2 display) {
    ImGui::SetNextWindowPos(ImVec2(0.0f, 0.0f));
    ImGui::SetNextWindowSize(display);
    const ImGuiWindowFlags flags =
        ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings;
    ImGui::SetNextWindowFocus();
    const bool open = ImGui::Begin(name, nullptr, flags);
    ImGui::SetWindowFontScale(display.y / designHeight);
    return open;
}

// The window's scale: its font's size now over the font's own.
float windowScale() {
    return ImGui::GetFontSize() / ImGui::GetFont()->FontSize;
}

float scaled(float length) {
    return length * windowScale();
}

void centredText(const std::string& text, float scale = 1.0f,
                 ImVec4 colour = ImVec4(1.0f, 1.0f, 1.0f, 1.0f)) {
    const float screenScale = windowScale();
    ImGui::SetWindowFontScale(screenScale * scale);
    const float width = ImGui::CalcTextSize(text.c_str()).x;
    ImGui::SetCursorPosX((ImGui::GetWindowWidth() - width) * 0.5f);
    ImGui::TextColored(colour, "%s", text.c_str());
    ImGui::SetWindowFontScale(screenScale);
}

// A button in the middle column; the first of a screen gets the focus.
bool menuButton(const char* label, bool first = false) {
    const float width = scaled(buttonWidth);
    ImGui::SetCursorPosX((ImGui::GetWindowWidth() - width) * 0.5f);
    const bool pressed = ImGui::Button(label, ImVec2(width, 0.0f));
    if (first) {
        ImGui::SetItemDefaultFocus();
    }
    return pressed;
}

struct MenuEntry {
    const char* label;
    MenuAction action;
};

// The screen's buttons one under another, the first focused.
void buttonColumn(const std::vector<MenuEntry>& entries, Actions& actions) {
    bool first = true;
    for (const MenuEntry& entry : entries) {
        if (menuButton(entry.label, first)) {
            actions.push_back(entry.action);
        }
        first = false;
    }
}

void drawTitle(const GameState& game, Actions& actions) {
    ImGui::Dummy(ImVec2(0.0f, scaled(120.0f)));
    centredText("cellquest", 3.0f, goldColour);
    ImGui::Dummy(ImVec2(0.0f, scaled(60.0f)));
    std::vector<MenuEntry> entries{{"Continue", MenuAction::of(Kind::continuePlay)},
                                   {"Levels", MenuAction::opening(MenuScreen::levels)}};
    // Without a folder for them there are no levels of the player's own.
    if (!game.myLevels.folder.empty()) {
        entries.push_back({"My levels", MenuAction::opening(MenuScreen::myLevels)});
        entries.push_back({"Make a level", MenuAction::of(Kind::makeLevel)});
    }
    entries.push_back({"Settings", MenuAction::opening(MenuScreen::settings)});
    entries.push_back({"Quit", MenuAction::of(Kind::quit)});
    buttonColumn(entries, actions);
}

std::string levelLine(std::size_t index, const CampaignLevel& level, const Progress& progress) {
    const LevelFile& file = level.file;
    const Cell size = file.layout.size;
    char line[160];
    std::snprintf(line, sizeof line, "%2zu  %-26s %2dx%dx%d  par %s", index + 1, file.title.c_str(),
                  size.x, size.y, size.z, file.par ? std::to_string(*file.par).c_str() : "-");
    std::string text = line;
    const auto record = progress.find(level.name);
    if (record != progress.end() && record->second.solved) {
        text += "   solved, best " + std::to_string(record->second.bestMoves);
    }
    return text;
}

// One button a level; choosing one asks for `start` of its index.
void levelButtons(const std::vector<CampaignLevel>& levels, const Progress& progress,
                  MenuAction (*start)(std::size_t), Actions& actions) {
    const float width = scaled(720.0f);
    ImGui::PushStyleVar(ImGuiStyleVar_ButtonTextAlign, ImVec2(0.0f, 0.5f));
    for (std::size_t i = 0; i < levels.size(); ++i) {
        ImGui::SetCursorPosX((ImGui::GetWindowWidth() - width) * 0.5f);
        const std::string label = levelLine(i, levels[i], progress) + "##level" + std::to_string(i);
        if (ImGui::Button(label.c_str(), ImVec2(width, 0.0f))) {
            actions.push_back(start(i));
        }
        if (i == 0) {
            ImGui::SetItemDefaultFocus();
        }
    }
    ImGui::PopStyleVar();
}

void backButton(Actions& actions) {
    if (menuButton("Back")) {
        actions.push_back(MenuAction::of(Kind::back));
    }
}

void drawLevels(const GameState& game, Actions& actions) {
    ImGui::Dummy(ImVec2(0.0f, scaled(40.0f)));
    centredText("Levels", 1.6f, goldColour);
    levelButtons(game.campaign.all(), game.progress, MenuAction::starting, actions);
    backButton(actions);
}

// The player's own levels, with a word on where they come from when there
// are none, and the message of each file that does not load.
void drawMyLevels(const GameState& game, Actions& actions) {
    const MyLevels& mine = game.myLevels;
    ImGui::Dummy(ImVec2(0.0f, scaled(40.0f)));
    centredText("My levels", 1.6f, goldColour);
    if (mine.levels.empty()) {
        centredText("No levels yet: make one with cellquest --edit FILE.level,");
        centredText("or put .level files in " + mine.folder);
    }
    levelButtons(mine.levels, game.progress, MenuAction::startingMine, actions);
    for (const std::string& problem : mine.problems) {
        centredText(problem, 0.8f);
    }
    backButton(actions);
}

void drawSettings(const GameState& game, Actions& actions) {
    ImGui::Dummy(ImVec2(0.0f, scaled(40.0f)));
    centredText("Settings", 1.6f, goldColour);
    Settings settings = game.settings;
    float sensitivity = float(settings.mouseSensitivity);
    float fieldOfView = float(settings.fieldOfView);
    bool window = settings.displayMode == DisplayMode::window;
    const float width = scaled(520.0f);
    const auto row = [&] { ImGui::SetCursorPosX((ImGui::GetWindowWidth() - width) * 0.5f); };
    ImGui::PushItemWidth(scaled(280.0f));
    bool changed = false;
    row();
    changed |= ImGui::SliderFloat("Mouse sensitivity", &sensitivity, 0.1f, 10.0f, "%.1f");
    ImGui::SetItemDefaultFocus();
    row();
    changed |= ImGui::Checkbox("Invert mouse Y", &settings.invertY);
    row();
    changed |= ImGui::SliderFloat("Field of view", &fieldOfView, 1.0f, 45.0f, "%.0f");
    row();
    changed |= ImGui::Checkbox("Play in a window", &window);
    row();
    changed |= ImGui::Checkbox("Marks on the blocks", &settings.blockMarks);
    row();
    changed |= ImGui::Checkbox("Moves line", &settings.movesLine);
    row();
    changed |= ImGui::SliderInt("Master volume", &settings.soundMaster, 0, 100);
    row();
    changed |= ImGui::SliderInt("Effects volume", &settings.soundEffects, 0, 100);
    row();
    changed |= ImGui::SliderInt("Music volume", &settings.soundMusic, 0, 100);
    ImGui::PopItemWidth();
    if (changed) {
        settings.mouseSensitivity = std::clamp(double(sensitivity), 0.1, 10.0);
        settings.fieldOfView = std::clamp(double(fieldOfView), 1.0, 45.0);
        settings.displayMode = window ? DisplayMode::window : DisplayMode::desktop;
        actions.push_back(MenuAction::changing(settings));
    }
    ImGui::Dummy(ImVec2(0.0f, scaled(20.0f)));
    if (menuButton("Keys")) {
        actions.push_back(MenuAction::opening(MenuScreen::keys));
    }
    backButton(actions);
}

// A button per action with its keys in a column of their own; pressed, it
// waits for the next key.
void keyButton(const GameState& game, Action action, Actions& actions) {
    const std::string id =
        std::string(actionLabel(action)) + "##" + std::string(actionName(action));
    const std::string keys =
        game.menu.capturing == action ? "press a key..." : game.settings.keys.labelOf(action);
    const float width = scaled(520.0f);
    ImGui::SetCursorPosX((ImGui::GetWindowWidth() - width) * 0.5f);
    if (ImGui::Button(id.c_str(), ImVec2(width, 0.0f))) {
        actions.push_back(MenuAction::capturing(action));
    }
    const ImVec2 corner = ImGui::GetItemRectMin();
    ImGui::GetWindowDrawList()->AddText(
        ImVec2(corner.x + width * 0.4f, corner.y + ImGui::GetStyle().FramePadding.y),
        ImGui::GetColorU32(ImGuiCol_Text), keys.c_str());
}

// Every action's keys, each changed by pressing its button and then the
// key; a refusal says why. Tab, PageUp, PageDown, F2, F3, F8, F11 and M
// stay as they are.
void drawKeys(const GameState& game, Actions& actions) {
    centredText("Keys", 1.6f, goldColour);
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(12.0f, 4.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(14.0f, 3.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_ButtonTextAlign, ImVec2(0.0f, 0.5f));
    for (int index = 0; index < actionCount; ++index) {
        keyButton(game, static_cast<Action>(index), actions);
        if (index == 0) {
            ImGui::SetItemDefaultFocus();
        }
    }
    ImGui::PopStyleVar(3);
    centredText(game.menu.keyMessage.empty() ? " " : game.menu.keyMessage, 1.0f, goldColour);
    if (menuButton("Reset keys")) {
        Settings settings = game.settings;
        settings.keys = KeyBindings::defaults();
        actions.push_back(MenuAction::changing(settings));
    }
    backButton(actions);
}

void drawPause(Actions& actions) {
    ImGui::Dummy(ImVec2(0.0f, scaled(100.0f)));
    centredText("Paused", 1.6f, goldColour);
    buttonColumn({{"Resume", MenuAction::of(Kind::resume)},
                  {"Restart", MenuAction::of(Kind::restart)},
                  {"Overview", MenuAction::of(Kind::overview)},
                  {"Levels", MenuAction::opening(MenuScreen::levels)},
                  {"Settings", MenuAction::opening(MenuScreen::settings)},
                  {"Title", MenuAction::of(Kind::title)},
                  {"Quit", MenuAction::of(Kind::quit)}},
                 actions);
}

void drawWonPanel(const GameState& game, Actions& actions) {
    ImGui::Dummy(ImVec2(0.0f, scaled(140.0f)));
    centredText("Solved!", 2.0f, goldColour);
    const std::optional<int> par = game.campaign.current().file.par;
    std::string moves = "Moves " + std::to_string(game.menu.wonMoves);
    if (par) {
        moves += ", par " + std::to_string(*par);
    }
    centredText(moves, 1.2f);
    if (game.menu.newBest) {
        centredText("new best", 1.2f, goldColour);
    }
    ImGui::Dummy(ImVec2(0.0f, scaled(30.0f)));
    buttonColumn({{"Next level", MenuAction::of(Kind::nextLevel)},
                  {"Replay", MenuAction::of(Kind::replay)},
                  {"Levels", MenuAction::opening(MenuScreen::levels)}},
                 actions);
}

} // namespace

MenuContext::MenuContext() {
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    io.ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
    styleInGameColours();
}

MenuContext::~MenuContext() {
    ImGui::DestroyContext();
}

std::vector<MenuAction> runMenus(const GameState& game) {
    ImGui::NewFrame();
    Actions actions;
    const MenuScreen screen = game.menu.screen;
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    if (editorPanelShown(game)) {
        drawEditorPanel(game, actions);
        ImGui::Render();
        return actions;
    }
    if (screen == MenuScreen::none || display.x <= 0.0f || display.y <= 0.0f) {
        ImGui::Render();
        return actions;
    }
    const char* const names[] = {"##none",  "##title", "##levels", "##settings",
                                 "##pause", "##won",   "##keys",   "##myLevels"};
    if (beginScreen(names[static_cast<int>(screen)], display)) {
        switch (screen) {
        case MenuScreen::title:
            drawTitle(game, actions);
            break;
        case MenuScreen::myLevels:
            drawMyLevels(game, actions);
            break;
        case MenuScreen::levels:
            drawLevels(game, actions);
            break;
        case MenuScreen::settings:
            drawSettings(game, actions);
            break;
        case MenuScreen::pause:
            drawPause(actions);
            break;
        case MenuScreen::won:
            drawWonPanel(game, actions);
            break;
        case MenuScreen::keys:
            drawKeys(game, actions);
            break;
        case MenuScreen::none:
            break;
        }
    }
    ImGui::End();
    ImGui::Render();
    return actions;
}
