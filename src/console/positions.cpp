#include "console/positions.h"

#include "core/numbertext.h"
#include "link/link.h"
#include "link/packets.h"
#include "link/replies.h"
#include "link/resultcodes.h"

namespace pkivo {

namespace {

// Runs `routine` with `request` in the packet buffer; ok when the routine's own code is "0".
PositionExchange run(Link& link, const std::string& request, Link::Routine routine) {
    PositionExchange done;
    if (!link.request(request, routine)) {
        done.busy = true;
        done.status = result::statusLine(result::linkBusy);
        return done;
    }
    const LinkGlobals& g = link.globals();
    done.reply = g.packet;
    done.status = result::statusLine(g.errcode, g.errtext);
    done.ok = g.errcode == result::ok;
    return done;
}

// A long exchange is good only when a framed reply carrying "0" came back.
PositionExchange runLong(Link& link, const std::string& request) {
    PositionExchange done = run(link, request, &Link::rawsender);
    if (!done.busy) {
        const reply::Outcome outcome = reply::longOutcome(link.globals());
        done.ok = outcome.good;
        done.status = outcome.text();
    }
    return done;
}

} // namespace

std::optional<uint32_t> positionLineBox(std::string_view text) {
    const std::optional<uint64_t> value = wholeNumber(text, largestPositionLine);
    return value ? std::optional<uint32_t>(uint32_t(*value)) : std::nullopt;
}

std::optional<uint16_t> positionBox(std::string_view text) {
    const std::optional<uint64_t> value = wholeNumber(text, largestPosition);
    return value ? std::optional<uint16_t>(uint16_t(*value)) : std::nullopt;
}

std::optional<uint8_t> outputBox(std::string_view text) {
    const std::optional<uint64_t> value = wholeNumber(text, largestOutput);
    return value ? std::optional<uint8_t>(uint8_t(*value)) : std::nullopt;
}

std::string lineText(uint32_t line) {
    return zeroFilled(std::to_string(line), 6);
}

StoredSet readStoredSet(Link& link, uint32_t line) {
    StoredSet set{runLong(link, packet::readStoredPositions(line)), {}};
    if (set.ok) {
        const reply::Decoded<std::array<std::string, 8>> stored = reply::storedPositions(set.reply);
        set.ok = stored.ok();
        if (set.ok) {
            set.positions = *stored.value;
        }
    }
    return set;
}

PositionExchange storeSet(Link& link, uint32_t line, const std::array<uint16_t, 8>& positions) {
    std::array<std::string, 8> fields;
    for (size_t k = 0; k < fields.size(); ++k) {
        fields[k] = zeroFilled(std::to_string(positions[k]), 5);
    }
    return runLong(link, packet::storePositions(line, fields));
}

CurrentSet readCurrentSet(Link& link, uint32_t line) {
    CurrentSet set{runLong(link, packet::readCurrentPositions(line)), {}};
    if (set.ok) {
        const reply::Decoded<std::array<uint16_t, 8>> current = reply::currentPositions(set.reply);
        set.ok = current.ok();
        if (set.ok) {
            set.positions = *current.value;
        }
    }
    return set;
}

PositionExchange moveToSet(Link& link, uint32_t line) {
    return run(link, packet::moveToStoredLine(line), &Link::smallcomax);
}

PositionExchange switchOutput(Link& link, uint8_t output, bool on) {
    return run(link, packet::switchOutput(output, on), &Link::smallcomax);
}

std::string jogRequest(bool up, int step, int servo) {
    const std::string stepDigits = zeroFilled(std::to_string(step), 4);
    return up ? packet::jogUp(stepDigits, servo) : packet::jogDown(stepDigits, servo);
}

JogStep jogOnce(Link& link, bool up, int step, int servo) {
    JogStep done{run(link, jogRequest(up, step, servo), &Link::smallcomax), 0, 0};
    if (done.ok) {
        const reply::Decoded<reply::JogReply> jog = reply::jogReply(done.reply);
        done.ok = jog.ok();
        if (jog.ok()) {
            done.servo = jog.value->servo;
            done.position = jog.value->position;
        }
    }
    return done;
}

} // namespace pkivo
