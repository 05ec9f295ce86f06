// Mouse look, zoom, the key table and the camera's matrices.
#include "game/camera.h"
#include "game/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <utility>

namespace {

// A fresh camera and input state per test, under the game's own names.
class InputTest : public ::testing::Test {
  protected:
    void press(Key key) { applyKeyEvent(input, InputEvent::press(key)); }
    void release(Key key) { applyKeyEvent(input, InputEvent::release(key)); }
    void handleCursorPos(double x, double y) {
        ::handleCursorPos(input, camera, settings, playEnabled, x, y);
    }
    void handleScroll(double yOffset) { ::handleScroll(camera, yOffset); }

    Camera camera;
    InputState input;
    MouseState& mouse = input.mouse;
    std::array<bool, keyCount>& keys = input.keys;
    bool playEnabled = true;
    Settings settings;
};

TEST_F(InputTest, FirstCursorEventOnlyRecordsThePosition) {
    handleCursorPos(900.0, 100.0);
    EXPECT_FLOAT_EQ(camera.yaw, -90.0f);
    EXPECT_FLOAT_EQ(camera.pitch, 0.0f);
    EXPECT_FALSE(mouse.firstMouse);
    EXPECT_FLOAT_EQ(mouse.lastX, 900.0f);
    EXPECT_FLOAT_EQ(mouse.lastY, 100.0f);

    handleCursorPos(910.0, 80.0); // right and up
    EXPECT_FLOAT_EQ(camera.yaw, -89.5f);
    EXPECT_FLOAT_EQ(camera.pitch, 1.0f);
}

TEST_F(InputTest, TheSettingsScaleAndInvertTheLook) {
    struct Look {
        double sensitivity;
        bool invertY;
        float yaw;
        float pitch;
    };
    // 10 pixels right and 20 up from where the cursor was.
    for (const Look& row : {Look{1.0, false, -89.5f, 1.0f}, Look{2.0, false, -89.0f, 2.0f},
                            Look{0.1, false, -89.95f, 0.1f}, Look{1.0, true, -89.5f, -1.0f},
                            Look{10.0, true, -85.0f, -10.0f}}) {
        SCOPED_TRACE(testing::Message() << row.sensitivity << (row.invertY ? " inverted" : ""));
        camera = Camera();
        input = InputState();
        settings.mouseSensitivity = row.sensitivity;
        settings.invertY = row.invertY;
        handleCursorPos(900.0, 100.0);
        handleCursorPos(910.0, 80.0);
        EXPECT_NEAR(camera.yaw, row.yaw, 1e-4f);
        EXPECT_NEAR(camera.pitch, row.pitch, 1e-4f);
    }
}

TEST_F(InputTest, TheCursorIsFollowedAfterTheWinSoTheNextLevelDoesNotJump) {
    playEnabled = false;
    handleCursorPos(700.0, 300.0);
    EXPECT_FALSE(mouse.firstMouse);
    EXPECT_FLOAT_EQ(mouse.lastX, 700.0f);
    handleCursorPos(800.0, 300.0);
    EXPECT_FLOAT_EQ(camera.yaw, -90.0f) << "mouse look is off after the win";
    EXPECT_FLOAT_EQ(mouse.lastX, 800.0f);

    playEnabled = true; // the next level
    handleCursorPos(810.0, 300.0);
    EXPECT_FLOAT_EQ(camera.yaw, -89.5f) << "only the motion since the last event turns";
}

TEST_F(InputTest, PitchStopsAtExactly89WhileYawGrowsWithoutBound) {
    handleCursorPos(0.0, 0.0);
    double y = 0.0;
    double x = 0.0;
    for (int i = 0; i < 100; ++i) {
        y -= 100.0; // 5 degrees up per event
        x += 200.0; // 10 degrees right per event
        handleCursorPos(x, y);
    }
    EXPECT_EQ(camera.pitch, 89.0f);
    EXPECT_NEAR(camera.yaw, -90.0f + 1000.0f, 1e-2f);
    EXPECT_NEAR(glm::length(camera.front), 1.0f, 1e-5f);

    for (int i = 0; i < 100; ++i) {
        y += 100.0;
        handleCursorPos(x, y);
    }
    EXPECT_EQ(camera.pitch, -89.0f);
}

TEST_F(InputTest, FrontFollowsYawAndPitch) {
    handleCursorPos(0.0, 0.0);
    handleCursorPos(1800.0, 0.0); // +90 degrees of yaw: from -z round to +x
    EXPECT_NEAR(camera.front.x, 1.0f, 1e-5f);
    EXPECT_NEAR(camera.front.z, 0.0f, 1e-5f);
    handleCursorPos(1800.0, -900.0); // 45 degrees up
    EXPECT_NEAR(camera.front.y, std::sin(45.0f * degreesToRadians), 1e-5f);
}

TEST_F(InputTest, ScrollClampsTheFieldOfView) {
    handleScroll(-1.0);
    EXPECT_EQ(camera.fov, 45.0f) << "45 stays 45 under a negative scroll";
    camera.fov = 1.5f;
    handleScroll(1.0);
    EXPECT_EQ(camera.fov, 1.0f);
    handleScroll(3.0);
    EXPECT_EQ(camera.fov, 1.0f);
    camera.fov = 30.0f;
    handleScroll(2.5);
    EXPECT_EQ(camera.fov, 27.5f);
}

TEST_F(InputTest, ScrollWorksAfterTheWin) {
    playEnabled = false;
    handleScroll(5.0);
    EXPECT_EQ(camera.fov, 40.0f);
}

TEST_F(InputTest, PressHoldsReleaseLetsGoAndUnknownKeysAreIgnored) {
    press(Key::w);
    EXPECT_TRUE(input.held(Key::w));
    release(Key::w);
    EXPECT_FALSE(input.held(Key::w));
    release(Key::d); // a release without a press is harmless
    EXPECT_FALSE(input.held(Key::d));
    press(Key::unknown);
    EXPECT_EQ(std::count(std::begin(keys), std::end(keys), true), 0);
}

TEST(KeyNames, EveryKeyIsFoundByItsNameInAnyCase) {
    for (int index = 1; index < keyCount; ++index) {
        const Key key = static_cast<Key>(index);
        std::string lower(keyName(key));
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_EQ(keyNamed(keyName(key)), key) << keyName(key);
        EXPECT_EQ(keyNamed(lower), key) << lower;
    }
    const std::pair<const char*, Key> named[] = {
        {"W", Key::w},      {"escape", Key::escape}, {"Page_Down", Key::pageDown},
        {"0", Key::digit0}, {"F11", Key::f11},       {"kp_enter", Key::keypadEnter},
    };
    for (const auto& [name, key] : named) {
        EXPECT_EQ(keyNamed(name), key) << name;
    }
    for (const char* unknown : {"", "UNKNOWN", "KEY_W", "F99", "W "}) {
        EXPECT_FALSE(keyNamed(unknown).has_value()) << unknown;
    }
}

TEST(CameraMatrices, ProjectionHasTheFixedElements) {
    Camera cam;
    const glm::mat4 p = projectionMatrix(cam);
    const float h = std::tan(45.0f * degreesToRadians * 0.5f);
    EXPECT_NEAR(p[2][2], -1.002002f, 1e-6f);
    EXPECT_NEAR(p[3][2], -0.2002002f, 1e-7f);
    EXPECT_EQ(p[2][3], -1.0f);
    EXPECT_NEAR(p[1][1], 1.0f / h, 1e-5f);
    EXPECT_NEAR(p[0][0], 1.0f / (h * 1.3333334f), 1e-5f);
    EXPECT_EQ(p[3][3], 0.0f);
    EXPECT_EQ(p[0][1], 0.0f);
}

TEST(CameraMatrices, ViewMovesTheEyeToTheOrigin) {
    Camera cam;
    const glm::mat4 view = viewMatrix(cam);
    const glm::vec4 eye = view * glm::vec4(cam.position, 1.0f);
    EXPECT_NEAR(glm::length(glm::vec3(eye)), 0.0f, 1e-5f);
    // A point ahead of the camera lies on the negative z axis of view space.
    const glm::vec4 ahead = view * glm::vec4(cam.position + 2.0f * cam.front, 1.0f);
    EXPECT_NEAR(ahead.z, -2.0f, 1e-5f);
    EXPECT_NEAR(ahead.x, 0.0f, 1e-5f);
}

TEST(CameraMatrices, ViewIsDefinedLookingStraightUpOrDown) {
    for (float pitch : {89.0f, -89.0f}) {
        Camera cam;
        cam.pitch = pitch;
        const float yaw = cam.yaw * degreesToRadians;
        const float p = pitch * degreesToRadians;
        cam.front = glm::normalize(
            glm::vec3(std::cos(yaw) * std::cos(p), std::sin(p), std::sin(yaw) * std::cos(p)));
        const glm::mat4 view = viewMatrix(cam);
        for (int c = 0; c < 4; ++c) {
            for (int r = 0; r < 4; ++r) {
                EXPECT_TRUE(std::isfinite(view[c][r])) << "pitch " << pitch;
            }
        }
        // The rotation part stays orthonormal.
        EXPECT_NEAR(glm::length(glm::vec3(view[0][0], view[1][0], view[2][0])), 1.0f, 1e-4f);
        EXPECT_NEAR(glm::length(glm::vec3(view[0][1], view[1][1], view[2][1])), 1.0f, 1e-4f);
    }
}

} // namespace
