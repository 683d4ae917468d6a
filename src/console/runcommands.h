// The run controls' commands (Run / Resume, Run at line, Pause, Stop): one long packet each,
// sent with sendonly and no reply awaited. The main window and the command line both send
// them through here.
#pragma once

#include <string>

namespace pkivo {

class Link;

// How a run command went: errcode and errtext after sendonly, or "B" "Link busy" when another
// exchange held the link and nothing was sent.
struct RunCommandResult {
    std::string errcode;
    std::string errtext;
    bool sent() const;
};

// Sends `runPacket` (packet::runProgram, pauseProgram or stopProgram) with the 41 zeros the run
// controls have always put in the data block.
RunCommandResult sendRunCommand(Link& link, const std::string& runPacket);

} // namespace pkivo
