// The board parameter block: 16 bytes that the controller keeps in RAM while it works and
// copies to and from EEPROM (addresses 0-15). The accessors name the fields the controller
// itself obeys; the other bytes are stored and reported unchanged.
#pragma once

#include <array>
#include <cstdint>

namespace pkivo::sim {

class BoardParams {
public:
    static constexpr int size = 16;
    using Bytes = std::array<uint8_t, size>;

    // Byte offsets (the console's block digits 1-2 are byte 0, and so on).
    static constexpr int flagsByte = 0;      // bit 3 limits, bit 2 report on, bits 1-0 storage
    static constexpr int runByte = 1;        // bit 2 hardware, bit 1 push button, bit 0 power-up
    static constexpr int ioByte = 4;         // bit 0: I/O 4 is an input
    static constexpr int reportRateByte = 7; // status records per second, 0 = default
    static constexpr int minPulseByte = 8;   // 16-bit, high byte first
    static constexpr int maxPulseByte = 10;  // 16-bit, high byte first
    static constexpr int activeServosByte = 12;

    static constexpr int defaultReportRate = 4;
    static constexpr int maxReportRate = 100;

    // Report on at 4 records a second, pulse limits 500-2500 (not enforced), all eight servos
    // active, nothing started at power-up.
    static Bytes defaults();

    explicit BoardParams(const Bytes& bytes = defaults()) : m_bytes(bytes) {}

    const Bytes& bytes() const { return m_bytes; }
    void setBytes(const Bytes& bytes) { m_bytes = bytes; }

    bool reportOn() const { return m_bytes[flagsByte] & 0x04; }
    bool useLimits() const { return m_bytes[flagsByte] & 0x08; }
    bool runOnPowerUp() const { return m_bytes[runByte] & 0x01; }
    // Records per second: the block's value, the default for 0, at most maxReportRate.
    int reportRate() const;
    uint16_t minPulse() const { return word(minPulseByte); }
    uint16_t maxPulse() const { return word(maxPulseByte); }
    bool servoActive(int servo) const { return m_bytes[activeServosByte] & (1u << (servo - 1)); }

private:
    uint16_t word(int offset) const { return uint16_t(m_bytes[offset] << 8 | m_bytes[offset + 1]); }
    Bytes m_bytes;
};

} // namespace pkivo::sim
