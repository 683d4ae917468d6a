// What every window that exchanges with the controller shares. Almost every handler has one
// shape: disable its buttons, fill the link globals, run one routine, decode the reply, show
// errcode and errtext, enable its buttons. exchange() holds the buttons down for the call and
// gives them back on every way out; statusText() is the status line; numbered() gathers the
// numbered controls of a form (Check1..Check8, aread1..aread4) into one array.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <initializer_list>
#include <utility>
#include <vector>

namespace pkivo {

struct Console;

class LinkWindow {
protected:
    explicit LinkWindow(Console& console) : m_console(console) {}
    ~LinkWindow() = default;

    // Runs `call` with `buttons` disabled and returns what it returns. The buttons are enabled
    // again however the call ends; a button closed meanwhile is left alone.
    template <class Call> auto exchange(std::initializer_list<QWidget*> buttons, Call&& call) {
        const DisabledWhile held(buttons);
        return std::forward<Call>(call)();
    }
    // The same for a window whose buttons are gathered in an array.
    template <class Call> auto exchange(const std::vector<QWidget*>& buttons, Call&& call) {
        const DisabledWhile held(buttons);
        return std::forward<Call>(call)();
    }

    // The status line of an exchange: errcode, one space, errtext.
    QString statusText() const;

    // The controls of `window` named prefix + first ... prefix + last, in that order; the
    // program stops with a message when one is missing, as a form without it is broken.
    template <class T>
    static std::vector<T*> numbered(const QWidget& window, const QString& prefix, int first,
                                    int last) {
        std::vector<T*> controls;
        for (int n = first; n <= last; ++n) {
            controls.push_back(found<T>(window, prefix + QString::number(n)));
        }
        return controls;
    }

    Console& m_console;

private:
    class DisabledWhile {
    public:
        explicit DisabledWhile(std::initializer_list<QWidget*> widgets)
            : DisabledWhile(std::vector<QWidget*>(widgets)) {}
        explicit DisabledWhile(const std::vector<QWidget*>& widgets);
        ~DisabledWhile();
        DisabledWhile(const DisabledWhile&) = delete;
        DisabledWhile& operator=(const DisabledWhile&) = delete;

    private:
        std::vector<QPointer<QWidget>> m_widgets;
    };

    template <class T> static T* found(const QWidget& window, const QString& name) {
        T* control = window.findChild<T*>(name);
        if (control == nullptr) {
            missingControl(name);
        }
        return control;
    }
    [[noreturn]] static void missingControl(const QString& name);
};

} // namespace pkivo
