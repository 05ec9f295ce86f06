#include "app/options.h"

#include <string>

namespace {

// --windowed and --fullscreen-desktop each name the one way the window opens.
void chooseWindowMode(Options& options, WindowMode mode) {
    if (options.windowMode != WindowMode::fullScreen && options.windowMode != mode) {
        options.error = "--windowed and --fullscreen-desktop cannot be given together";
    }
    options.windowMode = mode;
    options.windowModeGiven = true;
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
        } else if (argument == "--edit") {
            if (i + 1 >= argc) {
                options.error = "--edit needs a level file";
                break;
            }
            options.editFile = argv[++i];
        } else if (argument == "--campaign") {
            options.campaign = true;
        } else if (argument == "--menu") {
            // The menus play the campaign's levels.
            options.menu = true;
            options.campaign = true;
        } else if (argument == "--levels") {
            if (i + 1 >= argc) {
                options.error = "--levels needs a folder";
                break;
            }
            // A folder of levels is a campaign.
            options.campaign = true;
            options.levelsFolder = argv[++i];
        } else {
            options.error = "unknown option: " + argument;
        }
        if (!options.error.empty()) {
            break;
        }
    }
    if (options.error.empty() && options.campaign && !options.levelFile.empty()) {
        options.error = "--level plays one level; it does not go with --campaign or --levels";
    }
    if (options.error.empty() && !options.editFile.empty() &&
        (options.campaign || !options.levelFile.empty())) {
        options.error = "--edit makes one level; it does not go with --level, --campaign or --menu";
    }
    return options;
}

std::string usageText(const char* programName) {
    return std::string("Usage: ") + programName +
           " [--windowed | --fullscreen-desktop]\n"
           "       [--level FILE | --campaign [--levels DIR] | --menu [--levels DIR] |\n"
           "        --edit FILE]\n"
           "       [--help]\n"
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
           "               instead of the built-in room; FILE - reads the level\n"
           "               from standard input\n"
           "  --campaign   play the level pack (levels/ beside the assets) in name\n"
           "               order, from the first level not yet solved; progress is\n"
           "               kept in $XDG_DATA_HOME/cellquest/progress, or\n"
           "               ~/.local/share/cellquest/progress\n"
           "  --levels DIR play the campaign of the .level files in DIR\n"
           "  --menu       start at the title screen: continue, choose any level,\n"
           "               settings; Escape pauses (desktop full screen unless the\n"
           "               settings say window)\n"
           "  --edit FILE  the level editor on FILE, a new level when it does not\n"
           "               exist; F1 in the editor lists its keys\n"
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
           "  Escape       quit (with --menu: pause)\n"
           "\n"
           "With --level or --campaign, each once per press:\n"
           "  R            restart the level\n"
           "  Z, Backspace undo the last move, again and again (also undoes R)\n"
           "  H            hint: the next move of a shortest way\n"
           "  Tab          overview of the whole level, and back\n"
           "  PageDown/Up  in the overview: peel a layer off, put it back\n"
           "  O            overview too\n"
           "  F1           show or hide the keys\n"
           "These keys but Tab, PageUp/Down, F2, F3, F8 and F11 can be changed in the\n"
           "settings' [keys] table; a gamepad plays too (left stick fly, right stick\n"
           "look, shoulders or triggers down/up, A hint, B undo, Y restart, X overview,\n"
           "Back help, Start pause with --menu).\n"
           "\n"
           "The game reads shaders/, objects/, fonts/ and the images from the first of\n"
           "these folders that holds shaders/: the working directory, the folder of\n"
           "the executable, ../share/cellquest from there, and the folder it was\n"
           "installed to.\n";
}
