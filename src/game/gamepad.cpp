#include "game/gamepad.h"

#include <glm/geometric.hpp>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

float triggerPull(float axis) {
    const float pull = (axis + 1.0f) * 0.5f;
    return pull < triggerDeadZone ? 0.0f : std::min(pull, 1.0f);
}

// A shoulder is all or nothing; its trigger may be pulled part way.
float verticalPush(const GamepadState& pad, PadButton shoulder, PadAxis trigger) {
    return pad.held(shoulder) ? 1.0f : triggerPull(pad.axis(trigger));
}

std::vector<std::string> fieldsOf(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) {
        fields.push_back(field);
    }
    return fields;
}

bool isGuid(const std::string& field) {
    return field.size() == 32 && std::all_of(field.begin(), field.end(), [](char c) {
               return std::isxdigit(static_cast<unsigned char>(c));
           });
}

// Empty when the line is a mapping, a comment or blank.
std::string lineProblem(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') {
        return "";
    }
    const std::vector<std::string> fields = fieldsOf(line);
    if (!isGuid(fields[0])) {
        return "does not start with a GUID of 32 hex digits";
    }
    if (fields.size() < 2 || fields[1].empty()) {
        return "has no name after its GUID";
    }
    if (fields.size() < 3) {
        return "maps nothing";
    }
    for (std::size_t i = 2; i < fields.size(); ++i) {
        const std::size_t colon = fields[i].find(':');
        if (colon == 0 || colon == std::string::npos || colon + 1 == fields[i].size()) {
            return "has \"" + fields[i] + "\" where a key:value pair belongs";
        }
    }
    return "";
}

} // namespace

glm::vec2 pastDeadZone(glm::vec2 stick) {
    const float tilt = glm::length(stick);
    if (tilt <= stickDeadZone) {
        return glm::vec2(0.0f);
    }
    const float scaled = std::min((tilt - stickDeadZone) / (1.0f - stickDeadZone), 1.0f);
    return stick * (scaled / tilt);
}

glm::vec3 padFlight(const GamepadState& pad) {
    if (!pad.connected) {
        return glm::vec3(0.0f);
    }
    const glm::vec2 stick =
        pastDeadZone(glm::vec2(pad.axis(PadAxis::leftX), pad.axis(PadAxis::leftY)));
    const float up = verticalPush(pad, PadButton::rightBumper, PadAxis::rightTrigger);
    const float down = verticalPush(pad, PadButton::leftBumper, PadAxis::leftTrigger);
    return glm::vec3(stick.x, up - down, -stick.y);
}

glm::vec2 padLook(const GamepadState& pad) {
    if (!pad.connected) {
        return glm::vec2(0.0f);
    }
    const glm::vec2 stick =
        pastDeadZone(glm::vec2(pad.axis(PadAxis::rightX), pad.axis(PadAxis::rightY)));
    return glm::vec2(stick.x, -stick.y);
}

std::vector<PadButton> padPresses(const GamepadState& before, const GamepadState& now) {
    std::vector<PadButton> presses;
    for (int index = 0; index < padButtonCount; ++index) {
        const auto button = static_cast<PadButton>(index);
        if (now.connected && now.held(button) && !(before.connected && before.held(button))) {
            presses.push_back(button);
        }
    }
    return presses;
}

std::optional<Action> padAction(PadButton button) {
    switch (button) {
    case PadButton::a:
        return Action::hint;
    case PadButton::b:
        return Action::undo;
    case PadButton::x:
        return Action::overview;
    case PadButton::y:
        return Action::restart;
    case PadButton::back:
        return Action::help;
    case PadButton::start:
        return Action::pause;
    default:
        return std::nullopt;
    }
}

std::vector<std::string> padConnectionLines(const GamepadState& before, const GamepadState& now) {
    std::vector<std::string> lines;
    if (before.connected == now.connected && before.name == now.name) {
        return lines;
    }
    if (before.connected) {
        lines.push_back("Gamepad disconnected: " + before.name);
    }
    if (now.connected) {
        lines.push_back("Gamepad connected: " + now.name);
    }
    return lines;
}

std::vector<std::string> padHelpLines() {
    return {"Pad: left stick fly   right stick look   shoulders/triggers down, up",
            "Pad: A hint   B undo   Y restart   X overview   Back help   Start pause"};
}

std::string mappingsProblem(const std::string& text) {
    std::istringstream in(text);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::string problem = lineProblem(line);
        if (!problem.empty()) {
            return "line " + std::to_string(number) + " " + problem;
        }
    }
    return "";
}
