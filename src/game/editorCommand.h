// What the level editor can be asked to do, by a key or by its panel: a
// value the frame's update applies, so keys and panel share one path.
#pragma once

#include "world/cell.h"

#include <string>

// What a cell of the edited level holds.
enum class EditorPiece { empty, crate, red, blue, start, trophy };

struct EditorCommand {
    enum class Kind {
        place,      // `piece` at the cursor (empty erases)
        moveCursor, // one cell along `direction`
        turnView,   // the overview turns by `direction` steps round the level
        undo,
        redo,
        playTest,
        prove,
        save,
        copy,
        paste,     // `text` is the level's text from the clipboard
        setTitle,  // `text`
        setAuthor, // `text`
        setSize,   // `size`
        toggleHelp,
        leaveSaving, // the question on leaving with unsaved changes
        leaveDiscarding,
        stay,
        keysTaken,  // the panel's text field has the keyboard this frame
        mouseTaken, // the cursor is over the panel this frame
    };
    Kind kind = Kind::undo;
    EditorPiece piece = EditorPiece::empty;
    Direction direction = 0;
    std::string text;
    Cell size;

    static EditorCommand of(Kind kind) {
        return EditorCommand{kind, EditorPiece::empty, 0, "", {}};
    }
    static EditorCommand placing(EditorPiece piece) {
        return EditorCommand{Kind::place, piece, 0, "", {}};
    }
    static EditorCommand along(Kind kind, Direction direction) {
        return EditorCommand{kind, EditorPiece::empty, direction, "", {}};
    }
    static EditorCommand withText(Kind kind, std::string text) {
        return EditorCommand{kind, EditorPiece::empty, 0, std::move(text), {}};
    }
    static EditorCommand sized(Cell size) {
        return EditorCommand{Kind::setSize, EditorPiece::empty, 0, "", size};
    }
};
