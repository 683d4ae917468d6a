#include "platform/qt/qtserialport.h"

#include "platform/portdevice.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

namespace pkivo {

QtSerialPort::QtSerialPort() {
    QObject::connect(&m_serial, &QSerialPort::readyRead, &m_serial, [this] { notifyActivity(); });
    QObject::connect(&m_serial, &QSerialPort::errorOccurred, &m_serial,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialPort::~QtSerialPort() {
    m_serial.disconnect();
    drain();
    m_serial.close();
}

bool QtSerialPort::setSettings(const std::string& settings) {
    std::optional<SerialSettings> parsed = parseSerialSettings(settings);
    if (!parsed) {
        return false;
    }
    m_settings = *parsed;
    if (m_serial.isOpen()) {
        applySettings();
    }
    return true;
}

void QtSerialPort::applySettings() {
    m_serial.setBaudRate(m_settings.baud);
    m_serial.setDataBits(QSerialPort::DataBits(m_settings.dataBits));
    switch (m_settings.parity) {
    case 'e':
        m_serial.setParity(QSerialPort::EvenParity);
        break;
    case 'o':
        m_serial.setParity(QSerialPort::OddParity);
        break;
    case 'm':
        m_serial.setParity(QSerialPort::MarkParity);
        break;
    case 's':
        m_serial.setParity(QSerialPort::SpaceParity);
        break;
    default:
        m_serial.setParity(QSerialPort::NoParity);
        break;
    }
    m_serial.setStopBits(m_settings.stopBits == 2   ? QSerialPort::TwoStop
                         : m_settings.stopBits == 3 ? QSerialPort::OneAndHalfStop
                                                    : QSerialPort::OneStop);
    m_serial.setFlowControl(QSerialPort::NoFlowControl);
}

bool QtSerialPort::open() {
    if (m_serial.isOpen()) {
        if (!m_lost) {
            return false;
        }
        m_serial.close();
    }
    const std::string device = portDevicePath(m_commPort);
    if (device.empty()) {
        return false;
    }
    m_serial.setPortName(QString::fromStdString(device));
    applySettings();
    if (!m_serial.open(QIODevice::ReadWrite)) {
        m_serial.clearError();
        return false;
    }
    // Qt hands over what was waiting before the open; the console never wants it.
    m_serial.clear(QSerialPort::Input);
    m_lost = false;
    ++m_session;
    return true;
}

void QtSerialPort::close() {
    drain();
    m_serial.close();
    m_lost = false;
}

bool QtSerialPort::isOpen() const {
    return m_serial.isOpen() && !m_lost;
}

bool QtSerialPort::output(const std::string& text) {
    if (!isOpen()) {
        return false;
    }
    if (m_serial.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        return false;
    }
    m_lineFreeAt = std::max(m_lineFreeAt, std::chrono::steady_clock::now()) + wireTime(text.size());
    m_serial.flush();
    // Usually everything is in the driver after flush(); otherwise wait (without yielding, as
    // the console always has) as long as the characters need on the line, plus a second.
    QElapsedTimer elapsed;
    elapsed.start();
    const qint64 limit = qint64(text.size()) * 11 * 1000 / std::max(m_settings.baud, 1) + 1000;
    while (isOpen() && m_serial.bytesToWrite() > 0 && elapsed.elapsed() < limit) {
        m_serial.waitForBytesWritten(50);
    }
    return isOpen() && m_serial.bytesToWrite() == 0;
}

// The driver's buffer is empty long before the last characters are off the line (a
// pseudo-terminal's at once). A serial driver's close waits for them; so does this one, so that
// a command that ends right after its packet does not cut it short, nor does the next program
// to open the port get its first character in before them.
void QtSerialPort::drain() {
    if (m_serial.isOpen() && !m_lost) {
        std::this_thread::sleep_until(m_lineFreeAt);
    }
}

std::chrono::microseconds QtSerialPort::wireTime(size_t characters) const {
    const SerialSettings& s = m_settings;
    const int64_t bitsPerCharacter =
        1 + s.dataBits + (s.parity == 'n' ? 0 : 1) + (s.stopBits == 2 || s.stopBits == 3 ? 2 : 1);
    return std::chrono::microseconds(int64_t(characters) * bitsPerCharacter * 1'000'000 /
                                     std::max(s.baud, 1));
}

int QtSerialPort::outBufferCount() const {
    return int(m_serial.bytesToWrite());
}

int QtSerialPort::inBufferCount() const {
    return isOpen() ? int(m_serial.bytesAvailable()) : 0;
}

std::string QtSerialPort::input() {
    if (!isOpen()) {
        return {};
    }
    QByteArray bytes = m_serial.readAll();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    bool lineGone = error == QSerialPort::ReadError || error == QSerialPort::ResourceError ||
                    error == QSerialPort::WriteError;
    if (!lineGone || m_lost || !m_serial.isOpen()) {
        return;
    }
    // Qt keeps raising the error as fast as it can while the port stays open: close it, but
    // not from inside the signal.
    m_lost = true;
    const int session = m_session;
    QTimer::singleShot(0, &m_serial, [this, session] {
        if (session == m_session && m_lost) {
            m_serial.close();
        }
    });
    notifyActivity();
}

} // namespace pkivo
