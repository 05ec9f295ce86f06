#include "app/options.h"

#include <string>

namespace {

// --windowed and --fullscreen-desktop each name the one way the window opens.
void chooseWindowMode(Options& options, WindowMode mode) {
    if (options.windowMode != WindowMode::fullScreen && options.windowMode != mode) {
        options.error = "--windowed and --fullscreen-desktop cannot be given together";
    }
    options.windowMode = mode;
}

} // namespace

Options parseOptions(int argc, const char* const* argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--windowed") {
            chooseWindowMode(options, WindowMode::windowed);
        } else if (argument == "--fullscreen-desktop") {
            chooseWindowMode(options, WindowMode::fullScreenDesktop);
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
        }
        if (!options.error.empty()) {
            break;
        }
    }
    return options;
}

std::string usageText(const char* programName) {
    return std::string("Usage: ") + programName +
           " [--windowed | --fullscreen-desktop] [--level FILE] [--help]\n"
           "\n"
           "Fly through the room and reach the trophy's cell. Every time you\n"
           "change cell, the red blocks step with you and the blue blocks against\n"
           "you, as far as the room and the other blocks let them.\n"
           "\n"
           "Options:\n"
           "  --windowed   open an ordinary window instead of full screen: 1024x768\n"
           "               at first, the picture follows it when resized\n"
           "  --fullscreen-desktop\n"
           "               full screen at the desktop's own resolution, which\n"
           "               stays as it is\n"
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
           "  F11          window / desktop full screen (with --windowed or\n"
           "               --fullscreen-desktop)\n"
           "  Escape       quit\n"
           "\n"
           "The game reads shaders/, objects/, fonts/ and the images from the first of\n"
           "these folders that holds shaders/: the working directory, the folder of\n"
           "the executable, ../share/cellquest from there, and the folder it was\n"
           "installed to.\n";
}
