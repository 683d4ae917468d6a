// How every window shows a box it cannot take: a red frame, remembered on the box, so that a
// reason label speaking for several boxes can ask which of them are refused.
#pragma once

#include <QLineEdit>

namespace pkivo {

inline void markRefused(QLineEdit* box, bool refused) {
    box->setStyleSheet(refused ? "border: 2px solid #b00020;" : "");
    box->setProperty("refused", refused);
}

inline bool isRefused(const QLineEdit* box) {
    return box->property("refused").toBool();
}

} // namespace pkivo
