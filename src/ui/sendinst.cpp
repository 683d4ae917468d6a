#include "ui/sendinst.h"

#include "ui_sendinst.h"

namespace pkivo {

Sendinst::Sendinst(Console& console)
    : CommandSender(console), m_ui(std::make_unique<Ui::Sendinst>()) {
    m_ui->setupUi(this);
    attach({m_ui->cmddat, m_ui->sendit, m_ui->data5bytes, m_ui->Version, m_ui->inver,
            m_ui->responce, m_ui->working});
}

Sendinst::~Sendinst() = default;

} // namespace pkivo
