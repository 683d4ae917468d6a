// The controller's side of the serial line: attention characters, lead-ins and packet framing,
// the command handlers behind them, and the timing of everything it sends. Bytes go in with
// the time they arrived and come out with the time they are due, so that the wire's pace,
// late replies and the status stream's report rate are all plain times. It never reads a
// clock: the owner (the pty server, the in-process port) hands in the present.
#pragma once

#include "sim/machine.h"
#include "sim/simtime.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pkivo::sim {

// Named misbehaviours for testing the console's error paths.
struct FaultOptions {
    bool silent = false;              // answers nothing at all
    int ignoreAttentions = 0;         // the first N attention characters get no answer
    int garbleAttentions = 0;         // the next N are answered with a wrong character
    Millis replyDelay{0};             // every packet reply starts this much later
    size_t shortReplyLength = 0;      // every packet reply cut to this many characters
    bool unframed = false;            // replies lose their framing ("OV"/"H~", "O"/"H")
    std::optional<char> resultCode{}; // forced into position 62 of every long reply
    int hangUpAfterPages = 0;         // silent for good once this many pages were written
    // Silent for good from the Nth packet of any kind on (long, short, page line, packed
    // record): that packet is carried out but never answered.
    int hangUpAtPacket = 0;
    // The cable is pulled as the Nth packet has come in whole: the controller never carries it
    // out and the port reports the device gone, as a pulled USB adapter does.
    int pullLineAtPacket = 0;
};

struct ProtocolOptions {
    bool pace = false; // characters take their wire time at `baud`, both ways
    int baud = 57600;
    FaultOptions faults;
};

// What the controller has seen and done, for tests to assert on.
struct ProtocolCounters {
    int attentions = 0;
    int attentionsAnswered = 0;
    int longPackets = 0;
    int shortPackets = 0;
    int pageWrites = 0; // page lines received, written or not
    int packedWrites = 0;
    int invalidPackets = 0; // incomplete or unreadable packets
    int statusRecords = 0;
};

class Protocol {
public:
    // The wrong answer of a garbled attention.
    static constexpr char garbage = '?';
    // A packet left unfinished this long is given up (and answered as invalid when long).
    static constexpr Micros packetTimeout{500000};

    explicit Protocol(Machine& machine, ProtocolOptions options = {});
    Protocol(const Protocol&) = delete;
    Protocol& operator=(const Protocol&) = delete;

    // Characters from the console that arrived at `now`.
    void receive(std::string_view bytes, Micros now);
    void receive(std::string_view bytes, Millis now) { receive(bytes, toMicros(now)); }
    // Lets the controller work up to `now`: packets, the program, the status stream.
    void advance(Micros now);
    void advance(Millis now) { advance(toMicros(now)); }
    // Everything the controller has sent by `now` (call advance first).
    std::string takeDue(Micros now);
    std::string takeDue(Millis now) { return takeDue(toMicros(now)); }
    // The next moment anything happens: a character due, a program step, a report.
    std::optional<Millis> nextEventTime() const;
    // The same to the microsecond, for a caller that keeps time that finely.
    std::optional<Micros> nextEventMicros() const;

    // Changes the misbehaviours from now on (a soak run draws new ones between exchanges); the
    // attention count starts again, so "the first N attentions" count from here.
    void setFaults(const FaultOptions& faults);

    // The cable was pulled (FaultOptions::pullLineAtPacket): nothing goes either way any more.
    bool linePulled() const { return m_pulled; }
    const ProtocolCounters& counters() const { return m_counters; }
    Machine& machine() { return m_machine; }
    const ProtocolOptions& options() const { return m_options; }

private:
    enum class State { Idle, LongLead, FlashLead, LongPacket, ShortPacket, PageLine, PackedData };

    void process(char c, Micros at);
    void attention(char c, Micros at);
    void complete(Micros at);
    void giveUp(Micros at);
    void reply(std::string text, Micros at);
    void send(std::string_view text, Micros earliest);
    void onStatus(Micros due, const std::string& record);
    bool mute() const { return m_options.faults.silent || m_hungUp || m_pulled; }
    Micros wireTime(int64_t characters) const;
    std::optional<Micros> nextInternalEvent() const;

    Machine& m_machine;
    ProtocolOptions m_options;
    ProtocolCounters m_counters;
    State m_state = State::Idle;
    std::string m_packet;
    Micros m_lastInput{0};
    std::deque<std::pair<Micros, char>> m_input;
    std::deque<std::pair<Micros, char>> m_output;
    Micros m_inputFreeAt{0};
    Micros m_inputBurstStart{0};
    int64_t m_inputBurstCharacters = 0;
    Micros m_outputFreeAt{0};
    int m_attentionsSeen = 0;
    bool m_hungUp = false;
    bool m_pulled = false;
    int m_packets = 0; // packets that came in whole
};

} // namespace pkivo::sim
