// The "Packed Instruction & Move Editor" window: one packed record, an instruction with eight
// servo positions, read through packreceiver (R1C) and written through packwriter (R1D).
#pragma once

#include "ui/recordeditor.h"

#include <memory>

namespace Ui {
class Packedinsbuilder;
}

namespace pkivo {

class Packedinsbuilder : public RecordEditor {
    Q_OBJECT
public:
    explicit Packedinsbuilder(Console& console);
    ~Packedinsbuilder() override;

private:
    std::unique_ptr<Ui::Packedinsbuilder> m_ui;
};

} // namespace pkivo
