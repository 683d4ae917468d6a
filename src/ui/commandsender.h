// What the two command senders share: the long-command controls (code, optional data, "Send ",
// "Request Version", the version label, the reply box and the waiting label) and their
// handlers. "Long Command Sender" is these alone; "Short Command Sender" adds a row for a
// short packet typed in full.
#pragma once

#include "ui/linkwindow.h"

#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace pkivo {

struct SentCommand;

class CommandSender : public QWidget, protected LinkWindow {
    Q_OBJECT
protected:
    // The shared controls of a sender's form, named as the form names them.
    struct Controls {
        QLineEdit* cmddat;
        QPushButton* sendit;
        QLineEdit* data5bytes;
        QPushButton* Version;
        QLabel* inver;
        QPlainTextEdit* responce;
        QLabel* working;
    };

    explicit CommandSender(Console& console);
    ~CommandSender() override;

    // Connects the shared buttons. `moreButtons` are the window's own buttons that send: all
    // of them stay disabled while any exchange of the window is on the wire.
    void attach(const Controls& controls, const std::vector<QWidget*>& moreButtons = {});

    // Runs `send` as the window's exchange and shows the reply, or the failure, in `responce`
    // and the version in `inver`.
    template <class Send> void sendAndShow(Send&& send) {
        showOutcome(exchange(m_buttons, std::forward<Send>(send)));
    }

private:
    void onSendit();
    void onVersion();
    // Both long commands: "WAITING FOR RESPONCE" while `send` runs, the reply box emptied.
    template <class Send> void sendLong(Send&& send);
    void showOutcome(const SentCommand& sent);

    Controls m_c{};
    std::vector<QWidget*> m_buttons;
};

} // namespace pkivo
