// The transfer routines. Each one is a fixed sequence: discard stale input, attention
// handshake with a bounded number of attempts, lead-in and payload, a reply of a minimum
// length awaited until a deadline, fields cut out of it, a result code. The handshakes differ
// only in their numbers and texts, so each routine's is a row of the table below, run by
// handshake().
//
// A routine takes its request out of the globals when it starts and puts its results into
// them as it ends, so a window that writes `packet` for a click that is then refused as busy
// cannot change what the running exchange sends or reports.
#include "link/link.h"

#include "link/packets.h"
#include "link/resultcodes.h"
#include "platform/serialport.h"
#include "platform/waiter.h"

namespace pkivo {

using namespace std::chrono_literals;

struct Link::Handshake {
    struct Characters {
        char attention;
        char ready;
    };
    // '&' answered ':' before a long or short packet, '#' answered '!' before a flash page or
    // a packed record.
    static constexpr Characters longPacket{packet::attentionLong, packet::readyLong};
    static constexpr Characters flashWrite{packet::attentionFlash, packet::readyFlash};
    // When stale input is read and thrown away: before the first attempt only, before each
    // attempt, or before each attempt into tempstr1 and again into tempstr2.
    enum Discard { once, each, twice };
    // How the routine ends when every attempt was refused.
    enum Refusal {
        unable,   // errcode "Z", "Unable to connect"
        codeOnly, // errcode "Z", errtext left alone, as the packed record writer always has
        noErrors, // errcode "0", "No errors": docomax's callers judge the reply they lack
    };

    bool resetsCode; // errcode "0" before anything else; sendonly keeps the code it found
    Characters characters;
    int attempts;
    Millis perAttempt;
    Discard discard;
    bool announce;                // "Waiting for a response" while the attention character is out
    std::string_view refusedText; // linkstatus after a wrong or missing answer
    Refusal refusal;

    static const Handshake receiver, binsender, packwriter, rawsender, sendonly, smallcomax,
        docomax;
};

using linkstatus::cannotConnect;
using linkstatus::unableToConnect;

// Every routine's handshake side by side, the fields in the order declared above.
// clang-format off
const Link::Handshake
    Link::Handshake::receiver  {true,  longPacket, 1, 6s, once,  true,  unableToConnect, unable},
    Link::Handshake::binsender {true,  flashWrite, 4, 2s, each,  false, unableToConnect, unable},
    Link::Handshake::packwriter{true,  flashWrite, 4, 2s, each,  true,  unableToConnect, codeOnly},
    Link::Handshake::rawsender {true,  longPacket, 4, 2s, each,  true,  unableToConnect, unable},
    Link::Handshake::sendonly  {false, longPacket, 4, 2s, once,  true,  cannotConnect,   unable},
    Link::Handshake::smallcomax{true,  longPacket, 4, 2s, twice, false, cannotConnect,   unable},
    Link::Handshake::docomax   {true,  longPacket, 3, 1s, twice, false, cannotConnect,   noErrors};
// clang-format on

Link::Link(SerialPort& port, Waiter& waiter)
    : m_port(port), m_waiter(waiter), m_timer1(waiter.clock()) {
    m_port.setActivityHandler([this] { m_waiter.wake(); });
}

bool Link::beginExchange() {
    if (m_busy) {
        m_globals.errcode = result::linkBusy;
        errtexter();
        return false;
    }
    return true;
}

// Runs `steps` as one exchange, holding the link throughout. False when another exchange held
// it: then nothing was done but errcode "B".
bool Link::exclusive(const std::function<void()>& steps) {
    if (!beginExchange()) {
        return false;
    }
    ExchangeScope scope(*this);
    steps();
    return true;
}

void Link::errtexter() {
    LinkGlobals& g = m_globals;
    if (!g.errcode.empty()) {
        g.errtext = result::text(g.errcode);
    }
    if (g.errcode != result::ok) {
        g.replyparm3 = "000";
    }
}

void Link::finish(std::string_view code) {
    m_globals.errcode = code;
    m_globals.errtext = m_errtextAtStart;
    errtexter();
}

void Link::finishLost() {
    finish(result::portNotOpen);
}

bool Link::portDown() const {
    return !m_port.isOpen() || m_port.lineLost();
}

std::string Link::discard() {
    return portDown() ? std::string() : m_port.input();
}

bool Link::send(const std::string& text) {
    return !portDown() && m_port.output(text);
}

// A payload that cannot go out ends the routine: the line is gone.
bool Link::sendOrEnd(const std::string& text) {
    if (send(text)) {
        return true;
    }
    finishLost();
    return false;
}

Millis Link::after(Millis span) const {
    return m_waiter.clock().now() + span;
}

bool Link::waitForInput(int count, Millis deadline) {
    bool arrived = m_waiter.waitUntil(
        [this, count] { return portDown() || m_port.inBufferCount() >= count; }, deadline);
    return arrived && !portDown();
}

// All waiting input once `length` characters have arrived. A reply still short when `time`
// runs out ends the routine with "Z" and stays in the input buffer for the next discard; a
// lost line ends it with "7".
std::optional<std::string> Link::replyOrEnd(int length, Millis time) {
    if (waitForInput(length, after(time))) {
        return m_port.input();
    }
    finish(portDown() ? result::portNotOpen : result::unableToConnect);
    return std::nullopt;
}

// The answer to an attention character that has just gone out, judged by its first character
// and left in tempstr1.
Link::Attention Link::attentionAnswer(char ready, Millis deadline) {
    LinkGlobals& g = m_globals;
    bool arrived = waitForInput(1, deadline);
    if (portDown()) {
        return Attention::Lost;
    }
    g.tempstr1 = m_port.input();
    if (!g.tempstr1.empty() && g.tempstr1.front() == ready) {
        return Attention::Ready;
    }
    return arrived ? Attention::Refused : Attention::TimedOut;
}

// Knocks until the controller is ready or the attempts of `h` are used up. `beforeAttempt`
// runs first in every attempt (docomax builds its packet there). When the controller is not
// ready the routine ends here, as `h` says, or with "7" when the line is gone.
Link::Knock Link::handshake(const Handshake& h, const std::function<void()>& beforeAttempt) {
    LinkGlobals& g = m_globals;
    Knock knock;
    if (h.resetsCode) {
        g.errcode = result::ok;
    }
    if (portDown()) {
        finishLost();
        return knock;
    }
    if (h.discard == Handshake::once) {
        g.tempstr1 = discard();
    }
    for (int attempt = 0; attempt < h.attempts; ++attempt) {
        if (beforeAttempt) {
            beforeAttempt();
        }
        if (h.discard != Handshake::once) {
            g.tempstr1 = discard();
        }
        if (h.discard == Handshake::twice) {
            g.tempstr2 = discard();
        }
        if (!send(std::string(1, h.characters.attention))) {
            finishLost();
            return knock;
        }
        if (h.announce) {
            g.linkstatus = linkstatus::waiting;
        }
        Attention answer = attentionAnswer(h.characters.ready, after(h.perAttempt));
        if (answer == Attention::Lost) {
            finishLost();
            return knock;
        }
        knock.ready = answer == Attention::Ready;
        knock.lapsed = knock.lapsed || answer == Attention::TimedOut;
        g.linkstatus = knock.ready ? linkstatus::connected : h.refusedText;
        if (knock.ready) {
            return knock;
        }
    }
    if (h.refusal == Handshake::codeOnly) {
        // Through a temporary: g++ 12 wrongly warns of an overlapping copy (-Wrestrict) when
        // the assignment from a string_view is inlined here.
        g.errcode = std::string(result::unableToConnect);
    } else {
        finish(h.refusal == Handshake::noErrors ? result::ok : result::unableToConnect);
    }
    return knock;
}

void Link::takeLongFields(const std::string& reply) {
    LinkGlobals& g = m_globals;
    g.packetstatus = packet::longReplyStatus(reply);
    g.cmdparm1 = cut(reply, packet::parm1);
    g.cmdparm2 = cut(reply, packet::parm2);
    g.replyparm3 = cut(reply, packet::parm3);
    g.datablock = cut(reply, packet::dataBlock);
}

// The handshake, then `payload` on the wire. A routine that keeps what it sent names the
// global it goes into. False when the routine has ended.
bool Link::knockAndSend(const Handshake& h, const std::string& payload, std::string* keptIn) {
    if (!handshake(h).ready) {
        return false;
    }
    if (keptIn != nullptr) {
        *keptIn = payload;
    }
    return sendOrEnd(payload);
}

void Link::rawsender() {
    exclusive([this] {
        LinkGlobals& g = m_globals;
        if (!knockAndSend(Handshake::rawsender, packet::leadLong + g.packet, &g.packet)) {
            return;
        }
        g.packet.clear();
        if (std::optional<std::string> reply = replyOrEnd(int(packet::longLength), 10s)) {
            g.packet = *reply;
            takeLongFields(g.packet);
            finish(result::ok);
        }
    });
}

// binreceiver and packreceiver differ only in the reply length they wait for.
void Link::binreceiver() {
    receive(int(packet::flashPageLength));
}
void Link::packreceiver() {
    receive(int(packet::longLength));
}

void Link::receive(int replyLength) {
    exclusive([this, replyLength] {
        LinkGlobals& g = m_globals;
        if (!knockAndSend(Handshake::receiver, packet::leadLong + g.packet, nullptr)) {
            return;
        }
        g.packet.clear();
        if (std::optional<std::string> reply = replyOrEnd(replyLength, 6s)) {
            g.packdata = *reply;
            finish(result::ok);
        }
    });
}

void Link::binsender() {
    exclusive([this] { m_globals.timedout = binsenderSteps(); });
}

// binsender's exchange; returns `timedout` as the page leaves it.
bool Link::binsenderSteps() {
    LinkGlobals& g = m_globals;
    const std::string page = g.packdata;
    const bool timedoutBefore = g.timedout;
    const Knock knock = handshake(Handshake::binsender);
    const bool timedout = timedoutBefore || knock.lapsed;
    if (!knock.ready) {
        return timedout;
    }
    // A page whose handshake lapsed once is not sent: the download stops on `timedout`.
    if (timedout) {
        finish(result::ok);
        return true;
    }
    if (!sendOrEnd(packet::leadLong + page)) {
        return false;
    }
    g.packet.clear();
    if (std::optional<std::string> reply = replyOrEnd(int(packet::longLength), 8s)) {
        g.packet = *reply;
        finish(result::ok);
    }
    return false;
}

void Link::flashwait() {
    LinkGlobals& g = m_globals;
    const bool held = exclusive([this, &g] {
        g.timedout = binsenderSteps();
        if (g.errcode == result::portNotOpen) {
            g.timedout = true;
            return;
        }
        if (g.timedout || !g.packet.empty()) {
            return;
        }
        // No reply came and, with the link held, none can come now: the wait only delays the
        // verdict, as the download has always done. A lost line ends it at once.
        m_waiter.waitUntil([this] { return portDown(); }, after(30s));
        g.timedout = true;
        if (portDown()) {
            finishLost();
        }
    });
    // A page refused as busy has not been written: the download stops.
    if (!held) {
        g.timedout = true;
    }
}

void Link::packwriter() {
    exclusive([this] {
        LinkGlobals& g = m_globals;
        const std::string wrapped = packet::leadPacked + g.packdata + packet::packedEnd;
        if (knockAndSend(Handshake::packwriter, wrapped, &g.packdata)) {
            g.errcode = result::ok;
        }
    });
}

void Link::sendonly() {
    exclusive([this] {
        LinkGlobals& g = m_globals;
        const std::string codeBefore = g.errcode; // given back once the packet is out
        if (knockAndSend(Handshake::sendonly, packet::leadLong + g.packet, &g.packet)) {
            finish(codeBefore);
        }
    });
}

void Link::smallcomax() {
    exclusive([this] {
        LinkGlobals& g = m_globals;
        if (!knockAndSend(Handshake::smallcomax, packet::leadShort + g.packet, &g.packet)) {
            return;
        }
        if (std::optional<std::string> reply = replyOrEnd(int(packet::shortLength), 6s)) {
            g.packet = *reply;
            g.packetstatus = packet::shortReplyStatus(g.packet);
            finish(result::ok);
        }
    });
}

void Link::docomax() {
    exclusive([this] {
        LinkGlobals& g = m_globals;
        packet::DocomaxFields fields{g.cmdcode,  g.cmddata,  g.cmdparm1,
                                     g.cmdparm2, g.cmdparm3, g.datablock};
        // The request is kept here as well as in `packet`: a window refused as busy during the
        // attention wait may write `packet`, and must not change what goes out.
        std::string request;
        const Knock knock = handshake(Handshake::docomax, [&] {
            request = packet::leadLong + packet::docomaxRequest(fields);
            g.packet = request;
            // The data block goes out with the first attempt only.
            fields.datablock.clear();
            g.datablock.clear();
        });
        if (!knock.ready || !sendOrEnd(request)) {
            return;
        }
        // After the 6 s whatever arrived is read and judged all the same.
        waitForInput(int(packet::longLength), after(6s));
        if (portDown()) {
            return finishLost();
        }
        g.packet = m_port.input();
        takeLongFields(g.packet);
        finish(cut(g.packet, packet::resultCode));
    });
}

void Link::setMonitoring(bool on) {
    m_globals.monitoring = on;
    m_waiter.wake();
}

void Link::shutDown() {
    m_shuttingDown = true;
    m_globals.monitoring = false;
    m_port.close();
    m_waiter.wake();
}

void Link::waitstatus() {
    LinkGlobals& g = m_globals;
    // An exchange on the wire owns what arrives now; the monitor must not take its reply.
    if (m_busy) {
        g.tempstr1.clear();
        return;
    }
    if (!portDown()) {
        m_waiter.waitUntil(
            [this] {
                return portDown() || !m_globals.monitoring ||
                       m_port.inBufferCount() >= int(packet::status::length);
            },
            after(6s));
    }
    if (portDown()) {
        g.tempstr1.clear();
        g.errcode = result::portNotOpen;
        errtexter();
        return;
    }
    g.tempstr1 = m_port.input();
}

} // namespace pkivo
