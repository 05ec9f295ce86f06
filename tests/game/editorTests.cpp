// The level editor's operations on their own: placing and erasing pieces and
// what is refused, undo and redo, the size, the text saved and pasted, and
// the cell a click picks.
#include "core/scratchFolder.h"
#include "game/editorMode.h"
#include "game/gameState.h"
#include "world/solver.h"

#include <gtest/gtest.h>

namespace {

using Piece = EditorPiece;

// The new level: start 1 0 3, trophy 3 0 1, red 1 0 1, blue 3 0 3.
const Cell start{1, 0, 3};
const Cell trophy{3, 0, 1};
const Cell red{1, 0, 1};
const Cell blue{3, 0, 3};
const Cell free1{2, 0, 2};
const Cell free2{0, 1, 4};

struct Step {
    Cell cell;
    Piece piece;
};

struct PlaceCase {
    const char* what;
    std::vector<Step> steps;
    bool lastRefused;
    // What the cells hold after the steps.
    std::vector<Step> expected;
};

const PlaceCase placeCases[] = {
    {"a crate", {{free1, Piece::crate}}, false, {{free1, Piece::crate}}},
    {"a second red", {{free1, Piece::red}}, false, {{free1, Piece::red}, {red, Piece::red}}},
    {"a blue over a crate",
     {{free1, Piece::crate}, {free1, Piece::blue}},
     false,
     {{free1, Piece::blue}}},
    {"the start moves",
     {{free2, Piece::start}},
     false,
     {{free2, Piece::start}, {start, Piece::empty}}},
    {"the trophy moves",
     {{free2, Piece::trophy}},
     false,
     {{free2, Piece::trophy}, {trophy, Piece::empty}}},
    {"erasing a crate",
     {{free1, Piece::crate}, {free1, Piece::empty}},
     false,
     {{free1, Piece::empty}}},
    {"the last red stays", {{red, Piece::empty}}, true, {{red, Piece::red}}},
    {"the last blue stays under a crate", {{blue, Piece::crate}}, true, {{blue, Piece::blue}}},
    {"a red once another is there",
     {{free1, Piece::red}, {red, Piece::empty}},
     false,
     {{red, Piece::empty}, {free1, Piece::red}}},
    {"the start is not covered", {{start, Piece::red}}, true, {{start, Piece::start}}},
    {"the trophy is not erased", {{trophy, Piece::empty}}, true, {{trophy, Piece::trophy}}},
    {"the start not on the trophy",
     {{trophy, Piece::start}},
     true,
     {{trophy, Piece::trophy}, {start, Piece::start}}},
    {"outside the level", {{Cell{5, 0, 0}, Piece::crate}}, true, {}},
};

TEST(EditorPieces, EachPlacementDoesWhatItSaysOrIsRefusedWithAReason) {
    for (const PlaceCase& test : placeCases) {
        LevelLayout layout = newEditorLevel().layout;
        std::string refusal;
        for (const Step& step : test.steps) {
            refusal = placePiece(layout, step.cell, step.piece);
        }
        EXPECT_EQ(!refusal.empty(), test.lastRefused) << test.what << ": " << refusal;
        for (const Step& expected : test.expected) {
            EXPECT_EQ(pieceAt(layout, expected.cell), expected.piece) << test.what;
        }
        // Whatever was done, the loader takes the level.
        LevelFile level{"t", "", std::nullopt, layout};
        EXPECT_EQ(parseLevelText(formatLevelText(level), "f").level, level) << test.what;
    }
}

TEST(EditorPieces, AColourHoldsAtMostTheLoadersBlocks) {
    LevelLayout layout = newEditorLevel().layout;
    std::string refusal;
    for (int i = 0; i < 5 * 5 && refusal.empty(); ++i) {
        refusal = placePiece(layout, Cell{i % 5, 2, i / 5}, Piece::red);
    }
    EXPECT_EQ(layout.redStarts.size(), std::size_t(levelBlocksMax));
    EXPECT_NE(refusal, "");
}

struct SizeCase {
    Cell size;
    bool refused;
};

TEST(EditorSize, ASizeThatLeavesAPieceOutsideOrBreaksTheLimitsIsRefused) {
    const SizeCase cases[] = {{{10, 10, 10}, false}, {{4, 1, 4}, true}, {{4, 2, 4}, false},
                              {{3, 4, 5}, true},     {{5, 4, 3}, true}, {{5, 4, 11}, true},
                              {{4, 4, 4}, false},    {{2, 2, 2}, true}};
    for (const SizeCase& test : cases) {
        LevelLayout layout = newEditorLevel().layout;
        EXPECT_EQ(!resizeLevel(layout, test.size).empty(), test.refused)
            << test.size.x << " " << test.size.y << " " << test.size.z;
        EXPECT_EQ(layout.size, test.refused ? newLevelSize : test.size);
    }
}

TEST(EditorHistory, UndoGoesBackStepByStepAndRedoForwardTypingIsOneStep) {
    EditorState editor;
    openEditor(editor, "x.level", newEditorLevel());
    std::vector<LevelFile> seen{editor.level};
    const auto record = [&] { seen.push_back(editor.level); };
    editor.cursor = free1;
    editPiece(editor, Piece::crate);
    record();
    editText(editor, EditorField::title, "A");
    editText(editor, EditorField::title, "Ab");
    record();
    editSize(editor, Cell{6, 4, 5});
    record();
    editPiece(editor, Piece::empty); // the crate goes
    record();
    for (std::size_t i = seen.size() - 1; i > 0; --i) {
        ASSERT_TRUE(undoEdit(editor));
        EXPECT_EQ(editor.level, seen[i - 1]) << "undo to step " << i - 1;
    }
    EXPECT_FALSE(undoEdit(editor));
    for (std::size_t i = 1; i < seen.size(); ++i) {
        ASSERT_TRUE(redoEdit(editor));
        EXPECT_EQ(editor.level, seen[i]) << "redo to step " << i;
    }
    EXPECT_FALSE(redoEdit(editor));
    undoEdit(editor);
    editPiece(editor, Piece::blue); // a new edit drops what could be redone
    EXPECT_FALSE(redoEdit(editor));
}

TEST(EditorSave, TheSavedFileLoadsAsTheLevelWithTheProvenParAndABadOneIsNotWritten) {
    ScratchFolder scratch("cellquestEditor.");
    EditorState editor;
    openEditor(editor, scratch.path("made.level"), newEditorLevel());
    editor.cursor = Cell{2, 0, 1};
    editPiece(editor, Piece::crate);
    editor.proof =
        EditorProof{EditorProof::Status::done, proveLayout(editor.level.layout, nullptr)};
    const std::optional<std::vector<Direction>> way = solveLevel(Level(editor.level.layout));
    ASSERT_TRUE(way);
    ASSERT_TRUE(saveEditedLevel(editor)) << editor.message;
    EXPECT_FALSE(editor.unsaved);
    LevelFile expected = editor.level;
    expected.par = int(way->size());
    EXPECT_EQ(loadLevelFile(editor.path).level, expected);

    editText(editor, EditorField::title, "");
    EXPECT_FALSE(saveEditedLevel(editor));
    EXPECT_EQ(editor.message, editor.path + ":2: the title needs 1 to 60 printable characters");
    EXPECT_EQ(loadLevelFile(editor.path).level, expected) << "the file stays as it was";
}

TEST(EditorPaste, ALevelsTextReplacesTheLevelAndABadOneSaysWhereItIsWrong) {
    EditorState editor;
    openEditor(editor, "x.level", newEditorLevel());
    LevelFile other = newEditorLevel();
    other.title = "Other";
    other.layout.size = Cell{6, 2, 4};
    pasteLevel(editor, formatLevelText(other));
    EXPECT_EQ(editor.level, other);
    pasteLevel(editor, "title: x\nsize: 2 2 11\n");
    EXPECT_EQ(editor.message, "<clipboard>:2: size needs three whole numbers from 2 to 10");
    EXPECT_EQ(editor.level, other);
}

TEST(EditorPointer, AClickOnACellsTopPicksThatCellOfTheLayer) {
    const Cell size{7, 5, 4};
    Overview overview = openOverview(Camera(), size);
    orbit(overview, 30.0f, -20.0f);
    const Camera camera = overviewCamera(overview, size, 45.0f, cameraAspect);
    const glm::mat4 toScreen = projectionMatrix(camera) * viewMatrix(camera);
    for (const Cell cell : {Cell{0, 0, 0}, Cell{6, 2, 3}, Cell{3, 4, 1}, Cell{5, 1, 0}}) {
        const glm::vec3 top = cellCentre(cell) + glm::vec3(0.0f, 0.5f, 0.0f);
        const glm::vec4 clip = toScreen * glm::vec4(top, 1.0f);
        const glm::vec2 pointer(0.5f + 0.5f * clip.x / clip.w, 0.5f - 0.5f * clip.y / clip.w);
        EXPECT_EQ(cellUnderPointer(camera, pointer, size, cell.y), cell)
            << cell.x << cell.y << cell.z;
    }
    EXPECT_EQ(cellUnderPointer(camera, glm::vec2(0.0f, 0.0f), size, 0), std::nullopt);
}

TEST(EditorPlayTest, PPlaysTheLevelFromItsStartAndEscapeReturnsToTheEditorAsItWas) {
    GameState game;
    openLevelEditor(game, "x.level", newEditorLevel());
    double time = 0.0;
    FrameOutcome outcome;
    const auto press = [&](Key key) {
        time += 0.02;
        outcome =
            updateGame(game, FrameInput(time, {InputEvent::press(key), InputEvent::release(key)}));
    };
    press(Key::up);
    press(Key::c); // a crate at 1 0 2
    orbit(game.overview, 40.0f, 0.0f);
    const Overview view = game.overview;
    press(Key::p);
    EXPECT_TRUE(game.editor.playTesting);
    EXPECT_FALSE(game.overview.active) << "first person";
    EXPECT_EQ(game.level.player.cell, start);
    EXPECT_EQ(game.level.obstacles.size(), 1u);
    press(Key::escape);
    EXPECT_FALSE(game.editor.playTesting);
    EXPECT_FALSE(outcome.quit);
    EXPECT_EQ(game.editor.cursor, (Cell{1, 0, 2}));
    EXPECT_EQ(game.overview.yaw, view.yaw);
    EXPECT_TRUE(game.overview.active);
    EXPECT_EQ(game.editor.undoSteps.size(), 1u);
    press(Key::escape);
    EXPECT_TRUE(game.editor.askingToLeave) << "unsaved: Escape asks";
    EXPECT_FALSE(outcome.quit);
}

TEST(EditorClose, TheWindowsCloseButtonEndsASavedEditorAndAsksWithUnsavedChanges) {
    GameState game;
    openLevelEditor(game, "x.level", newEditorLevel());
    FrameInput close(0.1);
    close.closeRequested = true;
    EXPECT_TRUE(updateGame(game, close).quit);

    openLevelEditor(game, "x.level", newEditorLevel());
    updateGame(game, FrameInput(0.2, {InputEvent::press(Key::c)})); // a crate at the start: refused
    EXPECT_FALSE(game.editor.unsaved);
    updateGame(game, FrameInput(0.3, {InputEvent::press(Key::up), InputEvent::press(Key::c)}));
    ASSERT_TRUE(game.editor.unsaved);
    close.time = 0.4;
    EXPECT_FALSE(updateGame(game, close).quit);
    EXPECT_TRUE(game.editor.askingToLeave);
}

TEST(EditorFromTheTitle, MakeALevelOpensTheFirstFreeFileAndLeavingReturnsToTheTitle) {
    ScratchFolder scratch("cellquestMade.");
    scratch.write("level-1.level", "taken");
    LevelFile first = newEditorLevel();
    first.title = "First";
    GameState game(Campaign({CampaignLevel{"a.level", first}}), true);
    game.menu.enabled = true;
    game.myLevels.folder = scratch.folder();
    openTitle(game);
    FrameInput input(0.1);
    input.menuActions = {MenuAction::of(MenuAction::Kind::makeLevel)};
    updateGame(game, input);
    EXPECT_TRUE(editorShown(game.editor));
    EXPECT_EQ(game.editor.path, scratch.path("level-2.level"));
    EXPECT_EQ(game.level.layout(), newEditorLevel().layout);
    const FrameOutcome left = updateGame(game, FrameInput(0.2, {InputEvent::press(Key::escape)}));
    EXPECT_FALSE(left.quit);
    EXPECT_FALSE(game.editor.enabled);
    EXPECT_EQ(game.menu.screen, MenuScreen::title);
    EXPECT_EQ(game.campaign.current().file, first);
}

} // namespace
