// pkivo-cli-link: the commands of pkivo-cli that talk to the controller. pkivo-cli hands them
// over with its whole command line, so that its other commands start without the Qt libraries
// the serial port needs; pkivo-cli --help describes them all.
#include "cli/commands.h"
#include "cli/consolecommands.h"
#include "cli/flashcommands.h"
#include "cli/linkcommands.h"
#include "cli/memcommands.h"
#include "cli/paramscommands.h"
#include "cli/poscommands.h"
#include "cli/recordcommands.h"
#include "cli/speedcommands.h"

#include <cstring>
#include <iostream>

namespace {

using namespace pkivo::cli;

struct LinkCommand {
    const char* name;
    int (*run)(const Arguments&);
};

const LinkCommand commands[] = {
    {"connect", connect},
    {"send-long", sendLong},
    {"send-short", sendShort},
    {"download", download},
    {"run", run},
    {"pause", pause},
    {"stop", stop},
    {"params", params},
    {"monitor", monitor},
    {"mem", mem},
    {"record", record},
    {"packed", packed},
    {"speed", speed},
    {"flash-read", flashRead},
    {"flash-write", flashWrite},
    {"flash-erase", flashErase},
    {"position", position},
    {"jog", jog},
    {"output", output},
};

} // namespace

int main(int argc, char** argv) {
    for (const LinkCommand& command : commands) {
        if (argc >= 2 && std::strcmp(argv[1], command.name) == 0) {
            return command.run(Arguments(argv + 2, argv + argc));
        }
    }
    std::cerr << "pkivo-cli: unknown command (see pkivo-cli --help)\n";
    return exitUsage;
}
