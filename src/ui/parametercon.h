// The "Board Parameters" window: reads the controller's parameter block, shows each parameter
// as a control, writes the changed block back, and asks the controller to reload its block
// from EEPROM.
#pragma once

#include "link/link.h"
#include "ui/linkwindow.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace Ui {
class Parametercon;
}

namespace pkivo {

namespace reply {
struct BoardParameters;
struct Outcome;
} // namespace reply

class Parametercon : public QWidget, private LinkWindow {
    Q_OBJECT
public:
    explicit Parametercon(Console& console);
    ~Parametercon() override;

    // When the window first shows: Get Parameters.
    void load();

private:
    void onGparamX();
    void onStoreparamX();
    void onRecon();

    // One exchange with the three buttons held down; nothing when another exchange was on the
    // wire (then nothing was sent and the buttons are as they were).
    std::optional<reply::Outcome> run(const std::function<void(LinkGlobals&)>& fill,
                                      Link::Routine routine);
    void setButtons(bool store, bool reload);
    void showParameters(const reply::BoardParameters& p);
    // What the controls show, on the block of the last good Get; nothing when a box is refused.
    std::optional<reply::BoardParameters> shownParameters();
    // Marks each number box that is refused and says why beside it; true when none is.
    bool checkBoxes();

    struct NumberBox {
        QLineEdit* box;
        uint32_t largest;
        QLabel* error;
        const char* reason;
    };

    std::unique_ptr<Ui::Parametercon> m_ui;
    std::vector<QCheckBox*> m_servos; // Servos1(0..7)
    std::vector<NumberBox> m_numbers;
    // boardparams: the block of the last good Get in this run; empty until there is one.
    std::string m_boardparams;
};

} // namespace pkivo
