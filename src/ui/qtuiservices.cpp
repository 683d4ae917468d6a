#include "ui/qtuiservices.h"

#include <QApplication>
#include <QMessageBox>

namespace pkivo {

void QtUiServices::messageBox(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(),
                    QString::fromLatin1(text.c_str()), QMessageBox::Ok);
    box.exec();
}

void QtUiServices::endProgram() {
    QCoreApplication::exit(1);
}

} // namespace pkivo
