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

} // namespace pkivo::test

// Every script step matched and nothing unexpected was written.
#define PKIVO_VERIFY_SCRIPT(port)                                                                  \
    do {                                                                                           \
        QVERIFY2((port).mismatches().empty(),                                                      \
                 (port).mismatches().empty() ? "" : (port).mismatches().front().c_str());          \
        QCOMPARE((port).pendingSteps(), size_t(0));                                                \
    } while (false)
