// The controller link: the one serial port, the link globals and the routines that carry
// every exchange with the controller. One instance lives as long as the program (the main
// window or the command line owns it); every window reaches the routines through it.
//
// The routines take no arguments and return nothing: a caller fills globals(), calls the
// routine and reads globals() afterwards (errcode/errtext tell how it went). Every wait runs
// through the Waiter, so the window stays live while the controller is awaited.
//
// One exchange at a time: a routine called while another exchange is on the wire (a click
// handled during a wait) sends nothing, changes no global and returns false at once. A window
// fills the globals through request(), which refuses before anything is written, so a refused
// click can never change what the running exchange sends or reports.
// The status monitor's waitstatus is not an exchange: exchanges run normally while it listens.
//
// A running program streams status records ("AB" and 22 hex digits) whenever it likes, so the
// answer to an attention character may arrive behind, or between, the characters of a record.
// Every handshake skips record characters and judges the first character that cannot belong
// to a record; on a quiet line that is the first character, as it always was.
// A closed port or a lost line ends any routine promptly with errcode "7", "Serial port not
// open"; the next opencomport recovers.
#pragma once

#include "link/linkglobals.h"
#include "link/tickcounter.h"
#include "platform/portdevice.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pkivo {

class SerialPort;
class SettingsRecord;
class UiServices;
class Waiter;

// The five port fields of the settings record, as stored ("00", "057600", "n", "8", "1").
struct PortSettings {
    std::string comport = "00";
    std::string combaud = "057600";
    std::string comparity = "n";
    std::string combits = "8";
    std::string comstopbits = "1";
};

// The port fields of the settings record as opencomport takes them.
PortSettings portSettingsFrom(const SettingsRecord& sysparams);

// The Settings text: the baud rate as a number, then parity, data bits and stop bits, separated
// by commas ("057600" gives "57600,n,8,1").
std::string portSettingsText(const PortSettings& settings);

enum class ConnectResult {
    Connected, // a controller answered; boardinfo shows its version and port
    Failed,    // the message box was shown
    Busy,      // another exchange was on the wire; nothing was done
};

// BoardData1 when no controller answered.
inline constexpr std::string_view unknownBoard = " Unknown";
inline constexpr std::string_view openPortMessage =
    "Canot open serial port. Check settings in setup";
// The search gives up at the first port above this number that cannot be opened.
inline constexpr int searchLimit = 56;

class Link {
public:
    Link(SerialPort& port, Waiter& waiter);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    LinkGlobals& globals() { return m_globals; }
    const LinkGlobals& globals() const { return m_globals; }
    // The main window's text for BoardData1, left by opencomport.
    const std::string& boardinfo() const { return m_boardinfo; }
    // Timer1 and tickcount.
    const TickCounter& timer1() const { return m_timer1; }
    // True while an exchange is on the wire.
    bool isExchanging() const { return m_busy; }
    // The port is open and its line not lost.
    bool isPortUp() const { return !portDown(); }
    // The number of the port opened last (or tried last), and whether the port a controller
    // answered on last was named by a link of its own (portdevice.h).
    int commPort() const;
    bool portLinked() const { return m_portLinked; }
    // Closes the port, unless an exchange is on the wire.
    void closePort();
    // shutDown() was called: the program is ending.
    bool isShutDown() const { return m_shuttingDown; }

    // Closes the port, opens the port of `settings` (or searches from 1 upwards when it is
    // "00") and proves a controller answers. On failure shows openPortMessage through `ui`
    // and boardinfo becomes unknownBoard.
    ConnectResult opencomport(const PortSettings& settings, UiServices& ui);

    // The transfer routines. Each returns false, having changed nothing, when another
    // exchange is on the wire; otherwise it ran and errcode tells how.
    bool binreceiver();  // "$" + packet, a flash page of 528+ characters into packdata
    bool binsender();    // "#"/"!", "$" + packdata (a page line), the long reply into packet
    bool packreceiver(); // "$" + packet, a 64+ character reply into packdata
    bool packwriter();   // "#"/"!", "+" + packdata + "~", no reply
    bool rawsender();    // "$" + packet, the long reply into packet and the reply fields
    bool sendonly();     // "$" + packet, no reply
    bool smallcomax();   // "-" + packet, the short reply into packet
    bool docomax();      // the long packet built from cmdcode..datablock, reply into packet
    // binsender, then up to 30 s for a reply; timedout when none came. A refused flashwait
    // sets timedout and nothing else: the page was not written.
    bool flashwait();
    void waitstatus(); // up to 6 s for a 24-character status record into tempstr1
    void errtexter();  // errtext (and replyparm3) from errcode

    using Routine = bool (Link::*)();
    // One exchange as a window makes it: `fill` writes the request into the globals, then
    // `routine` runs. When another exchange is on the wire neither happens and no global
    // changes: false.
    bool request(const std::function<void(LinkGlobals&)>& fill, Routine routine);
    // The same for the common case: `packet` is the whole request.
    bool request(const std::string& packet, Routine routine) {
        return request([&packet](LinkGlobals& g) { g.packet = packet; }, routine);
    }

    // Switches `monitoring`; a waitstatus that is listening sees it at once.
    void setMonitoring(bool on);

    // `lost` runs once when the line is lost (adapter pulled, other end gone), as soon as the
    // port reports it, before a routine waiting on the line ends with "7"; again only after
    // the next opencomport. It must not wait.
    void setLineLostHandler(std::function<void()> lost) { m_lineLost = std::move(lost); }

    // The program is ending: monitoring stops, the port closes, any wait ends at once and a
    // port search under way gives up without a message.
    void shutDown();

private:
    // How a routine knocks: attention character, attempts, time limits, texts. link.cpp holds
    // one for each routine.
    struct Handshake;
    enum class Attention { Ready, Refused, TimedOut, Lost };
    // How a handshake went. When the controller was not ready the routine has ended already.
    struct Knock {
        bool ready = false;
        bool lapsed = false; // an attempt ran out of time on the way
    };
    // Marks the link busy for the life of one exchange.
    class ExchangeScope {
    public:
        explicit ExchangeScope(Link& link) : m_link(link) {
            m_link.m_busy = true;
            m_link.m_errtextAtStart = m_link.m_globals.errtext;
        }
        ~ExchangeScope() { m_link.m_busy = false; }
        ExchangeScope(const ExchangeScope&) = delete;
        ExchangeScope& operator=(const ExchangeScope&) = delete;

    private:
        Link& m_link;
    };

    bool exclusive(const std::function<void()>& steps);
    void finish(std::string_view code);
    void finishLost();
    bool portDown() const;
    std::string discard();
    bool send(const std::string& text);
    bool sendOrEnd(const std::string& text);
    bool waitForInput(int count, Millis deadline);
    std::optional<std::string> replyOrEnd(int length, Millis time);
    Millis after(Millis span) const;
    Attention attentionAnswer(char ready, Millis deadline);
    Knock handshake(const Handshake& h, const std::function<void()>& beforeAttempt = {});
    bool knockAndSend(const Handshake& h, const std::string& payload, std::string* keptIn);
    void takeLongFields(const std::string& reply);
    bool receive(int replyLength);
    // binsender's exchange: whether a reply came, and timedout as the page leaves it.
    struct PageWrite {
        bool replied = false;
        bool timedout = false;
    };
    PageWrite binsenderSteps();
    bool openFixedPort(const PortSettings& settings, int number);
    bool searchPort(const PortSettings& settings);
    bool connectCheck(int ticks);

    SerialPort& m_port;
    Waiter& m_waiter;
    LinkGlobals m_globals;
    TickCounter m_timer1;
    std::string m_boardinfo;
    bool m_busy = false;
    bool m_shuttingDown = false;
    std::string m_errtextAtStart;
    std::function<void()> m_lineLost;
    bool m_lossReported = false;
    bool m_portLinked = false;
};

} // namespace pkivo
