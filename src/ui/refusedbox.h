// How every window shows a box it cannot take: a red frame, remembered on the box, so that a
// reason label speaking for several boxes can ask which of them are refused.
#pragma once

#include <QLineEdit>

namespace pkivo {

// Only a change restyles the box: a box the console fills many times a second (a held jog) would
// otherwise be repolished at every value.
inline void markRefused(QLineEdit* box, bool refused) {
    if (box->property("refused").toBool() == refused) {
        return;
    }
    box->setStyleSheet(refused ? "border: 2px solid #b00020;" : "");
    box->setProperty("refused", refused);
}

inline bool isRefused(const QLineEdit* box) {
    return box->property("refused").toBool();
}

} // namespace pkivo
