// pkivo-cli: the console's jobs from a shell, one command per run. The commands that talk to
// the controller run in pkivo-cli-link beside it, which loads the Qt libraries the serial port
// needs: convert, setup and --help start without them.
#include "cli/commands.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace {

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const pkivo::cli::Arguments&); // none: pkivo-cli-link runs it
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
     "open the port as at start-up and show the controller's version and port", nullptr},
    {"send-long", "send-long CODE [DATA] [--port N]",
     "send a long command as the Long Command Sender does (CODE and DATA padded); print the "
     "reply or the error, then the result code and text",
     nullptr},
    {"send-short", "send-short PACKET [--port N]",
     "send a short packet exactly as typed, as the Short Command Sender does; print the "
     "reply, then the result code and text",
     nullptr},
    {"download", "download [--port N]",
     "write the flash data file into the controller's flash (Write to Flash); OK or FAIL", nullptr},
    {"run", "run [LINE] [--no-monitor] [--no-reconnect] [--port N]",
     "run the stored program from line 0 or LINE, then print each status record until the "
     "records stop for 6 s; a lost line is looked for every 500 ms and listened to again "
     "once back, unless --no-reconnect",
     nullptr},
    {"pause", "pause [--port N]", "pause the stored program", nullptr},
    {"stop", "stop [--port N]", "stop the stored program", nullptr},
    {"params", "params [set KEY=VALUE...] [--port N]",
     "print every board parameter by the Board Parameters window's labels, or change some of "
     "them on the block just read (Store); keys are the labels, e.g. \"Report Rate=20\" "
     "servo3=off storage=common",
     nullptr},
    {"monitor", "monitor [--no-reconnect] [--port N]",
     "print the status records of a running program until they stop for 6 s; a lost line is "
     "looked for every 500 ms and listened to again once back, unless --no-reconnect",
     nullptr},
    {"mem", "mem read ram|eeprom ADDR [COUNT] [--port N]",
     "read COUNT bytes (1 by default) from ADDR on: address, byte and its hex on each line",
     nullptr},
    {"mem", "mem write ram|eeprom ADDR BYTE... [--port N]",
     "write the bytes from ADDR on; each line shows the byte the controller echoed", nullptr},
    {"record", "record get LINE [--port N]",
     "read the instruction record at program line LINE (0-32000) as the Instruction Editor's Get "
     "does: its 32 hex digits, then the result code and text",
     nullptr},
    {"record", "record put LINE HEX32 [--port N]",
     "write 32 hex digits as the instruction record at LINE (Put); the result code and text",
     nullptr},
    {"packed", "packed get LINE [--port N]",
     "read the packed record (instruction and eight servo positions) at LINE as the Packed "
     "Move/Position Editor's Get does: its 64 hex digits, then the result code and text",
     nullptr},
    {"packed", "packed put LINE HEX64 [--port N]",
     "write 64 hex digits as the packed record at LINE (Put); the result code and text", nullptr},
    {"speed", "speed get LOC [--port N]",
     "read the speed entry at LOC (32000-32255): the eight speeds, then the eight control values",
     nullptr},
    {"speed", "speed put LOC S1..S8 C1..C8 [--port N]",
     "write the speed entry at LOC: eight speeds, then eight control values, each 0-999", nullptr},
    {"flash-read", "flash-read START END [FILE] [--port N]",
     "read flash pages START to END (0-2047) into FILE (c:\\tolvane\\flashda.fla); the file is "
     "replaced only when every page was read",
     nullptr},
    {"flash-write", "flash-write [FILE] [--port N]",
     "check every page line of FILE (c:\\tolvane\\flashda.fla), then write the pages into flash; "
     "OK or FAIL",
     nullptr},
    {"flash-erase", "flash-erase [--yes] [--port N]",
     "erase the whole flash memory (program, positions and speeds); asks first, or needs --yes "
     "without a terminal",
     nullptr},
    {"position", "position get LINE [--port N]",
     "read the stored position set at LINE (0-32000): the eight positions as stored", nullptr},
    {"position", "position put LINE V1..V8 [--port N]",
     "store eight positions (0-65535; 65535 leaves the servo alone) at LINE", nullptr},
    {"position", "position current [--port N]", "print the eight servos' current positions",
     nullptr},
    {"position", "position move LINE [--port N]",
     "print the set stored at LINE, then move the servos to it; nothing moves when the set "
     "could not be read",
     nullptr},
    {"jog", "jog SERVO +N|-N [--port N]",
     "jog servo SERVO (1-8) N steps of 1 up (+) or down (-), printing each new position; "
     "three failed steps in a row end it",
     nullptr},
    {"output", "output N on|off [--port N]", "switch output N (0-255) on or off", nullptr},
};

void printHelp(std::ostream& out) {
    out << "usage: pkivo-cli COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const Command& command : commands) {
        out << "  " << command.usage << "\n      " << command.summary << "\n";
    }
    out << "\nFiles live in ~/Tolvane (the settings in ~/Tolvane/params.ovh).\n";
}

// Hands the whole command line to pkivo-cli-link, in this program's folder.
int runInLinkProgram(char** argv) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string program = (self.parent_path() / "pkivo-cli-link").string();
    ::execv(program.c_str(), argv);
    std::cerr << "pkivo-cli: cannot start " << program << ": " << std::strerror(errno) << "\n";
    return pkivo::cli::exitFailed;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printHelp(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? pkivo::cli::exitUsage : pkivo::cli::exitOk;
    }
    for (const Command& command : commands) {
        if (std::strcmp(argv[1], command.name) == 0) {
            return command.run ? command.run(pkivo::cli::Arguments(argv + 2, argv + argc))
                               : runInLinkProgram(argv);
        }
    }
    std::cerr << "pkivo-cli: unknown command '" << argv[1] << "' (see pkivo-cli --help)\n";
    return pkivo::cli::exitUsage;
}
