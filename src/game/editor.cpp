#include "game/editor.h"

#include "core/userFiles.h"
#include "world/pieces.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iterator>

namespace {

const char* const clipboardName = "<clipboard>";

bool removeCell(std::vector<Cell>& cells, Cell cell) {
    const auto found = std::find(cells.begin(), cells.end(), cell);
    if (found == cells.end()) {
        return false;
    }
    cells.erase(found);
    return true;
}

std::string lastBlockRefusal(const char* colour) {
    return std::string("A level needs at least one ") + colour + " block: place another first";
}

// Why what stands in the cell cannot give way, or empty.
std::string coverRefusal(const LevelLayout& layout, Cell cell, EditorPiece incoming) {
    const EditorPiece there = pieceAt(layout, cell);
    if (there == incoming) {
        return "";
    }
    switch (there) {
    case EditorPiece::start:
        return "The start stays until it is placed elsewhere";
    case EditorPiece::trophy:
        return "The trophy stays until it is placed elsewhere";
    case EditorPiece::red:
        return layout.redStarts.size() == 1 ? lastBlockRefusal("red") : "";
    case EditorPiece::blue:
        return layout.blueStarts.size() == 1 ? lastBlockRefusal("blue") : "";
    default:
        return "";
    }
}

void clearCell(LevelLayout& layout, Cell cell) {
    removeCell(layout.obstacles, cell);
    removeCell(layout.redStarts, cell);
    removeCell(layout.blueStarts, cell);
}

std::string addBlock(std::vector<Cell>& blocks, Cell cell, const char* colour) {
    if (blocks.size() >= std::size_t(levelBlocksMax)) {
        return "A level holds at most " + std::to_string(levelBlocksMax) + " " + colour + " blocks";
    }
    blocks.push_back(cell);
    return "";
}

std::string putPiece(LevelLayout& layout, Cell cell, EditorPiece piece) {
    switch (piece) {
    case EditorPiece::crate:
        layout.obstacles.push_back(cell);
        return "";
    case EditorPiece::red:
        return addBlock(layout.redStarts, cell, "red");
    case EditorPiece::blue:
        return addBlock(layout.blueStarts, cell, "blue");
    case EditorPiece::start:
        layout.playerStart = cell;
        return "";
    case EditorPiece::trophy:
        layout.trophyCell = cell;
        return "";
    case EditorPiece::empty:
        break;
    }
    return "";
}

// The start or trophy moving away from a cell cannot leave the level without
// one; a piece moved onto its own cell is nothing to do.
std::string placeRefusal(const LevelLayout& layout, Cell cell, EditorPiece piece) {
    if (!isInsideLevel(layout, cell)) {
        return "The cursor is outside the level";
    }
    return coverRefusal(layout, cell, piece);
}

bool outsideSize(Cell cell, Cell size) {
    return cell.x >= size.x || cell.y >= size.y || cell.z >= size.z;
}

std::string cellText(Cell cell) {
    return std::to_string(cell.x) + " " + std::to_string(cell.y) + " " + std::to_string(cell.z);
}

Cell clampedInto(Cell cell, Cell size) {
    return Cell{std::clamp(cell.x, 0, size.x - 1), std::clamp(cell.y, 0, size.y - 1),
                std::clamp(cell.z, 0, size.z - 1)};
}

void callOffProof(EditorState& editor) {
    editor.prover.cancel();
    editor.proof = EditorProof();
}

// A done edit: the level before it goes to the undo steps, the redo steps go.
void recordEdit(EditorState& editor, const LevelFile& before, EditorField field) {
    if (field == EditorField::none || field != editor.lastField) {
        editor.undoSteps.push_back(before);
    }
    editor.lastField = field;
    editor.redoSteps.clear();
    editor.unsaved = true;
    editor.message.clear();
    callOffProof(editor);
}

void swapStep(EditorState& editor, std::vector<LevelFile>& from, std::vector<LevelFile>& to) {
    to.push_back(editor.level);
    editor.level = from.back();
    from.pop_back();
    editor.cursor = clampedInto(editor.cursor, editor.level.layout.size);
    editor.lastField = EditorField::none;
    editor.unsaved = true;
    editor.message.clear();
    callOffProof(editor);
}

SolverBudget proofBudget(const std::atomic<bool>* stop) {
    SolverBudget budget;
    budget.maxStates = proofStateLimit;
    budget.stop = stop;
    return budget;
}

// Each key with its command and the words the help shows for it; keys next
// to each other with the same words share one help entry.
struct EditorKey {
    Key key;
    bool control;
    EditorCommand command;
    const char* what;
};

using Kind = EditorCommand::Kind;

// "PAGE_UP" as "PageUp", "X" as "X".
std::string shownKeyName(Key key) {
    std::string shown;
    bool wordStart = true;
    for (char c : keyName(key)) {
        if (c == '_') {
            wordStart = true;
            continue;
        }
        shown += wordStart ? c : char(std::tolower(static_cast<unsigned char>(c)));
        wordStart = false;
    }
    return shown;
}

const std::vector<EditorKey>& editorKeys() {
    static const std::vector<EditorKey> keys{
        {Key::left, false, EditorCommand::along(Kind::moveCursor, -1), "cursor"},
        {Key::right, false, EditorCommand::along(Kind::moveCursor, 1), "cursor"},
        {Key::up, false, EditorCommand::along(Kind::moveCursor, -3), "cursor"},
        {Key::down, false, EditorCommand::along(Kind::moveCursor, 3), "cursor"},
        {Key::pageUp, false, EditorCommand::along(Kind::moveCursor, 2), "layer up"},
        {Key::pageDown, false, EditorCommand::along(Kind::moveCursor, -2), "layer down"},
        {Key::home, false, EditorCommand::along(Kind::turnView, -1), "turn"},
        {Key::end, false, EditorCommand::along(Kind::turnView, 1), "turn"},
        {Key::x, false, EditorCommand::placing(EditorPiece::empty), "erase"},
        {Key::deleteKey, false, EditorCommand::placing(EditorPiece::empty), "erase"},
        {Key::c, false, EditorCommand::placing(EditorPiece::crate), "crate"},
        {Key::r, false, EditorCommand::placing(EditorPiece::red), "red"},
        {Key::b, false, EditorCommand::placing(EditorPiece::blue), "blue"},
        {Key::s, false, EditorCommand::placing(EditorPiece::start), "start"},
        {Key::t, false, EditorCommand::placing(EditorPiece::trophy), "trophy"},
        {Key::z, true, EditorCommand::of(Kind::undo), "undo"},
        {Key::y, true, EditorCommand::of(Kind::redo), "redo"},
        {Key::p, false, EditorCommand::of(Kind::playTest), "play-test"},
        {Key::f5, false, EditorCommand::of(Kind::prove), "prove"},
        {Key::s, true, EditorCommand::of(Kind::save), "save"},
        {Key::c, true, EditorCommand::of(Kind::copy), "copy level"},
        {Key::f1, false, EditorCommand::of(Kind::toggleHelp), "this help"},
    };
    return keys;
}

} // namespace

LevelFile newEditorLevel() {
    LevelFile level;
    level.title = "Untitled";
    level.layout.size = newLevelSize;
    level.layout.playerStart = Cell{1, 0, 3};
    level.layout.trophyCell = Cell{3, 0, 1};
    level.layout.redStarts = {Cell{1, 0, 1}};
    level.layout.blueStarts = {Cell{3, 0, 3}};
    return level;
}

bool isInsideLevel(const LevelLayout& layout, Cell cell) {
    return cell.x >= 0 && cell.y >= 0 && cell.z >= 0 && !outsideSize(cell, layout.size);
}

EditorPiece pieceAt(const LevelLayout& layout, Cell cell) {
    const auto holds = [cell](const std::vector<Cell>& cells) {
        return std::find(cells.begin(), cells.end(), cell) != cells.end();
    };
    if (layout.playerStart == cell) {
        return EditorPiece::start;
    }
    if (layout.trophyCell == cell) {
        return EditorPiece::trophy;
    }
    if (holds(layout.redStarts)) {
        return EditorPiece::red;
    }
    if (holds(layout.blueStarts)) {
        return EditorPiece::blue;
    }
    return holds(layout.obstacles) ? EditorPiece::crate : EditorPiece::empty;
}

std::string placePiece(LevelLayout& layout, Cell cell, EditorPiece piece) {
    std::string refusal = placeRefusal(layout, cell, piece);
    if (!refusal.empty() || pieceAt(layout, cell) == piece) {
        return refusal;
    }
    LevelLayout changed = layout;
    clearCell(changed, cell);
    refusal = putPiece(changed, cell, piece);
    if (refusal.empty()) {
        layout = inReadingOrder(changed);
    }
    return refusal;
}

std::string resizeLevel(LevelLayout& layout, Cell size) {
    const int low = std::min({size.x, size.y, size.z});
    const int high = std::max({size.x, size.y, size.z});
    if (low < levelSideMin || high > levelSideMax) {
        return "Each side is " + std::to_string(levelSideMin) + " to " +
               std::to_string(levelSideMax) + " cells";
    }
    for (const Piece& piece : piecesOf(layout)) {
        if (outsideSize(piece.cell, size)) {
            return "A " + pieceKindName(piece.kind) + " stands at " + cellText(piece.cell) +
                   ": move it in first";
        }
    }
    for (Cell cell : {layout.playerStart, layout.trophyCell}) {
        if (outsideSize(cell, size)) {
            return "The " + std::string(cell == layout.playerStart ? "start" : "trophy") +
                   " stands at " + cellText(cell) + ": move it in first";
        }
    }
    layout.size = size;
    return "";
}

ProofAnswer proveLayout(const LevelLayout& layout, const std::atomic<bool>* stop) {
    const SolverBudget budget = proofBudget(stop);
    const SolveResult result = searchLevel(Level(layout), budget);
    ProofAnswer answer;
    answer.outcome = result.outcome;
    if (result.outcome != SolveOutcome::solved) {
        return answer;
    }
    answer.par = int(result.moves.size());
    for (const PieceJudgement& judgement : judgePieces(layout, answer.par, budget)) {
        if (judgement.verdict == PieceVerdict::doesNotMatter) {
            answer.idleCells.push_back(judgement.piece.cell);
        }
    }
    // A stop during the pieces' searches leaves them unjudged, not the par.
    if (stop && stop->load()) {
        answer.outcome = SolveOutcome::undecided;
    }
    return answer;
}

void openEditor(EditorState& editor, const std::string& path, const LevelFile& level) {
    callOffProof(editor);
    editor.enabled = true;
    editor.path = path;
    editor.level = level;
    editor.level.layout = inReadingOrder(level.layout);
    editor.cursor = level.layout.playerStart;
    editor.undoSteps.clear();
    editor.redoSteps.clear();
    editor.lastField = EditorField::none;
    editor.unsaved = false;
    editor.message.clear();
}

void editPiece(EditorState& editor, EditorPiece piece) {
    const LevelFile before = editor.level;
    const std::string refusal = placePiece(editor.level.layout, editor.cursor, piece);
    if (!refusal.empty()) {
        editor.message = refusal;
    } else if (!(editor.level == before)) {
        recordEdit(editor, before, EditorField::none);
    }
}

void editSize(EditorState& editor, Cell size) {
    const LevelFile before = editor.level;
    const std::string refusal = resizeLevel(editor.level.layout, size);
    if (!refusal.empty()) {
        editor.message = refusal;
    } else if (!(editor.level == before)) {
        editor.cursor = clampedInto(editor.cursor, size);
        recordEdit(editor, before, EditorField::none);
    }
}

void editText(EditorState& editor, EditorField field, const std::string& text) {
    std::string& target = field == EditorField::title ? editor.level.title : editor.level.author;
    if (target == text) {
        return;
    }
    const LevelFile before = editor.level;
    target = text;
    recordEdit(editor, before, field);
}

void pasteLevel(EditorState& editor, const std::string& text) {
    const LevelLoad load = parseLevelText(text, clipboardName);
    if (!load.level) {
        editor.message = load.error;
        return;
    }
    const LevelFile before = editor.level;
    editor.level = *load.level;
    editor.level.par.reset();
    editor.cursor = clampedInto(editor.cursor, editor.level.layout.size);
    recordEdit(editor, before, EditorField::none);
    editor.message = "Pasted \"" + editor.level.title + "\"";
}

bool undoEdit(EditorState& editor) {
    if (editor.undoSteps.empty()) {
        return false;
    }
    swapStep(editor, editor.undoSteps, editor.redoSteps);
    return true;
}

bool redoEdit(EditorState& editor) {
    if (editor.redoSteps.empty()) {
        return false;
    }
    swapStep(editor, editor.redoSteps, editor.undoSteps);
    return true;
}

void moveEditorCursor(EditorState& editor, Direction direction) {
    editor.cursor = clampedInto(neighbourOf(editor.cursor, direction), editor.level.layout.size);
}

void startProof(EditorState& editor) {
    if (editor.proof.status != EditorProof::Status::none) {
        return; // running, or done for the level as it stands
    }
    editor.prover.request(editor.level.layout);
    editor.proof.status = EditorProof::Status::proving;
}

void collectProof(EditorState& editor) {
    if (const std::optional<ProofAnswer> answer = editor.prover.take()) {
        editor.proof = EditorProof{EditorProof::Status::done, *answer};
    }
}

std::string proofLine(const EditorProof& proof) {
    switch (proof.status) {
    case EditorProof::Status::none:
        return "";
    case EditorProof::Status::proving:
        return "Proving...";
    case EditorProof::Status::done:
        break;
    }
    switch (proof.answer.outcome) {
    case SolveOutcome::solved:
        return "Proof: par " + std::to_string(proof.answer.par) + ", " +
               std::to_string(proof.answer.idleCells.size()) + " pieces that do not matter";
    case SolveOutcome::noWay:
        return "Proof: no way to the trophy";
    case SolveOutcome::undecided:
        break;
    }
    return "Proof: undecided, the search reached its limit of " + std::to_string(proofStateLimit) +
           " states";
}

bool editorShown(const EditorState& editor) {
    return editor.enabled && !editor.playTesting;
}

std::optional<int> provenPar(const EditorProof& proof) {
    const bool proven = proof.status == EditorProof::Status::done &&
                        proof.answer.outcome == SolveOutcome::solved && proof.answer.par > 0;
    return proven ? std::optional<int>(proof.answer.par) : std::nullopt;
}

std::string editedLevelText(const EditorState& editor) {
    LevelFile level = editor.level;
    level.par = provenPar(editor.proof);
    return formatLevelText(level);
}

bool saveEditedLevel(EditorState& editor) {
    const std::string text = editedLevelText(editor);
    const LevelLoad check = parseLevelText(text, editor.path);
    if (!check.level) {
        editor.message = check.error;
        return false;
    }
    const std::string failure = writeFileAtomically(editor.path, text);
    if (!failure.empty()) {
        editor.message = failure;
        return false;
    }
    editor.unsaved = false;
    editor.message = "Saved " + editor.path;
    return true;
}

std::string firstFreeLevelPath(const std::string& folder) {
    for (int number = 1;; ++number) {
        const std::string path = folder + "/level-" + std::to_string(number) + ".level";
        std::error_code failure;
        if (!std::filesystem::exists(path, failure) && !failure) {
            return path;
        }
    }
}

std::optional<EditorCommand> editorCommandOfKey(Key key, bool control) {
    for (const EditorKey& entry : editorKeys()) {
        if (entry.key == key && entry.control == control) {
            return entry.command;
        }
    }
    return std::nullopt;
}

std::vector<std::string> editorHelpLines() {
    constexpr std::size_t entriesPerLine = 3;
    std::vector<std::string> entries;
    const char* lastWhat = "";
    for (const EditorKey& entry : editorKeys()) {
        const std::string name = (entry.control ? "Ctrl+" : "") + shownKeyName(entry.key);
        if (std::string(entry.what) == lastWhat) {
            entries.back().insert(entries.back().find(':'), "/" + name);
        } else {
            entries.push_back(name + ": " + entry.what);
        }
        lastWhat = entry.what;
    }
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i % entriesPerLine == 0) {
            lines.emplace_back();
        }
        lines.back() += (i % entriesPerLine == 0 ? "" : "   ") + entries[i];
    }
    // The panel reads the clipboard; the mouse and Escape are not commands.
    lines.push_back("Ctrl+V: paste level   Click: pick a cell");
    lines.push_back("Right drag: turn   Wheel: zoom");
    lines.push_back("Escape: leave (asks when unsaved), or end a play-test");
    return lines;
}
