// The Release Notes window: what changed in this version and the ones before it.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class ReleaseNotes;
}

namespace pkivo {

class ReleaseNotes : public QDialog {
    Q_OBJECT
public:
    explicit ReleaseNotes(QWidget* parent = nullptr);
    ~ReleaseNotes() override;

private:
    std::unique_ptr<Ui::ReleaseNotes> m_ui;
};

} // namespace pkivo
