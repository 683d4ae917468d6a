// The far end of a pseudo-terminal for tests and benchmarks: the console opens the slave side
// (linked as a port number), this object reads and answers on the master side inside the
// test's event loop.
#pragma once

#include <QSocketNotifier>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <memory>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace pkivo::test {

class PtyPeer {
public:
    // Gets everything received so far (it may leave a partial request in it) and returns the
    // text to send back.
    using Responder = std::function<std::string(std::string& received)>;

    PtyPeer() {
        if (openpty(&m_master, &m_slave, m_name, nullptr, nullptr) != 0) {
            m_master = m_slave = -1;
            return;
        }
        termios raw{};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_notifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readInput(); });
    }
    ~PtyPeer() {
        m_notifier.reset();
        for (int fd : {m_master, m_slave}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    std::string slavePath() const { return m_name; }
    void setResponder(Responder responder) { m_responder = std::move(responder); }
    void send(const std::string& text) {
        if (m_master >= 0 && !text.empty()) {
            [[maybe_unused]] ssize_t written = ::write(m_master, text.data(), text.size());
        }
    }

private:
    void readInput() {
        char buffer[4096];
        for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;) {
            m_received.append(buffer, size_t(n));
        }
        if (m_responder) {
            send(m_responder(m_received));
        }
    }

    int m_master = -1;
    int m_slave = -1;
    char m_name[128] = {};
    std::unique_ptr<QSocketNotifier> m_notifier;
    Responder m_responder;
    std::string m_received;
};

// Links ~/.config/pkivo/dosdevices/com<number> to `device`.
inline bool linkPortNumber(int number, const std::string& device, const std::string& home) {
    const std::string folder = home + "/.config/pkivo/dosdevices";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string link = folder + "/com" + std::to_string(number);
    ::unlink(link.c_str());
    return !error && ::symlink(device.c_str(), link.c_str()) == 0;
}

} // namespace pkivo::test
