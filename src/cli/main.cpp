// pkivo-cli: the console's jobs from a shell, one command per run.
#include "cli/commands.h"
#include "cli/consolecommands.h"
#include "cli/flashcommands.h"
#include "cli/linkcommands.h"
#include "cli/memcommands.h"
#include "cli/paramscommands.h"

#include <cstring>
#include <iostream>

namespace {

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const pkivo::cli::Arguments&);
};

const Command commands[] = {
    {"convert", "convert", "convert the script named in the settings (Read Kivo File)",
     pkivo::cli::convert},
    {"setup", "setup [show | set FIELD=VALUE...]",
     "show the settings fields as System Setup does, or change them as its Save does (fields "
     "comport combaud comparity combits comstopbits comother gfilebox flashfileloc listfileloc "
     "flashmemfileloc; each value gets its field's fill text in front)",
     pkivo::cli::setup},
    {"connect", "connect [--port N]",
     "open the port as at start-up and show the controller's version and port",
     pkivo::cli::connect},
    {"send-long", "send-long CODE [DATA] [--port N]",
     "send a long command as the Long Command Sender does (CODE and DATA padded); print the "
     "reply or the error, then the result code and text",
     pkivo::cli::sendLong},
    {"send-short", "send-short PACKET [--port N]",
     "send a short packet exactly as typed, as the Short Command Sender does; print the "
     "reply, then the result code and text",
     pkivo::cli::sendShort},
    {"download", "download [--port N]",
     "write the flash data file into the controller's flash (Write to Flash); OK or FAIL",
     pkivo::cli::download},
    {"run", "run [LINE] [--no-monitor] [--no-reconnect] [--port N]",
     "run the stored program from line 0 or LINE, then print each status record until the "
     "records stop for 6 s; a lost line is looked for every 500 ms and listened to again "
     "once back, unless --no-reconnect",
     pkivo::cli::run},
    {"pause", "pause [--port N]", "pause the stored program", pkivo::cli::pause},
    {"stop", "stop [--port N]", "stop the stored program", pkivo::cli::stop},
    {"params", "params [set KEY=VALUE...] [--port N]",
     "print every board parameter by the Board Parameters window's labels, or change some of "
     "them on the block just read (Store); keys are the labels, e.g. \"Report Rate=20\" "
     "servo3=off storage=common",
     pkivo::cli::params},
    {"monitor", "monitor [--no-reconnect] [--port N]",
     "print the status records of a running program until they stop for 6 s; a lost line is "
     "looked for every 500 ms and listened to again once back, unless --no-reconnect",
     pkivo::cli::monitor},
    {"mem", "mem read ram|eeprom ADDR [COUNT] [--port N]",
     "read COUNT bytes (1 by default) from ADDR on: address, byte and its hex on each line",
     pkivo::cli::mem},
    {"mem", "mem write ram|eeprom ADDR BYTE... [--port N]",
     "write the bytes from ADDR on; each line shows the byte the controller echoed",
     pkivo::cli::mem},
    {"flash-read", "flash-read START END [FILE] [--port N]",
     "read flash pages START to END (0-2047) into FILE (c:\\tolvane\\flashda.fla); the file is "
     "replaced only when every page was read",
     pkivo::cli::flashRead},
    {"flash-write", "flash-write [FILE] [--port N]",
     "check every page line of FILE (c:\\tolvane\\flashda.fla), then write the pages into flash; "
     "OK or FAIL",
     pkivo::cli::flashWrite},
    {"flash-erase", "flash-erase [--yes] [--port N]",
     "erase the whole flash memory (program, positions and speeds); asks first, or needs --yes "
     "without a terminal",
     pkivo::cli::flashErase},
};

void printHelp(std::ostream& out) {
    out << "usage: pkivo-cli COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const Command& command : commands) {
        out << "  " << command.usage << "\n      " << command.summary << "\n";
    }
    out << "\nFiles live in ~/Tolvane (the settings in ~/Tolvane/params.ovh).\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printHelp(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? pkivo::cli::exitUsage : pkivo::cli::exitOk;
    }
    for (const Command& command : commands) {
        if (std::strcmp(argv[1], command.name) == 0) {
            return command.run(pkivo::cli::Arguments(argv + 2, argv + argc));
        }
    }
    std::cerr << "pkivo-cli: unknown command '" << argv[1] << "' (see pkivo-cli --help)\n";
    return pkivo::cli::exitUsage;
}
