#include "sim/programrunner.h"

#include <algorithm>

namespace pkivo::sim {

namespace {
// Opcodes of the instruction records.
enum Opcode : uint8_t {
    opMove = 0x00,
    opGoto = 0x0A,
    opCall = 0x14,
    opReturn = 0x16,
    opDo = 0x1E,
    opLoop = 0x20,
    opWait = 0x28,
    opIfInput = 0x32,
    opOutputOn = 0x40,
    opOutputOff = 0x41,
    opSet = 0x50,
    opAdd = 0x52,
    opSubtract = 0x54,
    opStop = 0x80,
    opNop = 0xFE,
    opOutputToggle = 0xFF,
};
// Rate sources of MOVE.
enum RateSource : uint8_t {
    rateImmediate = 0x00,
    rateTable = 0x01,
    rateDsr1 = 0x02,
    rateDsr3 = 0x04
};
// IFINPUT actions.
enum Action : uint8_t { actGoto = 0x0A, actCall = 0x14, actStop = 0x80, actNone = 0xFF };
// Register codes of the register statements.
constexpr uint8_t firstServoRegister = 0x01;
constexpr uint8_t firstDsrRegister = 0x20;
constexpr uint16_t none16 = 0xFFFF;
} // namespace

ProgramRunner::ProgramRunner(const FlashMemory& flash, ServoBank& servos, IoBank& io)
    : m_flash(flash), m_servos(servos), m_io(io) {}

void ProgramRunner::start(int line, Micros now) {
    m_calls.clear();
    m_loops.clear();
    m_notification = Notification::None;
    m_pc = m_current = line;
    m_running = true;
    m_paused = false;
    m_waitingForServos = false;
    m_nextStep = now;
}

void ProgramRunner::pause() {
    m_paused = m_running;
}

void ProgramRunner::resume(Micros now) {
    if (m_paused) {
        m_paused = false;
        m_nextStep = std::max(m_nextStep, now);
    }
}

void ProgramRunner::stop() {
    m_running = false;
    m_paused = false;
    m_waitingForServos = false;
}

uint8_t ProgramRunner::modeFlags() const {
    return uint8_t((m_running ? 0x10 : 0) | (m_paused ? 0x20 : 0));
}

std::optional<Micros> ProgramRunner::nextStepTime() const {
    if (!m_running || m_paused || m_waitingForServos) {
        return std::nullopt;
    }
    return m_nextStep;
}

void ProgramRunner::servosArrived(Micros now) {
    if (m_waitingForServos) {
        m_waitingForServos = false;
        m_nextStep = now + stepTime;
    }
}

void ProgramRunner::fail(Notification code) {
    m_notification = code;
    stop();
}

bool ProgramRunner::jump(int target) {
    if (!FlashMemory::validLine(target)) {
        return false;
    }
    m_pc = target;
    return true;
}

void ProgramRunner::step(Micros now) {
    m_current = m_pc;
    if (!FlashMemory::validLine(m_pc)) {
        fail(Notification::InvalidInstruction);
        return;
    }
    const Record r = m_flash.record(m_pc);
    const int next = m_pc + 1;
    m_nextStep = now + stepTime;
    bool ok = true;
    switch (r[0]) {
    case opMove:
        ok = move(r);
        m_pc = next;
        break;
    case opGoto:
        ok = jump(word(r, 2));
        break;
    case opCall:
        if (int(m_calls.size()) >= stackDepth) {
            fail(Notification::StackFault);
            return;
        }
        m_calls.push_back(next);
        ok = jump(word(r, 2));
        break;
    case opReturn:
        if (m_calls.empty()) {
            fail(Notification::StackFault);
            return;
        }
        m_pc = m_calls.back();
        m_calls.pop_back();
        break;
    case opDo:
        if (word(r, 2) == 0) {
            ok = skipLoop();
        } else if (int(m_loops.size()) >= stackDepth) {
            fail(Notification::StackFault);
            return;
        } else {
            m_loops.push_back({next, word(r, 2)});
            m_pc = next;
        }
        break;
    case opLoop:
        if (m_loops.empty()) {
            fail(Notification::StackFault);
            return;
        }
        if (--m_loops.back().remaining > 0) {
            m_pc = m_loops.back().bodyStart;
        } else {
            m_loops.pop_back();
            m_pc = next;
        }
        break;
    case opWait:
        m_nextStep = now + Micros(int64_t(word(r, 2)) * 1000);
        m_pc = next;
        break;
    case opIfInput:
        ok = ifInput(r);
        break;
    case opOutputOn:
    case opOutputOff:
        ok = output(r);
        break;
    case opSet:
    case opAdd:
    case opSubtract:
        ok = registerStatement(r);
        break;
    case opStop:
        stop();
        return;
    case opNop:
        m_pc = next;
        break;
    case opOutputToggle:
        if (std::all_of(r.begin(), r.end(), [](uint8_t b) { return b == FlashMemory::erased; })) {
            stop(); // erased flash: the program has ended
            return;
        }
        ok = output(r);
        break;
    default:
        ok = false;
    }
    if (!ok) {
        fail(Notification::InvalidInstruction);
    }
}

bool ProgramRunner::move(const Record& r) {
    const int line = word(r, 2);
    if (!FlashMemory::validLine(line)) {
        return false;
    }
    const uint8_t source = r[4];
    const uint16_t operand = word(r, 5);
    std::array<uint16_t, ServoBank::count> rates{};
    if (source == rateImmediate) {
        rates.fill(operand);
    } else if (source == rateTable) {
        const int entry = speedTableBase + operand;
        if (!FlashMemory::validLine(entry)) {
            return false;
        }
        const Record speeds = m_flash.record(entry);
        for (size_t k = 0; k < rates.size(); ++k) {
            rates[k] = speeds[k] == FlashMemory::erased ? 0 : speeds[k];
        }
    } else if (source >= rateDsr1 && source <= rateDsr3) {
        rates.fill(m_dsr[size_t(source - rateDsr1)]);
    } else {
        return false;
    }
    const Record stored = m_flash.record(line);
    std::array<uint16_t, ServoBank::count> targets{};
    for (size_t k = 0; k < targets.size(); ++k) {
        targets[k] = word(stored, int(2 * k));
    }
    m_servos.moveTo(targets, rates);
    m_lastPosition = uint16_t(line);
    if (m_servos.moving()) {
        m_waitingForServos = true;
    }
    return true;
}

bool ProgramRunner::ifInput(const Record& r) {
    const uint8_t value = m_io.inputs[r[1]];
    const uint16_t compare = word(r, 2);
    const bool holds = compare == none16 ? value != 0 : value == compare;
    const int next = m_pc + 1;
    const uint8_t action = r[4];
    const int target = word(r, 5);
    if (action != actGoto && action != actCall && action != actStop && action != actNone) {
        return false;
    }
    if (!holds || action == actNone) {
        m_pc = next;
        return true;
    }
    if (action == actStop) {
        stop();
        return true;
    }
    if (action == actCall) {
        if (int(m_calls.size()) >= stackDepth) {
            fail(Notification::StackFault);
            return true;
        }
        m_calls.push_back(next);
    }
    return jump(target);
}

bool ProgramRunner::skipLoop() {
    int depth = 0;
    for (int line = m_pc + 1; FlashMemory::validLine(line); ++line) {
        const uint8_t op = m_flash.record(line)[0];
        if (op == opDo) {
            ++depth;
        } else if (op == opLoop && depth-- == 0) {
            m_pc = line + 1;
            return true;
        }
    }
    return false;
}

bool ProgramRunner::registerStatement(const Record& r) {
    const uint8_t reg = r[1];
    const int64_t operand = word(r, 2);
    auto apply = [&](int64_t current) {
        return r[0] == opSet ? operand : r[0] == opAdd ? current + operand : current - operand;
    };
    if (reg >= firstServoRegister && reg < firstServoRegister + ServoBank::count) {
        const int servo = reg - firstServoRegister + 1;
        m_servos.set(servo, apply(m_servos.position(servo)));
    } else if (reg >= firstDsrRegister && reg < firstDsrRegister + 3) {
        uint16_t& dsr = m_dsr[size_t(reg - firstDsrRegister)];
        dsr = uint16_t(apply(dsr) & 0xFFFF);
    } else {
        return false;
    }
    m_pc += 1;
    return true;
}

bool ProgramRunner::output(const Record& r) {
    const uint16_t number = word(r, 2);
    if (number >= IoBank::count) {
        return false;
    }
    uint8_t& out = m_io.outputs[number];
    out = r[0] == opOutputOn ? 1 : r[0] == opOutputOff ? 0 : uint8_t(out ^ 1);
    m_pc += 1;
    return true;
}

} // namespace pkivo::sim
