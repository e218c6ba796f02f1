// SPDX-License-Identifier: MIT
// The companion program: opens the user's mail client with a ready recommendation of the
// screen saver (a mailto: link with subject and body), then ends.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "tools/recommendation.h"

int main(int argc, char** argv) {
    const std::string link = RecommendationLink();
    if (argc > 1 && std::string(argv[1]) == "--print") {
        std::printf("%s\n", link.c_str());
        return 0;
    }
    execlp("xdg-open", "xdg-open", link.c_str(), static_cast<char*>(nullptr));
    std::perror("GlimmerdelEmail.exe: xdg-open");
    return 1;
}
