// The virtual controller fed whatever a pty may deliver, in bursts at arbitrary times: it
// never fails, and after catching up with the present it has nothing left that is due, so
// the owner's wait for its next event always moves time on.
#include "fuzz/targets.h"

#include "sim/machine.h"
#include "sim/protocol.h"

#include <string_view>

namespace pkivo::fuzz {

namespace {

using sim::Micros;

// The first byte chooses the pace and the faults, one bit each.
sim::ProtocolOptions optionsFrom(uint8_t bits) {
    using namespace std::chrono_literals;
    sim::ProtocolOptions options;
    options.pace = (bits & 0x01) != 0;
    options.faults.unframed = (bits & 0x02) != 0;
    options.faults.garbleAttentions = (bits & 0x04) != 0 ? 1 : 0;
    options.faults.shortReplyLength = (bits & 0x08) != 0 ? 20 : 0;
    if ((bits & 0x10) != 0) {
        options.faults.resultCode = '3';
    }
    options.faults.hangUpAfterPages = (bits & 0x20) != 0 ? 1 : 0;
    options.faults.replyDelay = (bits & 0x40) != 0 ? 100ms : 0ms;
    options.faults.ignoreAttentions = (bits & 0x80) != 0 ? 1 : 0;
    return options;
}

void catchUp(sim::Protocol& protocol, Micros now) {
    protocol.advance(now);
    protocol.takeDue(now);
    const std::optional<Micros> next = protocol.nextEventMicros();
    require(!next || *next > now, "after catching up nothing is due any more");
}

} // namespace

void fuzzSimParser(const uint8_t* data, size_t size) {
    if (size == 0) {
        return;
    }
    sim::Machine machine;
    sim::Protocol protocol(machine, optionsFrom(data[0]));
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    Micros now{0};
    // Bursts: a gap in units of 4 ms (past the packet time-out at its largest), a length,
    // then the bytes.
    while (rest.size() >= 2) {
        now += Micros(4000 * uint8_t(rest[0]));
        const size_t length = std::min<size_t>(uint8_t(rest[1]), rest.size() - 2);
        catchUp(protocol, now);
        protocol.receive(rest.substr(2, length), now);
        catchUp(protocol, now);
        rest.remove_prefix(2 + length);
    }
    // Then what follows, event by event: a running program's status stream never ends.
    const Micros end = now + Micros(20'000'000);
    for (int events = 0; events < 2000; ++events) {
        const std::optional<Micros> next = protocol.nextEventMicros();
        if (!next || *next > end) {
            break;
        }
        now = *next;
        catchUp(protocol, now);
    }
}

} // namespace pkivo::fuzz
