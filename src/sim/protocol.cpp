#include "sim/protocol.h"

#include "core/textfield.h"
#include "link/packetlayout.h"
#include "sim/commands.h"

#include <algorithm>

namespace pkivo::sim {

namespace p = pkivo::packet;

namespace {
constexpr size_t longestLongPacket = 2 * p::longLength;
constexpr size_t longestPackedData = 2 * (12 + p::packedRecordDigits);
} // namespace

Protocol::Protocol(Machine& machine, ProtocolOptions options)
    : m_machine(machine), m_options(std::move(options)) {
    m_options.baud = std::max(m_options.baud, 1);
    m_machine.setStatusSink(
        [this](Micros due, const std::string& record) { onStatus(due, record); });
}

// Ten bits a character: start, eight data bits, stop. Counted from the start of a burst, so
// that the fraction of a microsecond in each character does not add up to an early line.
Micros Protocol::wireTime(int64_t characters) const {
    return Micros(characters * 10000000 / m_options.baud);
}

void Protocol::receive(std::string_view bytes, Micros at) {
    if (m_pulled) {
        return;
    }
    for (char c : bytes) {
        if (m_options.pace) {
            if (at >= m_inputFreeAt) { // the line was idle: a new burst starts now
                m_inputBurstStart = at;
                m_inputBurstCharacters = 0;
            }
            m_inputFreeAt = m_inputBurstStart + wireTime(++m_inputBurstCharacters);
            m_input.emplace_back(m_inputFreeAt, c);
        } else {
            m_input.emplace_back(at, c);
        }
    }
}

std::optional<Micros> Protocol::nextInternalEvent() const {
    std::optional<Micros> next = m_machine.nextEventTime();
    auto consider = [&next](Micros t) { next = next ? std::min(*next, t) : t; };
    if (!m_input.empty()) {
        consider(m_input.front().first);
    }
    if (m_state != State::Idle) {
        consider(m_lastInput + packetTimeout);
    }
    return next;
}

std::optional<Micros> Protocol::nextEventMicros() const {
    std::optional<Micros> next = nextInternalEvent();
    if (!m_output.empty()) {
        const Micros due = m_output.front().first;
        next = next ? std::min(*next, due) : due;
    }
    return next;
}

std::optional<Millis> Protocol::nextEventTime() const {
    const std::optional<Micros> next = nextEventMicros();
    return next ? std::optional<Millis>(toMillisCeil(*next)) : std::nullopt;
}

void Protocol::advance(Micros until) {
    for (;;) {
        const auto next = nextInternalEvent();
        if (!next || *next > until) {
            break;
        }
        m_machine.advanceTo(*next);
        if (!m_input.empty() && m_input.front().first <= *next) {
            const auto [at, c] = m_input.front();
            m_input.pop_front();
            process(c, at);
        } else if (m_state != State::Idle && m_lastInput + packetTimeout <= *next) {
            giveUp(*next);
        }
    }
    m_machine.advanceTo(until);
}

std::string Protocol::takeDue(Micros until) {
    std::string due;
    while (!m_output.empty() && m_output.front().first <= until) {
        due += m_output.front().second;
        m_output.pop_front();
    }
    return due;
}

void Protocol::process(char c, Micros at) {
    m_lastInput = at;
    switch (m_state) {
    case State::Idle:
    case State::LongLead:
    case State::FlashLead:
        if (c == p::attentionLong || c == p::attentionFlash) {
            attention(c, at);
        } else if (m_state == State::LongLead && (c == p::leadLong || c == p::leadShort)) {
            m_state = c == p::leadLong ? State::LongPacket : State::ShortPacket;
        } else if (m_state == State::FlashLead && (c == p::leadLong || c == p::leadPacked)) {
            m_state = c == p::leadLong ? State::PageLine : State::PackedData;
        } else {
            m_state = State::Idle; // stray characters outside an exchange are dropped
        }
        return;
    case State::PackedData:
        if (c == p::packedEnd) {
            complete(at);
            return;
        }
        m_packet += c;
        if (m_packet.size() > longestPackedData) {
            giveUp(at);
        }
        return;
    default:
        m_packet += c;
    }
    const bool longDone = m_state == State::LongPacket && m_packet.size() >= p::longLength &&
                          m_packet.ends_with("H~");
    if (longDone || (m_state == State::ShortPacket && m_packet.size() == p::shortLength) ||
        (m_state == State::PageLine && m_packet.size() == p::pageLineLength)) {
        complete(at);
    } else if (m_state == State::LongPacket && m_packet.size() > longestLongPacket) {
        giveUp(at);
    }
}

void Protocol::attention(char c, Micros at) {
    ++m_counters.attentions;
    ++m_attentionsSeen;
    m_state = State::Idle;
    m_packet.clear();
    const FaultOptions& f = m_options.faults;
    if (mute() || m_attentionsSeen <= f.ignoreAttentions) {
        return;
    }
    if (m_attentionsSeen <= f.ignoreAttentions + f.garbleAttentions) {
        send(std::string(1, garbage), at);
        return;
    }
    ++m_counters.attentionsAnswered;
    const bool flash = c == p::attentionFlash;
    send(std::string(1, flash ? p::readyFlash : p::readyLong), at);
    m_state = flash ? State::FlashLead : State::LongLead;
}

void Protocol::complete(Micros at) {
    const State state = m_state;
    const std::string packet = std::move(m_packet);
    m_packet.clear();
    m_state = State::Idle;
    const FaultOptions& f = m_options.faults;
    ++m_packets;
    if (m_packets == f.pullLineAtPacket) {
        m_pulled = true;
        return;
    }
    if (m_packets == f.hangUpAtPacket) {
        m_hungUp = true; // what it does next is done, but its answer never goes out
    }
    switch (state) {
    case State::LongPacket:
        ++m_counters.longPackets;
        if (auto answer = handleLongPacket(m_machine, packet, at)) {
            reply(std::move(*answer), at);
        }
        break;
    case State::ShortPacket:
        ++m_counters.shortPackets;
        reply(handleShortPacket(m_machine, packet, at), at);
        break;
    case State::PageLine:
        ++m_counters.pageWrites;
        reply(handlePageLine(m_machine, packet), at);
        if (f.hangUpAfterPages > 0 && m_counters.pageWrites >= f.hangUpAfterPages) {
            m_hungUp = true;
        }
        break;
    case State::PackedData:
        ++m_counters.packedWrites;
        if (!handlePackedWrite(m_machine, packet)) {
            ++m_counters.invalidPackets;
        }
        break;
    default:
        break;
    }
}

// An exchange that stopped half-way: a long packet is answered as invalid (the console may
// still be listening), anything else is dropped.
void Protocol::giveUp(Micros at) {
    const bool wasLong = m_state == State::LongPacket;
    const bool wasPacket = m_state != State::LongLead && m_state != State::FlashLead;
    std::string packet = std::move(m_packet);
    m_packet.clear();
    m_state = State::Idle;
    if (wasPacket) {
        ++m_counters.invalidPackets;
    }
    if (wasLong) {
        std::string answer(p::genericTemplate);
        overwrite(answer, p::code, cut(packet, p::code));
        overwrite(answer, p::resultCode, std::string(1, resultInvalidPacket));
        reply(std::move(answer), at);
    }
}

void Protocol::reply(std::string text, Micros at) {
    const FaultOptions& f = m_options.faults;
    const bool longLayout = text.size() == p::longLength && cut(text, p::replyMark) == "OV";
    const bool shortLayout = text.size() == p::shortLength && text.front() == 'O';
    if (longLayout && f.resultCode) {
        overwrite(text, p::resultCode, std::string(1, *f.resultCode));
    }
    if (f.unframed && longLayout) {
        overwrite(text, p::replyMark, "--");
        overwrite(text, p::end, "--");
    } else if (f.unframed && shortLayout) {
        overwrite(text, p::shortMark, "-");
        overwrite(text, p::shortEnd, "-");
    }
    if (f.shortReplyLength > 0 && text.size() > f.shortReplyLength) {
        text.resize(f.shortReplyLength);
    }
    send(text, at + toMicros(f.replyDelay));
}

void Protocol::send(std::string_view text, Micros earliest) {
    if (mute()) {
        return;
    }
    const Micros start = std::max(earliest, m_outputFreeAt);
    for (size_t i = 0; i < text.size(); ++i) {
        const Micros due = m_options.pace ? start + wireTime(int64_t(i + 1)) : start;
        m_output.emplace_back(due, text[i]);
        m_outputFreeAt = due;
    }
}

// Status records go out between exchanges only, never into the middle of one. A report that
// falls due while the line is still sending is dropped, as a controller's transmitter does:
// at a rate beyond what the line carries, records go back to back instead of piling up.
void Protocol::onStatus(Micros due, const std::string& record) {
    if (m_state != State::Idle || mute() || m_outputFreeAt > due) {
        return;
    }
    ++m_counters.statusRecords;
    send(record, due);
}

void Protocol::setFaults(const FaultOptions& faults) {
    m_options.faults = faults;
    m_attentionsSeen = 0;
}

} // namespace pkivo::sim
