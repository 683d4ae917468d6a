// The "Long Command Sender": a long command typed by the user, or "Request Version", sent
// through docomax, and the controller's raw reply.
#pragma once

#include "ui/commandsender.h"

#include <memory>

namespace Ui {
class Sendinst;
}

namespace pkivo {

class Sendinst : public CommandSender {
    Q_OBJECT
public:
    explicit Sendinst(Console& console);
    ~Sendinst() override;

private:
    std::unique_ptr<Ui::Sendinst> m_ui;
};

} // namespace pkivo
