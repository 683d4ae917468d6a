// A link on virtual time with a scripted controller at the other end: the fixture of the
// transfer and connection tests.
#pragma once

#include "link/link.h"
#include "link/packetlayout.h"
#include "platform/virtual/scriptedport.h"
#include "platform/virtual/virtualtime.h"
#include "stdstringtesting.h"

#include <QTest>
#include <string>

namespace pkivo::test {

using namespace std::chrono_literals;

struct ScriptedLink {
    ScriptedLink() {
        port.setSettings("57600,n,8,1");
        port.open();
    }

    Millis now() const { return time.now(); }
    LinkGlobals& g() { return link.globals(); }

    VirtualTime time;
    ScriptedPort port{time};
    Link link{port, time};
};

// A long reply: "OV0" + code + `data` at 7 on, filled with "-" to 61, then the result code
// and "H~"; 64 characters.
inline std::string longReply(const std::string& code = "R15", const std::string& data = "",
                             char result = '0') {
    std::string reply = "OV0" + code + data;
    reply.resize(61, '-');
    reply += result;
    reply += "H~";
    return reply;
}

// The controller answers the attention '&' with ':' after `attentionAfter`; the next write must
// be `request`. Its step is returned, to be answered or left silent.
inline ScriptedPort::Step& expectAttended(ScriptedPort& port, const std::string& request,
                                          Millis attentionAfter = 5ms) {
    port.expect("&").answer(":", attentionAfter);
    return port.expect(request);
}

// One whole exchange: '&' answered ':', then `request` answered `reply` after `replyAfter`.
inline void expectExchange(ScriptedPort& port, const std::string& request, const std::string& reply,
                           Millis replyAfter = 10ms, Millis attentionAfter = 5ms) {
    expectAttended(port, request, attentionAfter).answer(reply, replyAfter);
}

// The attention '&' written `attempts` times and never answered: a routine's whole retry (four
// tries; docomax makes three).
inline void expectUnanswered(ScriptedPort& port, int attempts = 4) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        port.expect("&");
    }
}

// expectExchange; with no reply (empty) the attention is never answered instead.
inline void expectReplyOrNone(ScriptedPort& port, const std::string& request,
                              const std::string& reply, int attempts = 4,
                              Millis replyAfter = 10ms) {
    if (reply.empty()) {
        expectUnanswered(port, attempts);
    } else {
        expectExchange(port, request, reply, replyAfter);
    }
}

} // namespace pkivo::test

// Every script step matched and nothing unexpected was written.
#define PKIVO_VERIFY_SCRIPT(port)                                                                  \
    do {                                                                                           \
        QVERIFY2((port).mismatches().empty(),                                                      \
                 (port).mismatches().empty() ? "" : (port).mismatches().front().c_str());          \
        QCOMPARE((port).pendingSteps(), size_t(0));                                                \
    } while (false)
