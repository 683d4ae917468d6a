#include "sim/machine.h"

#include "core/textfield.h"
#include "link/packetlayout.h"

#include <algorithm>

namespace pkivo::sim {

namespace status = pkivo::packet::status;

Machine::Machine()
    : m_eeprom(memorySize, 0xFF), m_ram(memorySize, 0), m_servos(m_params),
      m_runner(m_flash, m_servos, m_io) {
    const auto defaults = BoardParams::defaults();
    std::copy(defaults.begin(), defaults.end(), m_eeprom.begin() + eepromParams);
}

void Machine::powerUp(Micros now) {
    m_now = std::max(m_now, now);
    reloadParams();
    if (m_params.runOnPowerUp()) {
        run(0, m_now);
    }
}

uint8_t Machine::ramByte(uint16_t address) const {
    auto highOrLow = [](uint16_t value, bool high) {
        return uint8_t(high ? value >> 8 : value & 0xFF);
    };
    if (address < ramParams + BoardParams::size) {
        return m_params.bytes()[address - ramParams];
    }
    if (address >= ramServos && address < ramServos + 2 * ServoBank::count) {
        const int offset = address - ramServos;
        return highOrLow(m_servos.position(offset / 2 + 1), offset % 2 == 0);
    }
    if (address >= ramDsr && address < ramDsr + 6) {
        const int offset = address - ramDsr;
        return highOrLow(m_runner.dsr(offset / 2), offset % 2 == 0);
    }
    if (address >= ramInputs && address < ramInputs + IoBank::count) {
        return m_io.inputs[address - ramInputs];
    }
    if (address >= ramOutputs && address < ramOutputs + IoBank::count) {
        return m_io.outputs[address - ramOutputs];
    }
    return m_ram[address];
}

void Machine::setRamByte(uint16_t address, uint8_t value, Micros now) {
    auto replaced = [value](uint16_t old, bool high) {
        return uint16_t(high ? (old & 0x00FF) | (value << 8) : (old & 0xFF00) | value);
    };
    advanceTo(now);
    if (address < ramParams + BoardParams::size) {
        auto bytes = m_params.bytes();
        bytes[address - ramParams] = value;
        m_params.setBytes(bytes);
    } else if (address >= ramServos && address < ramServos + 2 * ServoBank::count) {
        const int offset = address - ramServos;
        const int servo = offset / 2 + 1;
        m_servos.set(servo, replaced(m_servos.position(servo), offset % 2 == 0));
    } else if (address >= ramDsr && address < ramDsr + 6) {
        const int offset = address - ramDsr;
        m_runner.setDsr(offset / 2, replaced(m_runner.dsr(offset / 2), offset % 2 == 0));
    } else if (address >= ramInputs && address < ramInputs + IoBank::count) {
        m_io.inputs[address - ramInputs] = value;
    } else if (address >= ramOutputs && address < ramOutputs + IoBank::count) {
        m_io.outputs[address - ramOutputs] = value;
    } else {
        m_ram[address] = value;
    }
}

void Machine::setEepromByte(uint16_t address, uint8_t value) {
    m_eeprom[address] = value;
    ++m_generation;
}

void Machine::storeParams(const BoardParams::Bytes& bytes) {
    m_params.setBytes(bytes);
    std::copy(bytes.begin(), bytes.end(), m_eeprom.begin() + eepromParams);
    ++m_generation;
}

void Machine::reloadParams() {
    BoardParams::Bytes bytes;
    std::copy_n(m_eeprom.begin() + eepromParams, bytes.size(), bytes.begin());
    m_params.setBytes(bytes);
}

void Machine::run(int line, Micros now) {
    advanceTo(now);
    if (m_runner.paused() && line == 0) {
        m_runner.resume(m_now);
    } else {
        m_runner.start(line, m_now);
    }
    m_streaming = true;
    m_nextReport = m_now;
    afterProgramChange();
}

void Machine::pause(Micros now) {
    advanceTo(now);
    m_runner.pause();
}

void Machine::stop(Micros now) {
    advanceTo(now);
    m_runner.stop();
    afterProgramChange();
}

bool Machine::moveToStored(int line, Micros now) {
    if (!FlashMemory::validLine(line)) {
        return false;
    }
    advanceTo(now);
    const auto stored = m_flash.record(line);
    std::array<uint16_t, ServoBank::count> targets{};
    for (size_t k = 0; k < targets.size(); ++k) {
        targets[k] = uint16_t(stored[2 * k] << 8 | stored[2 * k + 1]);
    }
    m_servos.moveTo(targets, {});
    m_runner.notePosition(line);
    return true;
}

void Machine::writeRecord(int line, const FlashMemory::Record& record) {
    m_flash.setRecord(line, record);
    ++m_generation;
}

bool Machine::writePageHex(int page, const std::string& digits) {
    if (!m_flash.setPageHex(page, digits)) {
        return false;
    }
    ++m_generation;
    return true;
}

void Machine::eraseFlash() {
    m_flash.eraseAll();
    ++m_generation;
}

Micros Machine::reportInterval() const {
    return Micros(1000000 / m_params.reportRate());
}

std::optional<Micros> Machine::nextEventTime() const {
    std::optional<Micros> next = m_runner.nextStepTime();
    auto consider = [&next](Micros t) { next = next ? std::min(*next, t) : t; };
    if (m_framesOn) {
        consider(m_nextFrame);
    }
    if (m_streaming) {
        consider(m_nextReport);
    }
    return next;
}

void Machine::advanceTo(Micros t) {
    for (;;) {
        const auto next = nextEventTime();
        if (!next || *next > t) {
            break;
        }
        m_now = std::max(m_now, *next);
        if (m_framesOn && m_nextFrame <= m_now) {
            m_servos.stepFrame();
            m_nextFrame += framePeriod;
            if (!m_servos.moving()) {
                m_framesOn = false;
                m_runner.servosArrived(m_now);
            }
        } else if (auto step = m_runner.nextStepTime(); step && *step <= m_now) {
            m_runner.step(m_now);
            afterProgramChange();
        } else {
            report();
            m_nextReport += reportInterval();
        }
    }
    m_now = std::max(m_now, t);
}

void Machine::scheduleFrames() {
    if (!m_framesOn && m_servos.moving()) {
        m_framesOn = true;
        m_nextFrame = m_now + framePeriod;
    }
}

void Machine::afterProgramChange() {
    scheduleFrames();
    if (m_streaming && !m_runner.running()) {
        report(); // the last record shows the program stopped, with its notification
        m_streaming = false;
    }
}

void Machine::report() {
    if (m_statusSink && m_params.reportOn()) {
        m_statusSink(m_now, statusRecord());
    }
}

std::string Machine::statusRecord() const {
    std::string record(status::length, '0');
    overwrite(record, status::mark, "AB");
    overwrite(record, status::position, hexDigits(m_runner.lastPosition(), 4));
    overwrite(record, status::stack, hexDigits(uint64_t(m_runner.callDepth()), 4));
    overwrite(record, status::loop, hexDigits(m_runner.loopCount(), 4));
    overwrite(record, status::mode, hexDigits(m_runner.modeFlags(), 2));
    overwrite(record, status::notification, hexDigits(uint64_t(m_runner.notification()), 2));
    overwrite(record, status::line, hexDigits(uint64_t(m_runner.line()) + 1, 6));
    return record;
}

} // namespace pkivo::sim
