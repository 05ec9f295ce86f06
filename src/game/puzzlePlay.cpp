#include "game/puzzlePlay.h"

#include "game/gamepad.h"
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

std::optional<SoundKind> pressPuzzleAction(PuzzlePlay& puzzle, Level& level, Camera& camera,
                                           Action action) {
    switch (action) {
    case Action::restart:
        restartPuzzleLevel(puzzle, level, camera);
        return SoundKind::restart;
    case Action::undo:
        if (puzzle.history.undo(level, camera)) {
            dropHint(puzzle);
            return SoundKind::undo;
        }
        break;
    case Action::hint:
        if (!puzzle.hints.searching() && !puzzle.hint) {
            puzzle.hints.request(level);
        }
        break;
    case Action::help:
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

std::string collectHint(PuzzlePlay& puzzle, const Camera& camera, const KeyBindings& keys) {
    const std::optional<Hint> hint = puzzle.hints.take();
    if (!hint) {
        return "";
    }
    puzzle.hint = hint;
    return hintText(*hint, camera, keys);
}

std::string hintLine(const PuzzlePlay& puzzle, const Camera& camera, const KeyBindings& keys) {
    if (puzzle.hint) {
        return hintText(*puzzle.hint, camera, keys);
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

std::vector<std::string> helpLines(const HelpKeys& keys) {
    const KeyBindings& bound = keys.bindings;
    const auto label = [&bound](Action action) { return bound.labelOf(action); };
    std::vector<std::string> lines{
        "Mouse: look   Wheel: zoom",
        label(Action::forward) + " " + label(Action::back) + " " + label(Action::left) + " " +
            label(Action::right) + ": move   " + label(Action::up) + " " + label(Action::down) +
            ": up and down",
        label(Action::restart) + ": restart the level",
        label(Action::undo) + ": undo a move",
        label(Action::hint) + ": hint   " + label(Action::help) + ": this help",
        "Tab or " + label(Action::overview) + ": overview   PageDown/PageUp: peel layers",
        "F2: frame rate   F3: wireframe   M: sound on or off",
        label(Action::pause) + (keys.playTest ? ": back to the editor"
                                : keys.menus  ? ": pause"
                                              : ": quit"),
    };
    if (keys.pad) {
        for (const std::string& line : padHelpLines()) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::optional<Cell> hintedCellOf(const PuzzlePlay& puzzle, const Level& level) {
    if (!puzzle.enabled || !puzzle.hint || puzzle.hint->kind != Hint::Kind::move) {
        return std::nullopt;
    }
    return neighbourOf(level.player.cell, puzzle.hint->move);
}
