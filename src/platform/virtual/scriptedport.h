// A serial port for tests, driven by a script on virtual time: it expects the console's
// writes in order and answers each with scripted replies after given delays, or stays
// silent, or loses the line. Unsolicited input (stale characters, status records) can be
// made to arrive at any virtual time. Everything written is kept with its time, so a test
// can assert the bytes on the wire and when they went out.
#pragma once

#include "platform/serialport.h"
#include "platform/virtual/virtualtime.h"

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace pkivo {

class ScriptedPort : public SerialPort {
public:
    // One expected write and what the other end does after it.
    class Step {
    public:
        // The other end sends `text` `delay` after the write.
        Step& answer(std::string text, Millis delay = Millis(0));
        // The line goes away `delay` after the write (adapter pulled).
        Step& loseLine(Millis delay = Millis(0));

    private:
        friend class ScriptedPort;
        struct Action {
            Millis delay;
            bool losesLine;
            std::string text;
        };
        std::optional<std::string> m_expected; // nothing: any write
        std::vector<Action> m_actions;
    };

    struct Write {
        Millis at;
        int port;
        std::string text;
    };

    explicit ScriptedPort(VirtualTime& time);

    // The next write must be `text` exactly; without answers the other end stays silent.
    Step& expect(std::string text);
    Step& expectAny();
    // `text` arrives at virtual time `time` (dropped if the port is closed then).
    void arriveAt(Millis time, std::string text);
    void loseLineAt(Millis time);
    // Port numbers that open; all from 1 to 255 when never set.
    void setOpenablePorts(std::set<int> numbers) { m_openable = std::move(numbers); }

    const std::vector<Write>& writes() const { return m_writes; }
    // Every write that did not match the script, described for the test's failure message.
    const std::vector<std::string>& mismatches() const { return m_mismatches; }
    // Script steps not reached.
    size_t pendingSteps() const { return m_steps.size(); }
    const std::vector<int>& openedPorts() const { return m_opened; }
    const std::string& settings() const { return m_settings; }
    int rThreshold() const { return m_rThreshold; }

    void setCommPort(int number) override { m_commPort = number; }
    int commPort() const override { return m_commPort; }
    bool setSettings(const std::string& settings) override;
    bool open() override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void setRThreshold(int characters) override { m_rThreshold = characters; }
    bool output(const std::string& text) override;
    int outBufferCount() const override { return 0; }
    int inBufferCount() const override { return int(m_input.size()); }
    std::string input() override;
    bool lineLost() const override { return m_lost; }

private:
    void deliver(const std::string& text);
    void lose();

    VirtualTime& m_time;
    std::deque<Step> m_steps;
    std::vector<Write> m_writes;
    std::vector<std::string> m_mismatches;
    std::vector<int> m_opened;
    std::optional<std::set<int>> m_openable;
    std::string m_settings;
    std::string m_input;
    int m_commPort = 1;
    int m_rThreshold = 0;
    bool m_open = false;
    bool m_lost = false;
    // Bumped by every open, so that replies scheduled for an earlier session are not delivered
    // into a later one.
    int m_session = 0;
};

} // namespace pkivo
