// The game's own names for the keys of the keyboard, free of the window
// system: platform translates its key codes into these. Each key's name in
// settings files is the text after its enumerator's comma: "W", "ESCAPE",
// "LEFT_SHIFT", "F1".
#pragma once

#include <optional>
#include <string>
#include <string_view>

// ENTRY(enumerator, NAME) for every key the game knows, in the window system's
// order of key codes.
#define CELLQUEST_KEYS(ENTRY)                                                                      \
    ENTRY(space, SPACE)                                                                            \
    ENTRY(apostrophe, APOSTROPHE)                                                                  \
    ENTRY(comma, COMMA)                                                                            \
    ENTRY(minus, MINUS)                                                                            \
    ENTRY(period, PERIOD)                                                                          \
    ENTRY(slash, SLASH)                                                                            \
    ENTRY(digit0, 0)                                                                               \
    ENTRY(digit1, 1)                                                                               \
    ENTRY(digit2, 2)                                                                               \
    ENTRY(digit3, 3)                                                                               \
    ENTRY(digit4, 4)                                                                               \
    ENTRY(digit5, 5)                                                                               \
    ENTRY(digit6, 6)                                                                               \
    ENTRY(digit7, 7)                                                                               \
    ENTRY(digit8, 8)                                                                               \
    ENTRY(digit9, 9)                                                                               \
    ENTRY(semicolon, SEMICOLON)                                                                    \
    ENTRY(equal, EQUAL)                                                                            \
    ENTRY(a, A)                                                                                    \
    ENTRY(b, B)                                                                                    \
    ENTRY(c, C)                                                                                    \
    ENTRY(d, D)                                                                                    \
    ENTRY(e, E)                                                                                    \
    ENTRY(f, F)                                                                                    \
    ENTRY(g, G)                                                                                    \
    ENTRY(h, H)                                                                                    \
    ENTRY(i, I)                                                                                    \
    ENTRY(j, J)                                                                                    \
    ENTRY(k, K)                                                                                    \
    ENTRY(l, L)                                                                                    \
    ENTRY(m, M)                                                                                    \
    ENTRY(n, N)                                                                                    \
    ENTRY(o, O)                                                                                    \
    ENTRY(p, P)                                                                                    \
    ENTRY(q, Q)                                                                                    \
    ENTRY(r, R)                                                                                    \
    ENTRY(s, S)                                                                                    \
    ENTRY(t, T)                                                                                    \
    ENTRY(u, U)                                                                                    \
    ENTRY(v, V)                                                                                    \
    ENTRY(w, W)                                                                                    \
    ENTRY(x, X)                                                                                    \
    ENTRY(y, Y)                                                                                    \
    ENTRY(z, Z)                                                                                    \
    ENTRY(leftBracket, LEFT_BRACKET)                                                               \
    ENTRY(backslash, BACKSLASH)                                                                    \
    ENTRY(rightBracket, RIGHT_BRACKET)                                                             \
    ENTRY(graveAccent, GRAVE_ACCENT)                                                               \
    ENTRY(escape, ESCAPE)                                                                          \
    ENTRY(enter, ENTER)                                                                            \
    ENTRY(tab, TAB)                                                                                \
    ENTRY(backspace, BACKSPACE)                                                                    \
    ENTRY(insert, INSERT)                                                                          \
    ENTRY(deleteKey, DELETE)                                                                       \
    ENTRY(right, RIGHT)                                                                            \
    ENTRY(left, LEFT)                                                                              \
    ENTRY(down, DOWN)                                                                              \
    ENTRY(up, UP)                                                                                  \
    ENTRY(pageUp, PAGE_UP)                                                                         \
    ENTRY(pageDown, PAGE_DOWN)                                                                     \
    ENTRY(home, HOME)                                                                              \
    ENTRY(end, END)                                                                                \
    ENTRY(capsLock, CAPS_LOCK)                                                                     \
    ENTRY(scrollLock, SCROLL_LOCK)                                                                 \
    ENTRY(numLock, NUM_LOCK)                                                                       \
    ENTRY(printScreen, PRINT_SCREEN)                                                               \
    ENTRY(pause, PAUSE)                                                                            \
    ENTRY(f1, F1)                                                                                  \
    ENTRY(f2, F2)                                                                                  \
    ENTRY(f3, F3)                                                                                  \
    ENTRY(f4, F4)                                                                                  \
    ENTRY(f5, F5)                                                                                  \
    ENTRY(f6, F6)                                                                                  \
    ENTRY(f7, F7)                                                                                  \
    ENTRY(f8, F8)                                                                                  \
    ENTRY(f9, F9)                                                                                  \
    ENTRY(f10, F10)                                                                                \
    ENTRY(f11, F11)                                                                                \
    ENTRY(f12, F12)                                                                                \
    ENTRY(keypad0, KP_0)                                                                           \
    ENTRY(keypad1, KP_1)                                                                           \
    ENTRY(keypad2, KP_2)                                                                           \
    ENTRY(keypad3, KP_3)                                                                           \
    ENTRY(keypad4, KP_4)                                                                           \
    ENTRY(keypad5, KP_5)                                                                           \
    ENTRY(keypad6, KP_6)                                                                           \
    ENTRY(keypad7, KP_7)                                                                           \
    ENTRY(keypad8, KP_8)                                                                           \
    ENTRY(keypad9, KP_9)                                                                           \
    ENTRY(keypadDecimal, KP_DECIMAL)                                                               \
    ENTRY(keypadDivide, KP_DIVIDE)                                                                 \
    ENTRY(keypadMultiply, KP_MULTIPLY)                                                             \
    ENTRY(keypadSubtract, KP_SUBTRACT)                                                             \
    ENTRY(keypadAdd, KP_ADD)                                                                       \
    ENTRY(keypadEnter, KP_ENTER)                                                                   \
    ENTRY(keypadEqual, KP_EQUAL)                                                                   \
    ENTRY(leftShift, LEFT_SHIFT)                                                                   \
    ENTRY(leftControl, LEFT_CONTROL)                                                               \
    ENTRY(leftAlt, LEFT_ALT)                                                                       \
    ENTRY(leftSuper, LEFT_SUPER)                                                                   \
    ENTRY(rightShift, RIGHT_SHIFT)                                                                 \
    ENTRY(rightControl, RIGHT_CONTROL)                                                             \
    ENTRY(rightAlt, RIGHT_ALT)                                                                     \
    ENTRY(rightSuper, RIGHT_SUPER)                                                                 \
    ENTRY(menu, MENU)

enum class Key {
    unknown,
#define CELLQUEST_KEY_ENUMERATOR(enumerator, name) enumerator,
    CELLQUEST_KEYS(CELLQUEST_KEY_ENUMERATOR)
#undef CELLQUEST_KEY_ENUMERATOR
        count
};

constexpr int keyCount = static_cast<int>(Key::count);

constexpr int keyIndex(Key key) {
    return static_cast<int>(key);
}

// "W", "ESCAPE", "LEFT_SHIFT"; "UNKNOWN" for Key::unknown.
std::string_view keyName(Key key);
// The key of a name in any case ("w", "Escape", "page_up"); nothing for a
// name no key has.
std::optional<Key> keyNamed(std::string_view name);
