// The eight servo channels: where each one is, where it is going and how fast. Servos move in
// frames of 20 ms; a rate is the most position units a servo may move in one frame, and rate
// 0 moves it at once. Positions are kept within the board's pulse limits when the parameter
// block asks for them, and inactive channels do not move.
#pragma once

#include "sim/boardparams.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace pkivo::sim {

class ServoBank {
public:
    static constexpr int count = 8;
    static constexpr uint16_t noMove = 0xFFFF; // a stored position's "leave this servo alone"
    static constexpr uint16_t startPosition = 1500;

    explicit ServoBank(const BoardParams& params);

    uint16_t position(int servo) const { return m_servos[size_t(servo - 1)].position; }
    // Sets a servo at once (register statements, RAM writes); false for an inactive servo.
    bool set(int servo, int64_t value);
    // Jogs by `delta`; returns the new position (unchanged for an inactive servo).
    uint16_t jog(int servo, int delta);
    // Starts a move of every servo whose target is not noMove, each at its own rate.
    void moveTo(const std::array<uint16_t, count>& targets,
                const std::array<uint16_t, count>& rates);
    bool moving() const;
    // One 20 ms frame of every moving servo.
    void stepFrame();

private:
    struct Servo {
        uint16_t position = startPosition;
        uint16_t target = startPosition;
        uint16_t rate = 0;
    };
    uint16_t limited(int64_t value) const;

    const BoardParams& m_params;
    std::array<Servo, count> m_servos;
};

} // namespace pkivo::sim
