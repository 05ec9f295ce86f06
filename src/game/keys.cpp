#include "game/keys.h"

#include <array>
#include <cctype>

namespace {

constexpr std::array<std::string_view, keyCount> keyNames = {"UNKNOWN",
#define CELLQUEST_KEY_NAME(enumerator, name) #name,
                                                             CELLQUEST_KEYS(CELLQUEST_KEY_NAME)
#undef CELLQUEST_KEY_NAME
};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string_view keyName(Key key) {
    const int index = keyIndex(key);
    return index >= 0 && index < keyCount ? keyNames[index] : keyNames[0];
}

std::optional<Key> keyNamed(std::string_view name) {
    for (int index = 1; index < keyCount; ++index) {
        if (sameIgnoringCase(keyNames[index], name)) {
            return static_cast<Key>(index);
        }
    }
    return std::nullopt;
}
