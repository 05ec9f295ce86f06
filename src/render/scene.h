// The visible world: room, floor, obstacles, red and blue blocks, trophy and
// stars, and the marker of the light. Every routine but drawRoom draws with
// whatever program it is given, so the shadow pass reuses them.
#pragma once

#include "render/frameView.h"
#include "render/shaderProgram.h"
#include "render/shadowMap.h"
#include "world/cell.h"
#include "world/levelGrid.h"

#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

class Renderer;

// Spin rates of the trophy (about its own axis, carrying the stars) and of
// each star about its own axis, in degrees per second.
constexpr float trophyTurnRate = 50.0f;
constexpr float starTurnRate = 200.0f;

void setLightingUniforms(const ShaderProgram& program, const FrameView& view);
void drawRoom(const Renderer& renderer, const ShaderProgram& program,
              Cell roomCells = Cell{roomSize, roomSize, roomSize});
// Crates are solid, or in the overview faint, drawn last without depth.
enum class CrateLook { solid, seeThrough };
// The floor, the crates, the red blocks and the blue blocks, in that order
// (faint crates last); with the view's marks on the blocks.
void drawLevel(const Renderer& renderer, const ShaderProgram& program, const FrameView& view,
               CrateLook crates = CrateLook::solid);
// A block is drawn from its cell alone. GCC 12 at -O3 miscompiled the earlier
// form that took a sliced copy of the object by value: the copy was never
// made and every block was drawn at the same garbage place
// (docs/gcc12-by-value-copy.md keeps the reduced case).
void drawBlock(const Renderer& renderer, Cell cell, const ShaderProgram& program);
void drawModels(const Renderer& renderer, const ShaderProgram& program, const FrameView& view);

// Unit 2 <- the shadow map's depth texture, "shadowMap" = 2 and the shadow
// pass's "lightSpaceMatrix" on basicProgram.
void bindShadowMapForLitPass(const Renderer& renderer, const glm::mat4& lightSpaceMatrix);
// The lit pass into hdrTarget (lighting, shadow binding, room, level,
// models) and the light marker.
void renderLitPass(const Renderer& renderer, const FrameView& view,
                   const glm::mat4& lightSpaceMatrix);
// A small unlit cube where the frame's light hangs.
void drawLightMarker(const Renderer& renderer, const FrameView& view);
// The overview's marker of the player: a glowing cube with an arrow along
// where the player looks; nothing in first person.
void drawPlayerMarker(const Renderer& renderer, const FrameView& view);
// The cell a hint points to, outlined in the lamp's glow with a small cube at
// its middle; nothing when no move is hinted.
void drawHintMarker(const Renderer& renderer, const FrameView& view);
// The editor's cursor cell in a bright double outline, and each piece that
// does not matter in a thin outline with a small cube at its middle.
void drawEditorMarks(const Renderer& renderer, const FrameView& view);

// The placements the draw routines build, free of GL so they can be checked
// on their own. A block is a 0.78 cube in the middle of its cell.
glm::mat4 blockModelMatrix(Cell cell);
// The trophy turned by its spin rate for the given seconds of game time.
glm::mat4 trophyModelMatrix(glm::vec3 trophyPosition, float seconds);
// A star in the trophy's frame, offset from its axis and spinning on its own.
glm::mat4 starModelMatrix(const glm::mat4& trophy, glm::vec3 offset, float seconds);
// A rotation by degrees about the normalised axis, after transform.
glm::mat4 rotateDegrees(const glm::mat4& transform, float degrees, glm::vec3 axis);
