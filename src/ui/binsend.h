// The "Flash memory utility" window: one page read raw or listed as lines, the erase of the whole
// flash memory, a range of pages read into a flash file and a flash file written into flash.
#pragma once

#include "console/flashtools.h"
#include "platform/clock.h"
#include "ui/linkwindow.h"

#include <QWidget>

#include <functional>
#include <memory>

class QTimer;

namespace Ui {
class Binsend;
}

namespace pkivo {

class Binsend : public QWidget, private LinkWindow, private FlashToolsObserver {
    Q_OBJECT
public:
    explicit Binsend(Console& console);
    ~Binsend() override;

private:
    void onCommand6();
    void onCommand9();
    void onCommand8();
    void onSavefla();
    void onReadfla();

    void pageStarted(const std::string& pageText, int index, int total) override;
    void pageDigits(const std::string& digits) override;
    bool cancelRequested() override { return m_cancelRequested; }

    // Page `Text5` read; false (with the reason in Text3) when it was refused or failed.
    bool rawPageRead();
    // Runs a long transfer with the buttons held, the progress row live and Cancel enabled.
    FlashOutcome transfer(const std::function<FlashOutcome()>& run);
    void showOutcome(const FlashOutcome& outcome);
    void showElapsed();

    std::unique_ptr<Ui::Binsend> m_ui;
    QTimer* m_ticker; // ticks the elapsed time while a transfer waits on the controller
    Millis m_transferStart{0};
    bool m_cancelRequested = false;
};

} // namespace pkivo
