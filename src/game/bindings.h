// The player's keys for the actions of play, which the settings may change,
// and the keys that always do the same thing and so can never be bound.
#pragma once

#include "game/keys.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ENTRY(enumerator, name in the settings, label in the menus)
#define CELLQUEST_ACTIONS(ENTRY)                                                                   \
    ENTRY(forward, forward, "Forward")                                                             \
    ENTRY(back, back, "Back")                                                                      \
    ENTRY(left, left, "Left")                                                                      \
    ENTRY(right, right, "Right")                                                                   \
    ENTRY(up, up, "Up")                                                                            \
    ENTRY(down, down, "Down")                                                                      \
    ENTRY(undo, undo, "Undo")                                                                      \
    ENTRY(restart, restart, "Restart")                                                             \
    ENTRY(hint, hint, "Hint")                                                                      \
    ENTRY(overview, overview, "Overview")                                                          \
    ENTRY(help, help, "Help")                                                                      \
    ENTRY(pause, pause, "Pause")

enum class Action {
#define CELLQUEST_ACTION_ENUMERATOR(enumerator, name, label) enumerator,
    CELLQUEST_ACTIONS(CELLQUEST_ACTION_ENUMERATOR)
#undef CELLQUEST_ACTION_ENUMERATOR
        count
};

constexpr int actionCount = static_cast<int>(Action::count);

// "forward", as the settings' [keys] table names it.
std::string_view actionName(Action action);
// "Forward", as the menus show it.
const char* actionLabel(Action action);
// The action of a name in the settings, in exactly that spelling.
std::optional<Action> actionNamed(std::string_view name);

// "Backspace", "Page up", "W": a key's name as the player reads it.
std::string keyLabel(Key key);

// Keys whose use never changes (mute, overview, layers, the toggles, full
// screen): no action may take them.
bool isFixedKey(Key key);

struct KeyBindings {
    // Each action's keys, the first shown first.
    std::array<std::vector<Key>, actionCount> keys;

    // The keys of play as they have always been: W S A D, Q E, Z or
    // Backspace, R, H, O, F1, Escape.
    static KeyBindings defaults();

    const std::vector<Key>& of(Action action) const {
        return keys[static_cast<std::size_t>(action)];
    }
    // The action a key is bound to, if any.
    std::optional<Action> actionOf(Key key) const;
    // "Z or Backspace"; "no key" for an action left without one.
    std::string labelOf(Action action) const;
    // "Z": the action's first key alone; "no key" when it has none.
    std::string firstLabelOf(Action action) const;
};

bool operator==(const KeyBindings& a, const KeyBindings& b);

// Binds the action to these keys alone. Empty when done; otherwise the
// reason it was refused ("TAB is a fixed key", "Z is already undo's"), and
// nothing changes.
std::string bindKeys(KeyBindings& bindings, Action action, const std::vector<Key>& keys);
