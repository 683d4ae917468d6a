// The one serial port the console owns, with the properties of the classic communications
// control the link routines were written against. Backends: the real serial device, a
// scripted port for tests, and the virtual controller in-process.
#pragma once

#include <functional>
#include <string>

namespace pkivo {

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // CommPort: the port number the next open() uses (1, 2, ...).
    virtual void setCommPort(int number) = 0;
    virtual int commPort() const = 0;
    // Settings: "57600,n,8,1". False when the text is not a setting the port can take.
    virtual bool setSettings(const std::string& settings) = 0;
    // PortOpen = True. False when there is no such port, it is in use, the number cannot be
    // used at all, or the settings were rejected. Input that was waiting before is dropped.
    virtual bool open() = 0;
    // PortOpen = False. Closing a closed port does nothing.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // RThreshold: kept for the record; arrivals are always reported through the activity handler.
    virtual void setRThreshold(int characters) = 0;

    // Output: sends `text` and returns once it has left the buffer (OutBufferCount is then 0),
    // without yielding. Closing the port waits until it is off the line, as a driver does.
    // False when the port is closed or the line was lost.
    virtual bool output(const std::string& text) = 0;
    virtual int outBufferCount() const = 0;
    // InBufferCount and Input: the characters waiting, and all of them taken at once.
    virtual int inBufferCount() const = 0;
    virtual std::string input() = 0;

    // True from the moment the line is lost (adapter pulled, other end gone) until the next
    // successful open(); a lost line also closes the port.
    virtual bool lineLost() const = 0;

    // Called after characters arrived or the line was lost, so that a wait can look again.
    void setActivityHandler(std::function<void()> handler) { m_activity = std::move(handler); }

protected:
    void notifyActivity() {
        if (m_activity) {
            m_activity();
        }
    }

private:
    std::function<void()> m_activity;
};

} // namespace pkivo
