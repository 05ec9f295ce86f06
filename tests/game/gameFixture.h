// Tests of a whole game state at the start of the game's own level, with its
// parts under the game's own names.
#pragma once

#include "game/gameState.h"
#include "game/movement.h"

#include <gtest/gtest.h>

class GameTest : public ::testing::Test {
  protected:
    // The camera and the player's entry stand together, as after a frame.
    void placeCamera(glm::vec3 position) {
        camera.position = position;
        game.level.player.setPosition(position);
    }

    void processMovement() {
        ::processMovement(camera, game.modes, game.input, MoveControls(), game.level, deltaTime);
    }
    void hold(std::initializer_list<Key> heldKeys) {
        for (Key key : heldKeys) {
            keys[keyIndex(key)] = true;
        }
    }

    GameState game;
    Camera& camera = game.camera;
    std::array<bool, keyCount>& keys = game.input.keys;
    float& deltaTime = game.deltaTime;
    bool& wireframe = game.modes.wireframe;
    bool& showFramerate = game.modes.showFramerate;
    bool& frustumCulling = game.modes.frustumCulling;
    bool& playEnabled = game.modes.playEnabled;
};
