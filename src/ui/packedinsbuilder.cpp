#include "ui/packedinsbuilder.h"

#include "ui_packedinsbuilder.h"

namespace pkivo {

Packedinsbuilder::Packedinsbuilder(Console& console)
    : RecordEditor(console, record::Kind::Packed), m_ui(std::make_unique<Ui::Packedinsbuilder>()) {
    m_ui->setupUi(this);
    wire();
}

Packedinsbuilder::~Packedinsbuilder() = default;

} // namespace pkivo
