#include "sim/simoptions.h"

#include "platform/portdevice.h"

#include <charconv>

namespace pkivo::sim {

namespace {
bool toInt(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}
} // namespace

std::string simUsage() {
    return "Usage: pkivo-sim [options]\n"
           "Serves a virtual Kivo controller on a pseudo-terminal linked as\n"
           "~/.config/pkivo/dosdevices/com<n>.\n"
           "\n"
           "  --port N               serve COM<N> (default: the first free number)\n"
           "  --pace                 send and receive at the line's baud rate\n"
           "  --baud B               the baud rate for --pace (default 57600)\n"
           "  --state FILE           keep flash and EEPROM in FILE\n"
           "                         (default ~/.config/pkivo/pkivo-sim.state)\n"
           "  --silent               answer nothing\n"
           "  --ignore-attention N   leave the first N attention characters unanswered\n"
           "  --garble-attention N   answer the next N attention characters with '?'\n"
           "  --reply-delay MS       send every reply MS milliseconds late\n"
           "  --short-reply N        cut every reply to N characters\n"
           "  --unframed             send replies without their framing characters\n"
           "  --error-code C         put result code C at position 62 of every long reply\n"
           "  --hang-up-after N      stop answering after writing N flash pages\n"
           "  --hang-up-at-packet N  carry out the Nth packet but answer nothing from then on\n"
           "  --help                 show this text\n";
}

bool parseSimArguments(const std::vector<std::string>& args, SimOptions& options,
                       std::string& error) {
    FaultOptions& faults = options.protocol.faults;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto number = [&](int low, int high, int& out) {
            std::string text;
            if (!value(text)) {
                return false;
            }
            if (!toInt(text, low, high, out)) {
                error = arg + ": \"" + text + "\" is not a number from " + std::to_string(low) +
                        " to " + std::to_string(high);
                return false;
            }
            return true;
        };
        int n = 0;
        std::string text;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--port") {
            if (!number(1, highestPortNumber, n)) {
                return false;
            }
            options.port = n;
        } else if (arg == "--pace") {
            options.protocol.pace = true;
        } else if (arg == "--baud") {
            if (!number(50, 4000000, options.protocol.baud)) {
                return false;
            }
        } else if (arg == "--state") {
            if (!value(options.statePath)) {
                return false;
            }
        } else if (arg == "--silent") {
            faults.silent = true;
        } else if (arg == "--ignore-attention") {
            if (!number(0, 1000000, faults.ignoreAttentions)) {
                return false;
            }
        } else if (arg == "--garble-attention") {
            if (!number(0, 1000000, faults.garbleAttentions)) {
                return false;
            }
        } else if (arg == "--reply-delay") {
            if (!number(0, 3600000, n)) {
                return false;
            }
            faults.replyDelay = Millis(n);
        } else if (arg == "--short-reply") {
            if (!number(1, 100000, n)) {
                return false;
            }
            faults.shortReplyLength = size_t(n);
        } else if (arg == "--unframed") {
            faults.unframed = true;
        } else if (arg == "--error-code") {
            if (!value(text)) {
                return false;
            }
            if (text.size() != 1) {
                error = "--error-code takes one character";
                return false;
            }
            faults.resultCode = text[0];
        } else if (arg == "--hang-up-after") {
            if (!number(1, 1000000, faults.hangUpAfterPages)) {
                return false;
            }
        } else if (arg == "--hang-up-at-packet") {
            if (!number(1, 1000000, faults.hangUpAtPacket)) {
                return false;
            }
        } else {
            error = "unknown option \"" + arg + "\"";
            return false;
        }
    }
    return true;
}

} // namespace pkivo::sim
