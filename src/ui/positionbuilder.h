// The "Position Manager" window: stored position sets read and written by line, the servos'
// current positions copied into the boxes, a move to a stored set, the servos jogged while a
// "+" or "-" button is held, and an output switched on or off.
#pragma once

#include "console/positions.h"
#include "ui/linkwindow.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class Positionbuilder;
}

namespace pkivo {

class Positionbuilder : public QWidget, private LinkWindow {
    Q_OBJECT
public:
    explicit Positionbuilder(Console& console);
    ~Positionbuilder() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // A box refused where it is typed when its text is not a number in its range.
    struct CheckedBox {
        QLineEdit* box;
        QLabel* reason;
        QString why;
        std::optional<uint32_t> (*value)(const QLineEdit*);
    };
    // The buttons of one jog family (bigup, bigdn, posup, posdown) and the step they send.
    struct JogFamily {
        std::vector<QPushButton*> buttons;
        bool up;
        int step;
    };
    struct Jog {
        const JogFamily* family;
        int servo; // 1 to 8
        int failures = 0;
        bool stop = false;
    };

    void onScroll(int value);
    void onText2Edited();
    bool onCommand2();
    void onCommand1();
    void onGetcur();
    void onMoveto();
    void stepAndMove(int by);
    void onOutput(bool on);

    void startJog(const JogFamily& family, int servo);
    void jogStep();
    void stopJog();
    void showJogged();

    std::optional<uint32_t> take(QLineEdit* box);
    void checkTyped(QLineEdit* box);
    void mark(QLineEdit* box, bool refused);
    const CheckedBox& checked(QLineEdit* box) const;
    void showResponce(const std::string& text);

    std::unique_ptr<Ui::Positionbuilder> m_ui;
    std::vector<QLineEdit*> m_boxes; // S1edat to S8edat
    std::vector<QCheckBox*> m_use;
    std::array<JogFamily, 4> m_families;
    std::vector<QWidget*> m_exchangeButtons;
    std::vector<CheckedBox> m_checked;
    std::optional<Jog> m_jog;
    // The last step answered and not yet shown in its box.
    std::optional<JogStep> m_jogged;
};

} // namespace pkivo
