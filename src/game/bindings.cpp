#include "game/bindings.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr std::array<std::string_view, actionCount> actionNames = {
#define CELLQUEST_ACTION_NAME(enumerator, name, label) #name,
    CELLQUEST_ACTIONS(CELLQUEST_ACTION_NAME)
#undef CELLQUEST_ACTION_NAME
};

constexpr std::array<const char*, actionCount> actionLabels = {
#define CELLQUEST_ACTION_LABEL(enumerator, name, label) label,
    CELLQUEST_ACTIONS(CELLQUEST_ACTION_LABEL)
#undef CELLQUEST_ACTION_LABEL
};

// M mutes the sound; the rest have done their one thing since the start.
constexpr Key fixedKeys[] = {Key::m,  Key::tab, Key::pageUp, Key::pageDown,
                             Key::f2, Key::f3,  Key::f8,     Key::f11};

std::size_t indexOf(Action action) {
    return static_cast<std::size_t>(action);
}

} // namespace

std::string_view actionName(Action action) {
    return actionNames[indexOf(action)];
}

const char* actionLabel(Action action) {
    return actionLabels[indexOf(action)];
}

std::optional<Action> actionNamed(std::string_view name) {
    const auto found = std::find(actionNames.begin(), actionNames.end(), name);
    if (found == actionNames.end()) {
        return std::nullopt;
    }
    return static_cast<Action>(found - actionNames.begin());
}

std::string keyLabel(Key key) {
    std::string label(keyName(key));
    for (std::size_t i = 1; i < label.size(); ++i) {
        label[i] = label[i] == '_' ? ' ' : char(std::tolower(static_cast<unsigned char>(label[i])));
    }
    return label;
}

bool isFixedKey(Key key) {
    return std::find(std::begin(fixedKeys), std::end(fixedKeys), key) != std::end(fixedKeys);
}

KeyBindings KeyBindings::defaults() {
    KeyBindings bindings;
    const auto bind = [&bindings](Action action, std::vector<Key> keys) {
        bindings.keys[indexOf(action)] = std::move(keys);
    };
    bind(Action::forward, {Key::w});
    bind(Action::back, {Key::s});
    bind(Action::left, {Key::a});
    bind(Action::right, {Key::d});
    bind(Action::up, {Key::q});
    bind(Action::down, {Key::e});
    bind(Action::undo, {Key::z, Key::backspace});
    bind(Action::restart, {Key::r});
    bind(Action::hint, {Key::h});
    bind(Action::overview, {Key::o});
    bind(Action::help, {Key::f1});
    bind(Action::pause, {Key::escape});
    return bindings;
}

std::optional<Action> KeyBindings::actionOf(Key key) const {
    for (std::size_t action = 0; action < keys.size(); ++action) {
        if (std::find(keys[action].begin(), keys[action].end(), key) != keys[action].end()) {
            return static_cast<Action>(action);
        }
    }
    return std::nullopt;
}

std::string KeyBindings::labelOf(Action action) const {
    std::string label;
    for (Key key : of(action)) {
        label += (label.empty() ? "" : " or ") + keyLabel(key);
    }
    return label.empty() ? "no key" : label;
}

std::string KeyBindings::firstLabelOf(Action action) const {
    return of(action).empty() ? "no key" : keyLabel(of(action).front());
}

bool operator==(const KeyBindings& a, const KeyBindings& b) {
    return a.keys == b.keys;
}

std::string bindKeys(KeyBindings& bindings, Action action, const std::vector<Key>& keys) {
    for (Key key : keys) {
        const std::string name(keyName(key));
        if (key == Key::unknown) {
            return "that key has no name the game knows";
        }
        if (isFixedKey(key)) {
            return name + " is a fixed key";
        }
        const std::optional<Action> owner = bindings.actionOf(key);
        if (owner && *owner != action) {
            return name + " is already " + std::string(actionName(*owner)) + "'s";
        }
    }
    if (keys.empty()) {
        return "no key given";
    }
    bindings.keys[indexOf(action)] = keys;
    return "";
}
