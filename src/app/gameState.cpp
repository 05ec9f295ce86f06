#include "app/gameState.h"

#include "app/frameState.h"
#include "app/gameModels.h"
#include "world/level.h"

#include <iomanip>
#include <sstream>

namespace {

constexpr int framerateRefreshFrames = 300;
constexpr float overlayX = 25.0f;
constexpr float overlayY = 708.0f;
constexpr float overlayScale = 0.5f;
const glm::vec3 overlayGreen(0.0f, 1.0f, 0.0f);

void appendCell(std::ostringstream& out, const Cell& cell) { out << cell.x << cell.y << cell.z; }

} // namespace

std::string traceLine() {
    std::ostringstream out;
    appendCell(out, player.cell);
    out << "\t\tredblock: ";
    appendCell(out, redBlocks[0].cell);
    out << "\t\tBlueblock: ";
    appendCell(out, blueBlocks[0].cell);
    return out.str();
}

void writeTraceLine(std::ostream& out) { out << traceLine() << std::endl; }

glm::vec3 goalPosition() { return trophyModel.position; }

bool isWinningCell(Cell playerCell, glm::vec3 goal) {
    return static_cast<float>(playerCell.x) == goal.x &&
           static_cast<float>(playerCell.y) == goal.y &&
           static_cast<float>(playerCell.z) == goal.z;
}

std::string formatFramerate(float frameSeconds) {
    const float framesPerSecond = 1.0f / frameSeconds;
    std::ostringstream out;
    out << std::fixed << std::setprecision(6) << framesPerSecond;
    return out.str();
}

std::vector<OverlayLine> overlayLines() {
    std::vector<OverlayLine> lines;
    if (showFramerate) {
        // The line shows the text of the last refresh; the refresh comes after.
        lines.push_back({"Framerate: " + framerateText, overlayX, overlayY, overlayScale,
                         overlayGreen, false});
        if (framerateCounter == framerateRefreshFrames) {
            framerateText = formatFramerate(deltaTime);
            framerateCounter = 0;
        }
        framerateCounter += 1;
    }
    if (wireframe) {
        lines.push_back({"Wireframe: ON", overlayX, overlayY, overlayScale, overlayGreen, true});
    }
    if (frustumCulling) {
        lines.push_back(
            {"View Frustum Culling: ON", overlayX, overlayY, overlayScale, overlayGreen, false});
    }
    return lines;
}
