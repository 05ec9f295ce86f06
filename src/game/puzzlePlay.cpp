#include "game/puzzlePlay.h"

#include "game/input.h"

namespace {

const char* const searchingLine = "Hint: searching...";

void dropHint(PuzzlePlay& puzzle) {
    puzzle.hints.cancel();
    puzzle.hint.reset();
}

} // namespace

void startPuzzleLevel(PuzzlePlay& puzzle, const LevelHeading& heading) {
    puzzle.heading = heading;
    puzzle.history.clear();
    dropHint(puzzle);
}

void restartPuzzleLevel(PuzzlePlay& puzzle, Level& level, Camera& camera) {
    puzzle.history.restart(level, camera);
    dropHint(puzzle);
}

std::optional<SoundKind> pressPuzzleKey(PuzzlePlay& puzzle, Level& level, Camera& camera, Key key) {
    switch (key) {
    case Key::r:
        restartPuzzleLevel(puzzle, level, camera);
        return SoundKind::restart;
    case Key::z:
    case Key::backspace:
        if (puzzle.history.undo(level, camera)) {
            dropHint(puzzle);
            return SoundKind::undo;
        }
        break;
    case Key::h:
        if (!puzzle.hints.searching() && !puzzle.hint) {
            puzzle.hints.request(level);
        }
        break;
    case Key::f1:
        puzzle.helpShown = !puzzle.helpShown;
        break;
    default:
        break;
    }
    return std::nullopt;
}

void beforeCellChange(PuzzlePlay& puzzle, const Level& level) {
    puzzle.history.recordCellChange(captureLevelState(level));
    dropHint(puzzle);
}

std::string collectHint(PuzzlePlay& puzzle, const Camera& camera) {
    const std::optional<Hint> hint = puzzle.hints.take();
    if (!hint) {
        return "";
    }
    puzzle.hint = hint;
    return hintText(*hint, camera);
}

std::string hintLine(const PuzzlePlay& puzzle, const Camera& camera) {
    if (puzzle.hint) {
        return hintText(*puzzle.hint, camera);
    }
    return puzzle.hints.searching() ? searchingLine : "";
}

std::string movesLine(const PuzzlePlay& puzzle) {
    const LevelHeading& heading = puzzle.heading;
    std::string line = "Level " + std::to_string(heading.number) + "/" +
                       std::to_string(heading.count) + "  moves " +
                       std::to_string(puzzle.history.moves());
    if (heading.par) {
        line += "  par " + std::to_string(*heading.par);
    }
    return line;
}

const std::vector<std::string>& helpLines() {
    static const std::vector<std::string> lines{
        "Mouse: look   Wheel: zoom",
        "W S A D: move   Q E: up and down",
        "R: restart the level",
        "Z or Backspace: undo a move",
        "H: hint   F1: this help",
        "Tab: overview   PageDown/PageUp: peel layers",
        "F2: frame rate   F3: wireframe",
        "M: sound on or off",
        "Escape: quit",
    };
    return lines;
}

std::optional<Cell> hintedCellOf(const PuzzlePlay& puzzle, const Level& level) {
    if (!puzzle.enabled || !puzzle.hint || puzzle.hint->kind != Hint::Kind::move) {
        return std::nullopt;
    }
    return neighbourOf(level.player.cell, puzzle.hint->move);
}
