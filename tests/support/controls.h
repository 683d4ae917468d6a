// Finding a window's controls by their names, as the window tests click and read them.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>
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

// The texts of `names`, joined by `separator`.
inline QString texts(QWidget& window, const QStringList& names, QChar separator = '|') {
    QStringList shown;
    for (const QString& name : names) {
        shown << text(window, qPrintable(name));
    }
    return shown.join(separator);
}

// Clicks the button `name` as a user would; returns when its handler has.
inline void click(QWidget& window, const QString& name) {
    QTest::mouseClick(child<QPushButton>(window, qPrintable(name)), Qt::LeftButton);
}

// Puts `text` into the text box `name`, as typing would leave it.
inline void type(QWidget& window, const QString& name, const QString& text) {
    child<QLineEdit>(window, qPrintable(name))->setText(text);
}

// "box=text" pairs typed into the window, in order.
inline void typeAll(QWidget& window, const QStringList& typed) {
    for (const QString& entry : typed) {
        type(window, entry.section('=', 0, 0), entry.section('=', 1));
    }
}

} // namespace pkivo::test
