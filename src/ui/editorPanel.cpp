#include "ui/editorPanel.h"

#include <imgui.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

using Actions = std::vector<MenuAction>;
using Kind = EditorCommand::Kind;

constexpr float buttonWidth = 160.0f;

void ask(Actions& actions, EditorCommand command) {
    actions.push_back(MenuAction::editing(std::move(command)));
}

// A text field over the level's text; every change is sent at once, and
// typing in one field stays one undo step.
void textField(const char* label, const std::string& value, Kind kind, Actions& actions) {
    std::array<char, levelTextMax + 1> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%s", value.c_str());
    if (ImGui::InputText(label, buffer.data(), buffer.size())) {
        ask(actions, EditorCommand::withText(kind, buffer.data()));
    }
}

void sizeField(const LevelLayout& layout, Actions& actions) {
    int sides[3] = {layout.size.x, layout.size.y, layout.size.z};
    if (ImGui::SliderInt3("Size", sides, levelSideMin, levelSideMax)) {
        ask(actions, EditorCommand::sized(Cell{sides[0], sides[1], sides[2]}));
    }
}

void palette(Actions& actions) {
    struct Entry {
        const char* label;
        EditorPiece piece;
    };
    const Entry entries[] = {
        {"Empty (X)", EditorPiece::empty}, {"Crate (C)", EditorPiece::crate},
        {"Red (R)", EditorPiece::red},     {"Blue (B)", EditorPiece::blue},
        {"Start (S)", EditorPiece::start}, {"Trophy (T)", EditorPiece::trophy}};
    int column = 0;
    for (const Entry& entry : entries) {
        if (column++ % 2 == 1) {
            ImGui::SameLine();
        }
        if (ImGui::Button(entry.label, ImVec2(buttonWidth, 0.0f))) {
            ask(actions, EditorCommand::placing(entry.piece));
        }
    }
}

void commandButton(const char* label, Kind kind, Actions& actions, bool sameLine = false) {
    if (sameLine) {
        ImGui::SameLine();
    }
    if (ImGui::Button(label, ImVec2(buttonWidth, 0.0f))) {
        ask(actions, EditorCommand::of(kind));
    }
}

void paste(Actions& actions) {
    const char* text = ImGui::GetClipboardText();
    ask(actions, EditorCommand::withText(Kind::paste, text ? text : ""));
}

void commands(Actions& actions) {
    commandButton("Undo (Ctrl+Z)", Kind::undo, actions);
    commandButton("Redo (Ctrl+Y)", Kind::redo, actions, true);
    commandButton("Play-test (P)", Kind::playTest, actions);
    commandButton("Prove (F5)", Kind::prove, actions, true);
    commandButton("Save (Ctrl+S)", Kind::save, actions);
    commandButton("Copy level", Kind::copy, actions, true);
    if (ImGui::Button("Paste level", ImVec2(buttonWidth, 0.0f))) {
        paste(actions);
    }
}

// Ctrl+V pastes a level unless a text field takes it.
void pasteByKeys(Actions& actions) {
    const ImGuiIO& io = ImGui::GetIO();
    if (!io.WantTextInput && io.KeyCtrl && ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_V))) {
        paste(actions);
    }
}

void drawPanel(const EditorState& editor, Actions& actions) {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(display.x - editorPanelWidth, 0.0f));
    ImGui::SetNextWindowSize(ImVec2(editorPanelWidth, 0.0f));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoNav |
                                   ImGuiWindowFlags_NoCollapse;
    // Tighter than the menus' big buttons, to fit beside the level.
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(6.0f, 6.0f));
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(8.0f, 8.0f));
    if (ImGui::Begin("Level", nullptr, flags)) {
        ImGui::PushItemWidth(250.0f);
        textField("Title", editor.level.title, Kind::setTitle, actions);
        textField("Author", editor.level.author, Kind::setAuthor, actions);
        sizeField(editor.level.layout, actions);
        ImGui::PopItemWidth();
        ImGui::Separator();
        palette(actions);
        ImGui::Separator();
        commands(actions);
        const std::string proof = proofLine(editor.proof);
        if (!proof.empty()) {
            ImGui::TextWrapped("%s", proof.c_str());
        }
        if (!editor.message.empty()) {
            ImGui::TextWrapped("%s", editor.message.c_str());
        }
    }
    ImGui::End();
    ImGui::PopStyleVar(2);
}

void drawLeaveQuestion(Actions& actions) {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(display.x * 0.5f, display.y * 0.5f), 0, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowFocus();
    const ImGuiWindowFlags flags = ImGuiWindowFlags_AlwaysAutoResize |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoCollapse |
                                   ImGuiWindowFlags_NoMove;
    if (ImGui::Begin("Unsaved changes", nullptr, flags)) {
        ImGui::TextUnformatted("The level has unsaved changes.");
        if (ImGui::Button("Save")) {
            ask(actions, EditorCommand::of(Kind::leaveSaving));
        }
        ImGui::SetItemDefaultFocus();
        ImGui::SameLine();
        if (ImGui::Button("Discard")) {
            ask(actions, EditorCommand::of(Kind::leaveDiscarding));
        }
        ImGui::SameLine();
        if (ImGui::Button("Cancel")) {
            ask(actions, EditorCommand::of(Kind::stay));
        }
    }
    ImGui::End();
}

} // namespace

bool editorPanelShown(const GameState& game) {
    return editorShown(game.editor);
}

void drawEditorPanel(const GameState& game, std::vector<MenuAction>& actions) {
    const EditorState& editor = game.editor;
    drawPanel(editor, actions);
    if (editor.askingToLeave) {
        drawLeaveQuestion(actions);
    } else {
        pasteByKeys(actions);
    }
    const ImGuiIO& io = ImGui::GetIO();
    if (io.WantTextInput) {
        ask(actions, EditorCommand::of(Kind::keysTaken));
    }
    if (io.WantCaptureMouse) {
        ask(actions, EditorCommand::of(Kind::mouseTaken));
    }
}
