// The far end of a pseudo-terminal: the console opens the slave side (linked as a port number),
// the test writes on the master side.
#pragma once

#include <fcntl.h>
#include <filesystem>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace pkivo::test {

class PtyPeer {
public:
    PtyPeer() {
        if (openpty(&m_master, &m_slave, m_name, nullptr, nullptr) != 0) {
            m_master = m_slave = -1;
            return;
        }
        termios raw{};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
    }
    ~PtyPeer() {
        for (int fd : {m_master, m_slave}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    std::string slavePath() const { return m_name; }
    void send(const std::string& text) {
        if (m_master >= 0 && !text.empty()) {
            [[maybe_unused]] ssize_t written = ::write(m_master, text.data(), text.size());
        }
    }

private:
    int m_master = -1;
    int m_slave = -1;
    char m_name[128] = {};
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
