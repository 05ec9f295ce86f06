#include "app/options.h"

#include <string>

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--windowed") {
            options.windowed = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--level") {
            if (i + 1 >= argc) {
                options.error = "--level needs a level file";
                break;
            }
            options.levelFile = argv[++i];
        } else {
            options.error = "unknown option: " + argument;
            break;
        }
    }
    return options;
}

std::string usageText(const char* programName) {
    return std::string("Usage: ") + programName +
           " [--windowed] [--level FILE] [--help]\n"
           "\n"
           "Fly through the room and reach the trophy's cell. Every time you\n"
           "change cell, the red blocks step with you and the blue blocks against\n"
           "you, as far as the room and the other blocks let them.\n"
           "\n"
           "Options:\n"
           "  --windowed   open an ordinary 1024x768 window instead of full screen\n"
           "  --level FILE play the level in FILE (a .level file, see levels/)\n"
           "               instead of the built-in room\n"
           "  --help       show this text and exit\n"
           "\n"
           "Controls:\n"
           "  mouse        look around\n"
           "  wheel        zoom\n"
           "  W / S        move forward / back along the floor\n"
           "  A / D        move left / right\n"
           "  Q / E        move up / down\n"
           "  F2           frame-rate line on / off\n"
           "  F3           wireframe on / off\n"
           "  F8           view-frustum-culling line on / off\n"
           "  Escape       quit\n"
           "\n"
           "Run it from the folder that holds shaders/, objects/, fonts/ and the images.\n";
}
