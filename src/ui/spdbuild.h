// The "Speed Editor" window: one entry of the controller's speed table, a speed and a control
// value for each of the eight servos, read (Get) and written (Put) at a location from 32000 to
// 32255.
#pragma once

#include "ui/linkwindow.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;

namespace Ui {
class Spdbuild;
}

namespace pkivo {

struct SpeedResult;

class Spdbuild : public QWidget, private LinkWindow {
    Q_OBJECT
public:
    explicit Spdbuild(Console& console);
    ~Spdbuild() override;

private:
    void onVScroll1Action(int action);
    void onVScroll1Change(int value);
    void onCommand1();
    void onCommand2();

    // The location, or nothing with Text2 marked.
    std::optional<uint32_t> takeLocation();
    // Every speed and control value as it travels, or nothing with each refused box marked.
    bool takeValues(std::array<std::string, 8>& speeds, std::array<std::string, 8>& controls);
    void checkTyped(QLineEdit* box);
    void mark(QLineEdit* box, bool refused);
    void showReasons();
    bool isGood(const QLineEdit* box) const;
    void showResult(const SpeedResult& result);

    std::unique_ptr<Ui::Spdbuild> m_ui;
    std::vector<QLineEdit*> m_speeds;   // S1sedat..S8sedat
    std::vector<QLineEdit*> m_controls; // S1con..S8con
};

} // namespace pkivo
