#include "console/linekeeper.h"

#include "core/numbertext.h"
#include "platform/drivepath.h"
#include "platform/portdevice.h"
#include "platform/textfile.h"
#include "platform/ticker.h"
#include "platform/uiservices.h"
#include "platform/waiter.h"

namespace pkivo {

namespace {

// A reconnect attempt that fails says nothing: the next one is half a second away.
class QuietUi : public UiServices {
public:
    void messageBox(const std::string&) override {}
    bool question(const std::string&) override { return false; }
    void endProgram() override {}
};

constexpr Millis anHour{3'600'000};

std::string choiceFolder() {
    return homeDirectory() + "/.config/pkivo";
}

} // namespace

LineKeeper::LineKeeper(Link& link, Waiter& waiter, Ticker& ticker,
                       std::function<PortSettings()> settings)
    : m_link(link), m_waiter(waiter), m_ticker(ticker), m_settings(std::move(settings)) {
    m_link.setLineLostHandler([this] { lost(); });
}

LineKeeper::~LineKeeper() {
    m_link.setLineLostHandler({});
    m_ticker.stop();
}

void LineKeeper::setEnabled(bool on) {
    m_enabled = on;
    if (!on && m_state == LineState::Reconnecting) {
        m_ticker.stop();
        m_state = LineState::Closed;
        show(unknownBoard);
        m_waiter.wake();
    } else if (on && m_state == LineState::Closed) {
        m_state = LineState::Reconnecting;
        show(reconnectingText);
        m_ticker.start(pollInterval, [this] { poll(); });
    }
}

// Runs from the port's report: it only notes the loss and starts the ticker.
void LineKeeper::lost() {
    m_lostPort = m_link.commPort();
    m_lostLinked = m_link.portLinked();
    if (!m_enabled) {
        m_state = LineState::Closed;
        show(unknownBoard);
        return;
    }
    m_state = LineState::Reconnecting;
    show(reconnectingText);
    m_ticker.start(pollInterval, [this] { poll(); });
}

void LineKeeper::poll() {
    if (m_state != LineState::Reconnecting || m_link.isShutDown()) {
        return;
    }
    // Another attempt (or a window's exchange) is on the wire: the next tick tries again.
    if (m_link.isExchanging()) {
        return;
    }
    if (m_link.isPortUp()) {
        // Reconnected meanwhile from System Setup.
        m_ticker.stop();
        m_state = LineState::Up;
        show(m_link.boardinfo());
        m_waiter.wake();
        return;
    }
    if (m_lostLinked && !hasPortLink(m_lostPort)) {
        return; // not the same device
    }
    PortSettings settings = m_settings();
    // The same port as before, named as the settings name it when they name it.
    if (wholeNumber(settings.comport, 99) != std::optional<uint64_t>(m_lostPort)) {
        settings.comport = std::to_string(m_lostPort);
    }
    QuietUi quiet;
    const ConnectResult result = m_link.opencomport(settings, quiet);
    if (m_state != LineState::Reconnecting) {
        return; // switched off while the attempt ran
    }
    if (result == ConnectResult::Connected) {
        m_ticker.stop();
        m_state = LineState::Up;
        show(m_link.boardinfo());
        m_waiter.wake();
    } else {
        // A device without a controller is not held: the next try opens it again.
        m_link.closePort();
    }
}

void LineKeeper::show(std::string_view text) {
    if (m_shown) {
        m_shown(std::string(text));
    }
}

bool LineKeeper::awaitLine() {
    const LinkGlobals& g = m_link.globals();
    auto settled = [&] { return m_state != LineState::Reconnecting || !g.monitoring; };
    if (settled()) {
        return false; // the monitor ended for a reason of its own
    }
    while (!settled()) {
        const Millis deadline = m_waiter.clock().now() + anHour;
        // A wait that ends before its time without the line back: the program is ending.
        if (!m_waiter.waitUntil(settled, deadline) && m_waiter.clock().now() < deadline) {
            return false;
        }
    }
    return m_state == LineState::Up && g.monitoring;
}

bool loadReconnectChoice() {
    TextReader reader;
    if (!reader.open(choiceFolder() + "/reconnect")) {
        return true;
    }
    return reader.readLine() != "off";
}

bool saveReconnectChoice(bool on) {
    const std::string folder = choiceFolder();
    if (!folderExists(folder)) {
        createFolder(homeDirectory() + "/.config");
        createFolder(folder);
    }
    TextWriter writer;
    if (!writer.create(folder + "/reconnect")) {
        return false;
    }
    writer.writeLine(on ? "on" : "off");
    return writer.close();
}

} // namespace pkivo
