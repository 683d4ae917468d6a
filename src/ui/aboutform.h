// The About box: the program's name, version, maker and the controllers it serves.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Aboutform;
}

namespace pkivo {

class Aboutform : public QDialog {
    Q_OBJECT
public:
    explicit Aboutform(QWidget* parent = nullptr);
    ~Aboutform() override;

private:
    std::unique_ptr<Ui::Aboutform> m_ui;
};

} // namespace pkivo
