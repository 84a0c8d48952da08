// rcembed SCRIPT.rc OUTPUT.cpp [DEPFILE]
//
// Writes the resources that the script lists, and the menus it defines, as a
// C++ table behind GameModule(); with DEPFILE, also the files it read, as a
// make-style dependency file for the build.  Any error stops the build with a
// "file:line: message" on stderr.
#include "tools/rcembed/embed.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: rcembed SCRIPT.rc OUTPUT.cpp [DEPFILE]\n");
        return 2;
    }
    std::string error;
    if (!rcembed::Run(argv[1], argv[2], argc == 4 ? argv[3] : "", &error)) {
        std::fprintf(stderr, "%s\nrcembed: error: %s not updated\n", error.c_str(), argv[2]);
        return 1;
    }
    return 0;
}
