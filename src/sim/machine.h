// The whole virtual controller apart from its serial line: flash, EEPROM, RAM, the board
// parameters, servos, inputs and outputs, and the program runner, all on one time line.
// Time only moves when the caller says so (advanceTo); a running program streams status
// records to the status sink at the board's report rate.
//
// RAM map (what the memory editor's OR/OS reach):
//   0000-000F  the working board parameter block
//   0010-001F  servo positions S1..S8, 16 bits each, high byte first
//   0020-0025  DSR1..DSR3, 16 bits each, high byte first
//   0100-01FF  inputs 0..255 (a byte each; not 0 means on)
//   0200-02FF  outputs 0..255 (1 on, 0 off)
//   the rest   plain RAM
// EEPROM 0000-000F holds the stored copy of the parameter block.
#pragma once

#include "sim/boardparams.h"
#include "sim/flashmemory.h"
#include "sim/iobank.h"
#include "sim/programrunner.h"
#include "sim/servobank.h"
#include "sim/simtime.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pkivo::sim {

class Machine {
public:
    static constexpr size_t memorySize = 0x10000;
    static constexpr uint16_t ramParams = 0x0000;
    static constexpr uint16_t ramServos = 0x0010;
    static constexpr uint16_t ramDsr = 0x0020;
    static constexpr uint16_t ramInputs = 0x0100;
    static constexpr uint16_t ramOutputs = 0x0200;
    static constexpr uint16_t eepromParams = 0x0000;
    static constexpr Micros framePeriod{20000};

    using StatusSink = std::function<void(Micros due, const std::string& record)>;

    // Erased flash and EEPROM apart from the default parameter block, servos at 1500.
    Machine();

    // Power-up: the working parameters come from EEPROM and, when the block says so, the
    // stored program starts at line 0.
    void powerUp(Micros now);

    FlashMemory& flash() { return m_flash; }
    const FlashMemory& flash() const { return m_flash; }
    const BoardParams& params() const { return m_params; }
    ServoBank& servos() { return m_servos; }
    const ServoBank& servos() const { return m_servos; }
    IoBank& io() { return m_io; }
    const ProgramRunner& runner() const { return m_runner; }

    uint8_t ramByte(uint16_t address) const;
    void setRamByte(uint16_t address, uint8_t value, Micros now);
    uint8_t eepromByte(uint16_t address) const { return m_eeprom[address]; }
    void setEepromByte(uint16_t address, uint8_t value);

    // R1W: the block becomes the working block and is stored in EEPROM.
    void storeParams(const BoardParams::Bytes& bytes);
    // R1C: the working block is reloaded from EEPROM.
    void reloadParams();

    // R05: resume a paused program when `line` is 0, otherwise (or when not paused) run from
    // `line`.
    void run(int line, Micros now);
    void pause(Micros now); // R07
    void stop(Micros now);  // R00
    // OT: move the servos to the stored position at `line` at once; false for a bad line.
    bool moveToStored(int line, Micros now);
    // Writes into flash go through here so that the state knows it has changed.
    void writeRecord(int line, const FlashMemory::Record& record);
    bool writePageHex(int page, const std::string& digits);
    void eraseFlash();

    void advanceTo(Micros t);
    std::optional<Micros> nextEventTime() const;
    Micros now() const { return m_now; }

    void setStatusSink(StatusSink sink) { m_statusSink = std::move(sink); }
    // The record as a status report would carry it now.
    std::string statusRecord() const;

    // Grows with every change to flash or EEPROM, so that the owner knows when to save.
    uint64_t nonVolatileGeneration() const { return m_generation; }

private:
    void afterProgramChange();
    void report();
    void scheduleFrames();
    Micros reportInterval() const;

    FlashMemory m_flash;
    std::vector<uint8_t> m_eeprom;
    std::vector<uint8_t> m_ram;
    BoardParams m_params;
    ServoBank m_servos;
    IoBank m_io;
    ProgramRunner m_runner;

    Micros m_now{0};
    bool m_framesOn = false;
    Micros m_nextFrame{0};
    bool m_streaming = false;
    Micros m_nextReport{0};
    StatusSink m_statusSink;
    uint64_t m_generation = 0;
};

} // namespace pkivo::sim
