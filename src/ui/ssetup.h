// The "System setup" window: the settings record's fields in text boxes, saved to and read from
// params.ovh, help on port numbers, and a reconnect of the serial port.
#pragma once

#include <QLineEdit>
#include <QWidget>

#include <memory>
#include <vector>

namespace Ui {
class Ssetup;
}

namespace pkivo {

struct Console;
class WindowSet;

class Ssetup : public QWidget {
    Q_OBJECT
public:
    Ssetup(Console& console, WindowSet& windows);
    ~Ssetup() override;

private:
    void onLoadparam();
    void onSaveparams();
    void onCominfo();
    void onCommand2();

    void showparams();

    std::unique_ptr<Ui::Ssetup> m_ui;
    Console& m_console;
    WindowSet& m_windows;
    std::vector<QLineEdit*> m_boxes; // one per setupBoxes row, in its order
};

} // namespace pkivo
