// The link commands of pkivo-cli: connect, send-long and send-short. Each opens the port as the
// console's start-up does (the connect check, or the port search when the port is "00"), makes
// its exchange and prints plain text. send-long and send-short pad, judge and show as the sender
// windows do (console/commandsender.h), with the result code, a space and its text last.
// "--port N" uses port N for this run without saving it.
#pragma once

#include "cli/commands.h"

namespace pkivo::cli {

int connect(const Arguments& args);
int sendLong(const Arguments& args);
int sendShort(const Arguments& args);

} // namespace pkivo::cli
