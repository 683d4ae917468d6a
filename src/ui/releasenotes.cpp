#include "ui/releasenotes.h"

#include "ui_releasenotes.h"

namespace pkivo {

ReleaseNotes::ReleaseNotes(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ReleaseNotes>()) {
    m_ui->setupUi(this);
    // Both buttons only close the notes: there is nothing to accept or cancel.
    connect(m_ui->OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

ReleaseNotes::~ReleaseNotes() = default;

} // namespace pkivo
