// The switches of the overlay and the picture, and whether play goes on.
#pragma once

struct Modes {
    bool wireframe = false;
    bool showFramerate = false;
    bool frustumCulling = false;
    bool playEnabled = true;
};
