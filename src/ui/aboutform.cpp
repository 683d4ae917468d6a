#include "ui/aboutform.h"

#include "setup/settingsrecord.h"
#include "ui_aboutform.h"

namespace pkivo {

Aboutform::Aboutform(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::Aboutform>()) {
    m_ui->setupUi(this);
    m_ui->ver1->setText(settings::programVersion);
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
}

Aboutform::~Aboutform() = default;

} // namespace pkivo
