// Opening the controller link for one command of pkivo-cli, as the console's start-up does: the
// settings, then the connect check on the port they name, or the port search when it is "00".
#pragma once

#include "cli/commands.h"

#include <functional>
#include <optional>
#include <string>

namespace pkivo {
class Link;
class LineKeeper;
class SettingsRecord;
} // namespace pkivo

namespace pkivo::cli {

struct LinkOptions {
    std::optional<std::string> port; // two digits, from --port
    Arguments rest;                  // every other argument, in order
};

// Takes "--port N" out of `args`; nothing (after a message) when it is malformed.
std::optional<LinkOptions> parseOptions(const Arguments& args);

// Loads the settings, opens the port and, when a controller answered, runs `exchange` on the
// link, with the settings it was opened with. Returns the exit status: `exchange`'s, or
// exitFailed when no controller answered.
using Exchange = std::function<int(Link&, const SettingsRecord&)>;
int withLink(const LinkOptions& options, const Exchange& exchange);

// As withLink, for the commands that listen for long: a line lost meanwhile is looked for
// every 500 ms and reconnected (unless `reconnect` is false), printing "Reconnecting…" and
// then the controller's version and port again.
using KeptExchange = std::function<int(Link&, LineKeeper&)>;
int withKeptLink(const LinkOptions& options, bool reconnect, const KeptExchange& exchange);

// Takes "--no-reconnect" out of `args`: false when it was there.
bool takeReconnect(Arguments& args);

} // namespace pkivo::cli
