// opencomport: closes the port, opens the configured one or searches for the first port on
// which a controller answers, and proves its presence with "&" and the version request.
#include "link/link.h"

#include "link/packets.h"
#include "link/resultcodes.h"
#include "platform/serialport.h"
#include "platform/uiservices.h"
#include "platform/waiter.h"
#include "setup/settingsrecord.h"

#include "core/numbertext.h"

#include <optional>

namespace pkivo {

using namespace std::chrono_literals;

namespace {

constexpr int fixedPortTicks = 4;  // about 300 ms for the first answer
constexpr int searchPortTicks = 3; // about 225 ms per port tried
constexpr int receiveThreshold = 60;

} // namespace

PortSettings portSettingsFrom(const SettingsRecord& sysparams) {
    return {sysparams.comport(), sysparams.combaud(), sysparams.comparity(), sysparams.combits(),
            sysparams.comstopbits()};
}

std::string portSettingsText(const PortSettings& settings) {
    return std::to_string(leadingNumber(settings.combaud)) + "," + settings.comparity + "," +
           settings.combits + "," + settings.comstopbits;
}

ConnectResult Link::opencomport(const PortSettings& settings, UiServices& ui) {
    if (m_busy) {
        return ConnectResult::Busy;
    }
    ExchangeScope scope(*this);
    m_lossReported = false;
    if (m_port.isOpen()) {
        m_port.close();
    }
    const std::string text = portSettingsText(settings);
    bool connected = false;
    if (m_port.setSettings(text)) {
        // The field is two characters: at most 99.
        if (std::optional<uint64_t> number = wholeNumber(settings.comport, 99)) {
            connected = *number != 0 ? openFixedPort(settings, int(*number)) : searchPort(settings);
        }
    }
    if (!connected) {
        // The port is closed or answers no controller: whatever the main window named before
        // must not stay on show.
        m_boardinfo = std::string(unknownBoard);
        if (!m_shuttingDown) {
            ui.messageBox(std::string(openPortMessage));
        }
        return ConnectResult::Failed;
    }
    m_portLinked = hasPortLink(m_port.commPort());
    return ConnectResult::Connected;
}

bool Link::openFixedPort(const PortSettings& settings, int number) {
    m_port.close();
    if (!m_port.setSettings(portSettingsText(settings))) {
        return false;
    }
    m_port.setCommPort(number);
    if (number > highestPortNumber || !m_port.open()) {
        return false;
    }
    if (!connectCheck(fixedPortTicks)) {
        return false;
    }
    m_boardinfo = " " + cut(m_globals.packet, packet::versionText) + "   Port: " + settings.comport;
    return true;
}

bool Link::searchPort(const PortSettings& settings) {
    const std::string text = portSettingsText(settings);
    // The limit is looked at only after a port that cannot be opened; a number the port cannot
    // use at all counts as one, so the search always ends.
    for (int number = 1;;) {
        if (m_shuttingDown) {
            return false;
        }
        if (m_port.isOpen()) {
            m_port.close();
        }
        m_port.setSettings(text);
        m_port.setCommPort(number);
        if (number > highestPortNumber || !m_port.open()) {
            if (++number > searchLimit) {
                return false;
            }
            continue;
        }
        if (connectCheck(searchPortTicks)) {
            m_boardinfo = " " + cut(m_globals.packet, packet::versionText) +
                          "   Port: " + std::to_string(number);
            return true;
        }
        ++number;
    }
}

// "&" answered ':' within `ticks` of Timer1, then the version request answered with
// "Version" at 7-13 within 3 s.
bool Link::connectCheck(int ticks) {
    LinkGlobals& g = m_globals;
    m_port.setRThreshold(receiveThreshold);
    if (!send(std::string(1, packet::attentionLong))) {
        return false;
    }
    m_timer1.set(ticks);
    m_timer1.enable();
    if (attentionAnswer(packet::readyLong, m_timer1.zeroAt()) != Attention::Ready) {
        return false;
    }
    g.packet = packet::versionRequest;
    if (!send(g.packet)) {
        return false;
    }
    if (!waitForInput(int(packet::longLength), after(3s))) {
        if (portDown()) {
            return false;
        }
        g.errcode = result::ok;
    }
    g.packet = m_port.input();
    return packet::carriesVersion(g.packet);
}

} // namespace pkivo
