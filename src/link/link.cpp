// The transfer routines. Each one is a fixed sequence: discard stale input, attention
// handshake with a bounded number of attempts, lead-in and payload, a reply of a minimum
// length awaited until a deadline, fields cut out of it, a result code.
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

namespace {
constexpr int retries = 3;        // after the first attempt: 4 attempts in all
constexpr int docomaxRetries = 2; // 3 attempts in all
} // namespace

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

Millis Link::after(Millis span) const {
    return m_waiter.clock().now() + span;
}

bool Link::waitForInput(int count, Millis deadline) {
    bool arrived = m_waiter.waitUntil(
        [this, count] { return portDown() || m_port.inBufferCount() >= count; }, deadline);
    return arrived && !portDown();
}

Link::Attention Link::attention(char attentionChar, char ready, Millis time, bool announce,
                                std::string_view failedText) {
    LinkGlobals& g = m_globals;
    if (!send(std::string(1, attentionChar))) {
        return Attention::Lost;
    }
    if (announce) {
        g.linkstatus = linkstatus::waiting;
    }
    bool arrived = waitForInput(1, after(time));
    if (portDown()) {
        return Attention::Lost;
    }
    g.tempstr1 = m_port.input();
    bool isReady = !g.tempstr1.empty() && g.tempstr1.front() == ready;
    g.linkstatus = isReady ? linkstatus::connected : failedText;
    if (isReady) {
        return Attention::Ready;
    }
    return arrived ? Attention::Refused : Attention::TimedOut;
}

void Link::takeLongFields(const std::string& reply) {
    LinkGlobals& g = m_globals;
    g.packetstatus = packet::longReplyStatus(reply);
    g.cmdparm1 = cut(reply, packet::parm1);
    g.cmdparm2 = cut(reply, packet::parm2);
    g.replyparm3 = cut(reply, packet::parm3);
    g.datablock = cut(reply, packet::dataBlock);
}

void Link::rawsender() {
    if (!beginExchange()) {
        return;
    }
    ExchangeScope scope(*this);
    LinkGlobals& g = m_globals;
    const std::string request = g.packet;
    g.errcode = result::ok;
    if (portDown()) {
        return finishLost();
    }
    for (int attempt = 0;; ++attempt) {
        g.tempstr1 = discard();
        Attention a = attention(packet::attentionLong, packet::readyLong, 2s, true,
                                linkstatus::unableToConnect);
        if (a == Attention::Lost) {
            return finishLost();
        }
        if (a == Attention::Ready) {
            break;
        }
        if (attempt >= retries) {
            return finish(result::unableToConnect);
        }
    }
    g.packet = packet::leadLong + request;
    if (!send(g.packet)) {
        return finishLost();
    }
    g.packet.clear();
    if (!waitForInput(int(packet::longLength), after(10s))) {
        return portDown() ? finishLost() : finish(result::unableToConnect);
    }
    g.packet = m_port.input();
    takeLongFields(g.packet);
    finish(result::ok);
}

// binreceiver and packreceiver differ only in the reply length they wait for.
void Link::binreceiver() {
    receive(int(packet::flashPageLength));
}
void Link::packreceiver() {
    receive(int(packet::longLength));
}

void Link::receive(int replyLength) {
    if (!beginExchange()) {
        return;
    }
    ExchangeScope scope(*this);
    LinkGlobals& g = m_globals;
    const std::string request = g.packet;
    g.errcode = result::ok;
    if (portDown()) {
        return finishLost();
    }
    g.tempstr1 = discard();
    Attention a =
        attention(packet::attentionLong, packet::readyLong, 6s, true, linkstatus::unableToConnect);
    if (a == Attention::Lost) {
        return finishLost();
    }
    if (a != Attention::Ready) {
        return finish(result::unableToConnect);
    }
    if (!send(packet::leadLong + request)) {
        return finishLost();
    }
    g.packet.clear();
    if (!waitForInput(replyLength, after(6s))) {
        return portDown() ? finishLost() : finish(result::unableToConnect);
    }
    g.packdata = m_port.input();
    finish(result::ok);
}

void Link::binsender() {
    if (!beginExchange()) {
        return;
    }
    ExchangeScope scope(*this);
    binsenderSteps();
}

void Link::binsenderSteps() {
    LinkGlobals& g = m_globals;
    const std::string page = g.packdata;
    bool timedout = g.timedout;
    g.errcode = result::ok;
    auto end = [&](std::string_view code) {
        g.timedout = timedout;
        finish(code);
    };
    if (portDown()) {
        return end(result::portNotOpen);
    }
    for (int attempt = 0;; ++attempt) {
        g.tempstr1 = discard();
        Attention a = attention(packet::attentionFlash, packet::readyFlash, 2s, false,
                                linkstatus::unableToConnect);
        if (a == Attention::Lost) {
            return end(result::portNotOpen);
        }
        if (a == Attention::TimedOut) {
            timedout = true;
        }
        if (a == Attention::Ready) {
            break;
        }
        if (attempt >= retries) {
            return end(result::unableToConnect);
        }
    }
    // A page whose handshake lapsed once is not sent: the download stops on `timedout`.
    if (timedout) {
        return end(result::ok);
    }
    if (!send(packet::leadLong + page)) {
        return end(result::portNotOpen);
    }
    g.packet.clear();
    if (!waitForInput(int(packet::longLength), after(8s))) {
        return end(portDown() ? result::portNotOpen : result::unableToConnect);
    }
    g.packet = m_port.input();
    end(result::ok);
}

void Link::flashwait() {
    LinkGlobals& g = m_globals;
    if (!beginExchange()) {
        g.timedout = true;
        return;
    }
    ExchangeScope scope(*this);
    binsenderSteps();
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
}

void Link::packwriter() {
    if (!beginExchange()) {
        return;
    }
    ExchangeScope scope(*this);
    LinkGlobals& g = m_globals;
    const std::string data = g.packdata;
    g.errcode = result::ok;
    if (portDown()) {
        return finishLost();
    }
    for (int attempt = 0;; ++attempt) {
        g.tempstr1 = discard();
        Attention a = attention(packet::attentionFlash, packet::readyFlash, 2s, true,
                                linkstatus::unableToConnect);
        if (a == Attention::Lost) {
            return finishLost();
        }
        if (a == Attention::Ready) {
            break;
        }
        if (attempt >= retries) {
            // The packed record writer has always left errtext alone.
            g.errcode = result::unableToConnect;
            return;
        }
    }
    g.packdata = packet::leadPacked + data + packet::packedEnd;
    if (!send(g.packdata)) {
        return finishLost();
    }
    g.errcode = result::ok;
}

void Link::sendonly() {
    if (!beginExchange()) {
        return;
    }
    ExchangeScope scope(*this);
    LinkGlobals& g = m_globals;
    const std::string request = g.packet;
    const std::string codeBefore = g.errcode; // sendonly does not reset the result code
    if (portDown()) {
        return finishLost();
    }
    g.tempstr1 = discard();
    for (int attempt = 0;; ++attempt) {
        Attention a = attention(packet::attentionLong, packet::readyLong, 2s, true,
                                linkstatus::cannotConnect);
        if (a == Attention::Lost) {
            return finishLost();
        }
        if (a == Attention::Ready) {
            break;
        }
        if (attempt >= retries) {
            return finish(result::unableToConnect);
        }
    }
    g.packet = packet::leadLong + request;
    if (!send(g.packet)) {
        return finishLost();
    }
    finish(codeBefore);
}

void Link::smallcomax() {
    if (!beginExchange()) {
        return;
    }
    ExchangeScope scope(*this);
    LinkGlobals& g = m_globals;
    const std::string request = g.packet;
    g.errcode = result::ok;
    if (portDown()) {
        return finishLost();
    }
    for (int attempt = 0;; ++attempt) {
        g.tempstr1 = discard();
        g.tempstr2 = discard();
        Attention a = attention(packet::attentionLong, packet::readyLong, 2s, false,
                                linkstatus::cannotConnect);
        if (a == Attention::Lost) {
            return finishLost();
        }
        if (a == Attention::Ready) {
            break;
        }
        if (attempt >= retries) {
            return finish(result::unableToConnect);
        }
    }
    g.packet = packet::leadShort + request;
    if (!send(g.packet)) {
        return finishLost();
    }
    if (!waitForInput(int(packet::shortLength), after(6s))) {
        return portDown() ? finishLost() : finish(result::unableToConnect);
    }
    g.packet = m_port.input();
    g.packetstatus = packet::shortReplyStatus(g.packet);
    finish(result::ok);
}

void Link::docomax() {
    if (!beginExchange()) {
        return;
    }
    ExchangeScope scope(*this);
    LinkGlobals& g = m_globals;
    packet::DocomaxFields fields{g.cmdcode,  g.cmddata,  g.cmdparm1,
                                 g.cmdparm2, g.cmdparm3, g.datablock};
    g.errcode = result::ok;
    if (portDown()) {
        return finishLost();
    }
    for (int attempt = 0;; ++attempt) {
        g.packet = packet::leadLong + packet::docomaxRequest(fields);
        // The data block goes out with the first attempt only.
        fields.datablock.clear();
        g.datablock.clear();
        g.tempstr1 = discard();
        g.tempstr2 = discard();
        Attention a = attention(packet::attentionLong, packet::readyLong, 1s, false,
                                linkstatus::cannotConnect);
        if (a == Attention::Lost) {
            return finishLost();
        }
        if (a == Attention::Ready) {
            break;
        }
        if (attempt >= docomaxRetries) {
            return finish(result::ok);
        }
    }
    if (!send(g.packet)) {
        return finishLost();
    }
    // After the 6 s whatever arrived is read and judged all the same.
    waitForInput(int(packet::longLength), after(6s));
    if (portDown()) {
        return finishLost();
    }
    g.packet = m_port.input();
    takeLongFields(g.packet);
    finish(cut(g.packet, packet::resultCode));
}

void Link::setMonitoring(bool on) {
    m_globals.monitoring = on;
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
