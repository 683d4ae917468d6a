#include "ui/qtuiservices.h"

#include <QApplication>
#include <QMessageBox>

namespace pkivo {

void QtUiServices::messageBox(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(),
                    QString::fromLatin1(text.c_str()), QMessageBox::Ok);
    box.exec();
}

bool QtUiServices::question(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QString::fromLatin1(text.c_str()), QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtUiServices::endProgram() {
    QCoreApplication::exit(1);
}

} // namespace pkivo
