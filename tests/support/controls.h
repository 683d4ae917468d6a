// Finding a window's controls by their names, as the window tests click and read them.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <QtGlobal>

namespace pkivo::test {

// The control `name` of `window`; the test stops at once when there is none.
template <class T> T* child(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(name);
    if (!found) {
        qFatal("no control %s", name);
    }
    return found;
}

// The text of a label or a text box.
inline QString text(QWidget& window, const char* name) {
    if (auto* label = window.findChild<QLabel*>(name)) {
        return label->text();
    }
    return child<QLineEdit>(window, name)->text();
}

} // namespace pkivo::test
