// The "Short Command Sender": the long-command controls of the Long Command Sender (the code box
// takes one character), and a short packet typed in full, sent through smallcomax exactly as
// typed, with "Load" to start again from the template.
#pragma once

#include "ui/commandsender.h"

#include <memory>

namespace Ui {
class Sndshort;
}

namespace pkivo {

class Sndshort : public CommandSender {
    Q_OBJECT
public:
    explicit Sndshort(Console& console);
    ~Sndshort() override;

private:
    void onCommand1();
    void onCommand2();

    std::unique_ptr<Ui::Sndshort> m_ui;
};

} // namespace pkivo
