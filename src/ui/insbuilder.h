// The "Edit Instruction Element" window: one instruction record of the program read (R15) and
// written (R16) by line, through rawsender.
#pragma once

#include "ui/recordeditor.h"

#include <memory>

namespace Ui {
class Insbuilder;
}

namespace pkivo {

class Insbuilder : public RecordEditor {
    Q_OBJECT
public:
    explicit Insbuilder(Console& console);
    ~Insbuilder() override;

private:
    std::unique_ptr<Ui::Insbuilder> m_ui;
};

} // namespace pkivo
