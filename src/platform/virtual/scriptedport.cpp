#include "platform/virtual/scriptedport.h"

#include "platform/serialsettings.h"

namespace pkivo {

ScriptedPort::Step& ScriptedPort::Step::answer(std::string text, Millis delay) {
    m_actions.push_back({delay, false, std::move(text)});
    return *this;
}

ScriptedPort::Step& ScriptedPort::Step::loseLine(Millis delay) {
    m_actions.push_back({delay, true, {}});
    return *this;
}

ScriptedPort::ScriptedPort(VirtualTime& time) : m_time(time) {}

ScriptedPort::Step& ScriptedPort::expect(std::string text) {
    m_steps.emplace_back();
    m_steps.back().m_expected = std::move(text);
    return m_steps.back();
}

ScriptedPort::Step& ScriptedPort::expectAny() {
    m_steps.emplace_back();
    return m_steps.back();
}

void ScriptedPort::arriveAt(Millis time, std::string text) {
    m_time.at(time, [this, text = std::move(text)] { deliver(text); });
}

void ScriptedPort::loseLineAt(Millis time) {
    m_time.at(time, [this] { lose(); });
}

bool ScriptedPort::setSettings(const std::string& settings) {
    if (!parseSerialSettings(settings)) {
        return false;
    }
    m_settings = settings;
    return true;
}

bool ScriptedPort::open() {
    bool openable =
        m_commPort >= 1 && m_commPort <= 255 && (!m_openable || m_openable->count(m_commPort) != 0);
    if (m_open || !openable || m_settings.empty()) {
        return false;
    }
    m_open = true;
    m_lost = false;
    m_input.clear();
    ++m_session;
    m_opened.push_back(m_commPort);
    return true;
}

bool ScriptedPort::output(const std::string& text) {
    if (!m_open) {
        return false;
    }
    m_writes.push_back({m_time.now(), m_commPort, text});
    if (m_steps.empty()) {
        m_mismatches.push_back("unexpected write \"" + text + "\"");
        return true;
    }
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    if (step.m_expected && *step.m_expected != text) {
        m_mismatches.push_back("expected \"" + *step.m_expected + "\", written \"" + text + "\"");
    }
    for (const Step::Action& action : step.m_actions) {
        int session = m_session;
        m_time.after(action.delay, [this, action, session] {
            if (session != m_session) {
                return;
            }
            if (action.losesLine) {
                lose();
            } else {
                deliver(action.text);
            }
        });
    }
    return true;
}

std::string ScriptedPort::input() {
    std::string taken;
    taken.swap(m_input);
    return taken;
}

void ScriptedPort::deliver(const std::string& text) {
    if (m_open) {
        m_input += text;
        notifyActivity();
    }
}

void ScriptedPort::lose() {
    if (m_open) {
        m_lost = true;
        m_open = false;
        m_input.clear();
        notifyActivity();
    }
}

} // namespace pkivo
