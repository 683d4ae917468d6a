// The transfer routines. Each one is a fixed sequence: discard stale input, attention
// handshake with a bounded number of attempts, lead-in and payload, a reply of a minimum
// length awaited until a deadline, fields cut out of it, a result code. The handshakes differ
// only in their numbers and texts, so each routine's is a row of the table below, run by
// handshake().
//
// A routine takes its request out of the globals when it starts and puts its results into
// them as it ends, and judges its outcome by what it received itself, never by what a global
// holds afterwards: a click handled during its waits cannot change what it sends or reports.
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
    };

    bool resetsCode; // errcode "0" before anything else
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
    Link::Handshake::sendonly  {true,  longPacket, 4, 2s, once,  true,  cannotConnect,   unable},
    Link::Handshake::smallcomax{true,  longPacket, 4, 2s, twice, false, cannotConnect,   unable},
    Link::Handshake::docomax   {true,  longPacket, 3, 1s, twice, false, cannotConnect,   unable};
// clang-format on

Link::Link(SerialPort& port, Waiter& waiter)
    : m_port(port), m_waiter(waiter), m_timer1(waiter.clock()) {
    m_port.setActivityHandler([this] {
        if (m_port.lineLost() && !m_lossReported) {
            m_lossReported = true;
            if (m_lineLost) {
                m_lineLost();
            }
        }
        m_waiter.wake();
    });
}

// Runs `steps` as one exchange, holding the link throughout. False when another exchange held
// it: then nothing was done at all.
// The port may outlive the link: it must not call back into it.
Link::~Link() {
    m_port.setActivityHandler({});
}

bool Link::exclusive(const std::function<void()>& steps) {
    if (m_busy) {
        return false;
    }
    ExchangeScope scope(*this);
    steps();
    return true;
}

bool Link::request(const std::function<void(LinkGlobals&)>& fill, Routine routine) {
    if (m_busy) {
        return false;
    }
    fill(m_globals);
    return (this->*routine)();
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

int Link::commPort() const {
    return m_port.commPort();
}

void Link::closePort() {
    if (!m_busy) {
        m_port.close();
    }
}

std::string Link::discard() {
    return portDown() ? std::string() : m_port.input();
}

bool Link::send(const std::string& text) {
    return !portDown() && m_port.output(text);
}

// A payload that cannot go out ends the routine: the line is gone. So does a line lost while
// it went out: nothing tells whether the controller got it, and a routine that awaits no reply
// (sendonly, packwriter) would report it sent.
bool Link::sendOrEnd(const std::string& text) {
    if (send(text) && !portDown()) {
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

// The answer to an attention character that has just gone out, left in tempstr1 with whatever
// came with it. Characters of a status record that was on its way (hex digits and its "AB"
// mark) do not answer: the first other character does, and it must be `ready`. Only record
// characters until the deadline is a lapse, as silence is.
Link::Attention Link::attentionAnswer(char ready, Millis deadline) {
    LinkGlobals& g = m_globals;
    g.tempstr1.clear();
    for (;;) {
        const bool arrived = waitForInput(1, deadline);
        if (portDown()) {
            return Attention::Lost;
        }
        if (!arrived) {
            return Attention::TimedOut;
        }
        const size_t skipped = g.tempstr1.size();
        g.tempstr1 += m_port.input();
        const size_t answer = packet::status::firstNonRecordCharacter(g.tempstr1, skipped);
        if (answer < g.tempstr1.size()) {
            return g.tempstr1[answer] == ready ? Attention::Ready : Attention::Refused;
        }
    }
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
        finish(result::unableToConnect);
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

bool Link::rawsender() {
    return exclusive([this] {
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
bool Link::binreceiver() {
    return receive(int(packet::flashPageLength));
}
bool Link::packreceiver() {
    return receive(int(packet::longLength));
}

bool Link::receive(int replyLength) {
    return exclusive([this, replyLength] {
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

bool Link::binsender() {
    return exclusive([this] { m_globals.timedout = binsenderSteps().timedout; });
}

Link::PageWrite Link::binsenderSteps() {
    LinkGlobals& g = m_globals;
    const std::string page = g.packdata;
    PageWrite write;
    const Knock knock = handshake(Handshake::binsender);
    write.timedout = g.timedout || knock.lapsed;
    if (!knock.ready) {
        return write;
    }
    // A page whose handshake lapsed once is not sent: the download stops on `timedout`.
    if (write.timedout) {
        finish(result::ok);
        return write;
    }
    if (!sendOrEnd(packet::leadLong + page)) {
        return write;
    }
    g.packet.clear();
    if (std::optional<std::string> reply = replyOrEnd(int(packet::longLength), 8s)) {
        g.packet = *reply;
        write.replied = true;
        finish(result::ok);
    }
    return write;
}

bool Link::flashwait() {
    LinkGlobals& g = m_globals;
    const bool held = exclusive([this, &g] {
        const PageWrite write = binsenderSteps();
        g.timedout = write.timedout;
        if (g.errcode == result::portNotOpen) {
            g.timedout = true;
            return;
        }
        if (write.timedout || write.replied) {
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
    return held;
}

bool Link::packwriter() {
    return exclusive([this] {
        LinkGlobals& g = m_globals;
        const std::string wrapped = packet::leadPacked + g.packdata + packet::packedEnd;
        if (knockAndSend(Handshake::packwriter, wrapped, &g.packdata)) {
            g.errcode = result::ok;
        }
    });
}

bool Link::sendonly() {
    return exclusive([this] {
        LinkGlobals& g = m_globals;
        if (knockAndSend(Handshake::sendonly, packet::leadLong + g.packet, &g.packet)) {
            finish(result::ok);
        }
    });
}

bool Link::smallcomax() {
    return exclusive([this] {
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

bool Link::docomax() {
    return exclusive([this] {
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
        const bool whole = waitForInput(int(packet::longLength), after(6s));
        if (portDown()) {
            return finishLost();
        }
        // What arrived is kept for the window to show, but a reply cut short carries no result
        // code worth the name: no answer in time.
        g.packet = m_port.input();
        if (!whole) {
            return finish(result::unableToConnect);
        }
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

// Listens until a whole record has come, starting at its mark. A read that begins in the
// middle of a record (the monitor started, or an exchange took the line, while one was on its
// way) loses only that record: the characters before the next "AB" are dropped and the
// rest of the record awaited, so the monitor keeps step with the stream instead of cutting
// every later record in two.
void Link::waitstatus() {
    LinkGlobals& g = m_globals;
    // An exchange on the wire owns what arrives now; the monitor must not take its reply.
    if (m_busy) {
        g.tempstr1.clear();
        return;
    }
    const size_t recordLength = packet::status::length;
    const Millis deadline = after(6s);
    std::string heard;
    while (!portDown() && g.monitoring) {
        const int missing = int(recordLength - std::min(heard.size(), recordLength - 1));
        if (!m_waiter.waitUntil(
                [this, missing] {
                    return portDown() || !m_globals.monitoring || m_port.inBufferCount() >= missing;
                },
                deadline)) {
            break;
        }
        if (portDown()) {
            break;
        }
        heard = packet::status::fromMark(heard + m_port.input());
        if (heard.size() >= recordLength) {
            break;
        }
    }
    if (portDown()) {
        g.tempstr1.clear();
        g.errcode = result::portNotOpen;
        errtexter();
        return;
    }
    g.tempstr1 = heard + m_port.input();
}

} // namespace pkivo
