// The program's entry: installs the real host services and runs Main.

#include <string>
#include <vector>

#include "app/mMain.h"
#include "platform/FltkHost.h"

int main(int argc, char** argv) {
    FltkHost host(std::vector<std::string>(argv + 1, argv + argc));
    SetHost(&host);
    Main();
    host.EndProgram(0);
}
