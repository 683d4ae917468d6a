// Runs the program stored in flash, one instruction record per step: moves, waits, jumps,
// calls and loops with their stacks, input tests, outputs and register statements. The
// machine decides when a step is due; the runner says when it wants the next one.
#pragma once

#include "sim/flashmemory.h"
#include "sim/iobank.h"
#include "sim/servobank.h"
#include "sim/simtime.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace pkivo::sim {

// Status record notification codes (hex values as the record carries them).
enum class Notification : uint8_t {
    None = 0x00,
    InvalidInstruction = 0x32,
    StackFault = 0x63,
};

class ProgramRunner {
public:
    static constexpr int stackDepth = 16;        // calls and loops, each
    static constexpr Micros stepTime{1000};      // one instruction per millisecond
    static constexpr int speedTableBase = 32000; // MOVE ... TABLE=t reads speed entry 32000 + t

    ProgramRunner(const FlashMemory& flash, ServoBank& servos, IoBank& io);

    void start(int line, Micros now);
    void pause();
    void resume(Micros now);
    void stop();

    bool running() const { return m_running; }
    bool paused() const { return m_paused; }
    // When the next instruction is due; empty while stopped, paused or waiting for a move.
    std::optional<Micros> nextStepTime() const;
    void step(Micros now);
    // The servos of a MOVE have arrived: go on with the next instruction.
    void servosArrived(Micros now);

    // What the status record reports.
    uint16_t lastPosition() const { return m_lastPosition; }
    int callDepth() const { return int(m_calls.size()); }
    uint16_t loopCount() const { return m_loops.empty() ? 0 : m_loops.back().remaining; }
    // The line of the instruction being run (a WAIT or MOVE under way, a STOP, a fault).
    int line() const { return m_current; }
    Notification notification() const { return m_notification; }
    uint8_t modeFlags() const;

    uint16_t dsr(int index) const { return m_dsr[size_t(index)]; }
    void setDsr(int index, uint16_t value) { m_dsr[size_t(index)] = value; }
    // Positions moved to outside the program (OT) are reported as well.
    void notePosition(int line) { m_lastPosition = uint16_t(line); }

private:
    struct Loop {
        int bodyStart;
        uint16_t remaining;
    };
    using Record = FlashMemory::Record;

    void fail(Notification code);
    bool jump(int target);
    bool move(const Record& r);
    bool ifInput(const Record& r);
    bool skipLoop();
    bool registerStatement(const Record& r);
    bool output(const Record& r);
    static uint16_t word(const Record& r, int offset) {
        return uint16_t(r[size_t(offset)] << 8 | r[size_t(offset + 1)]);
    }

    const FlashMemory& m_flash;
    ServoBank& m_servos;
    IoBank& m_io;

    bool m_running = false;
    bool m_paused = false;
    bool m_waitingForServos = false;
    int m_pc = 0;
    int m_current = 0;
    Micros m_nextStep{0};
    std::vector<int> m_calls;
    std::vector<Loop> m_loops;
    std::array<uint16_t, 3> m_dsr{};
    uint16_t m_lastPosition = 0;
    Notification m_notification = Notification::None;
};

} // namespace pkivo::sim
