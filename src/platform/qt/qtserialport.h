// The serial port on a real device (or a pseudo-terminal) through QSerialPort. Port numbers
// are mapped to devices by portdevice.h. A line that goes away (adapter pulled, other end
// closed) is reported once and the port closed, instead of the endless errors Qt gives then.
#pragma once

#include "platform/serialport.h"
#include "platform/serialsettings.h"

#include <QSerialPort>

#include <chrono>

namespace pkivo {

class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    void setCommPort(int number) override { m_commPort = number; }
    int commPort() const override { return m_commPort; }
    bool setSettings(const std::string& settings) override;
    bool open() override;
    void close() override;
    bool isOpen() const override;
    void setRThreshold(int characters) override { m_rThreshold = characters; }
    bool output(const std::string& text) override;
    int outBufferCount() const override;
    int inBufferCount() const override;
    std::string input() override;
    bool lineLost() const override { return m_lost; }

private:
    void applySettings();
    // How long `characters` take on the line at the port's settings.
    std::chrono::microseconds wireTime(size_t characters) const;
    // Waits until what was written is off the line.
    void drain();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort m_serial;
    SerialSettings m_settings;
    int m_commPort = 1;
    int m_rThreshold = 0;
    bool m_lost = false;
    int m_session = 0;
    std::chrono::steady_clock::time_point m_lineFreeAt; // when the last character written is sent
};

} // namespace pkivo
