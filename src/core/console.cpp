#include "core/console.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

void consolePause() {
    if (!isatty(STDIN_FILENO)) {
        return;
    }
    std::cout << "Press Enter to continue..." << std::endl;
    std::string ignored;
    std::getline(std::cin, ignored);
}

void fatalError(std::initializer_list<std::string> lines) {
    for (const std::string& line : lines) {
        std::cerr << line << std::endl;
    }
    consolePause();
    std::exit(1);
}
