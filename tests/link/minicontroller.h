// A minimal controller on the far side of a pseudo-terminal, for the end-to-end tests while
// the full virtual controller is not at hand: it answers the attention characters, the
// version request, long and short packets, flash page lines and packed records, and streams
// status records after a run command. Replies can be delayed; the line can be hung up.
#pragma once

#include "ptypeer.h"

#include <QObject>
#include <QTimer>

#include <string>
#include <vector>

namespace pkivo::test {

class MiniController {
public:
    MiniController() {
        peer.setResponder([this](std::string& received) { return answer(received); });
    }

    // Replies to packets (not to attention characters) go out after this many ms.
    int replyDelayMs = 0;
    // Status records sent, 20 ms apart, after a run command.
    std::vector<std::string> statusRecords;
    // Every packet taken, without lead-in.
    std::vector<std::string> packets;
    PtyPeer peer;

private:
    // Ends the pending replies when the controller goes away.
    QObject m_context;

    std::string answer(std::string& in) {
        std::string now;
        for (;;) {
            if (in.empty()) {
                return now;
            }
            const char lead = in.front();
            if (lead == '&') {
                in.erase(0, 1);
                now += ':';
            } else if (lead == '#') {
                in.erase(0, 1);
                now += '!';
            } else if (lead == '-' && in.size() >= 10) {
                take(in, 10);
                const std::string& p = packets.back();
                later("O" + p.substr(1, 1) + "1234ABH");
            } else if (lead == '+' && in.find('~') != std::string::npos) {
                take(in, in.find('~') + 1);
            } else if (lead == '$' && in.size() >= 65 && in.compare(63, 2, "H~") == 0) {
                take(in, 65);
                longReply(packets.back());
            } else if (lead == '$' && in.size() >= 68 && in.compare(66, 2, "H~") == 0) {
                take(in, 68);
                later(pad("OV0R02Version 1.23.45"));
            } else if (lead == '$' && in.size() >= 534 && in[1] >= '0' && in[1] <= '9') {
                take(in, 534);
                later(pad("OV0OK"));
            } else if (lead != '$' && lead != '-' && lead != '+') {
                in.erase(0, 1); // noise
            } else {
                return now;
            }
        }
    }

    void take(std::string& in, size_t count) {
        packets.push_back(in.substr(1, count - 1));
        in.erase(0, count);
    }

    void longReply(const std::string& p) {
        const std::string code = p.substr(3, 3);
        // Run, pause and stop are not answered.
        if (code != "R00" && code != "R05" && code != "R07") {
            later(pad("OV0" + code + "REPLY"));
        }
        if (code == "R05") {
            for (size_t i = 0; i < statusRecords.size(); ++i) {
                QTimer::singleShot(20 * int(i + 1), &m_context,
                                   [this, i] { peer.send(statusRecords[i]); });
            }
        }
    }

    static std::string pad(std::string reply) {
        reply.resize(61, 'x');
        return reply + "0H~";
    }

    void later(const std::string& reply) {
        if (replyDelayMs == 0) {
            peer.send(reply);
        } else {
            QTimer::singleShot(replyDelayMs, &m_context, [this, reply] { peer.send(reply); });
        }
    }
};

} // namespace pkivo::test
