// Tests that play on the game's own level: everything they may change (the
// objects, the camera, the keys and the frame state) goes back afterwards.
#pragma once

#include "app/camera.h"
#include "app/frameState.h"
#include "app/input.h"
#include "world/level.h"
#include "world/levelState.h"

#include <gtest/gtest.h>

#include <algorithm>

class LevelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        savedState = captureLevelState();
        savedDirection = player.direction;
        savedPosition = player.position;
        savedCamera = camera;
        camera = Camera{};
        resetFrameState();
        std::fill(std::begin(keys), std::end(keys), false);
    }

    void TearDown() override {
        restoreLevelState(savedState);
        player.direction = savedDirection;
        player.position = savedPosition;
        camera = savedCamera;
        resetFrameState();
        setFilledPolygonMode = nullptr;
        std::fill(std::begin(keys), std::end(keys), false);
    }

    // The camera and the player's entry stand together, as after a frame.
    static void placeCamera(glm::vec3 position) {
        camera.position = position;
        player.setPosition(position);
    }

    static LevelState withPlayerAt(Cell cell) {
        LevelState state = captureLevelState();
        state.player = cell;
        return state;
    }

    LevelState savedState;
    Direction savedDirection = 0;
    glm::vec3 savedPosition;
    Camera savedCamera;
};
