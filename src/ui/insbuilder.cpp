#include "ui/insbuilder.h"

#include "ui_insbuilder.h"

namespace pkivo {

Insbuilder::Insbuilder(Console& console)
    : RecordEditor(console, record::Kind::Instruction), m_ui(std::make_unique<Ui::Insbuilder>()) {
    m_ui->setupUi(this);
    wire();
}

Insbuilder::~Insbuilder() = default;

} // namespace pkivo
