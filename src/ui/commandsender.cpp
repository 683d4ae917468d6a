#include "ui/commandsender.h"

#include "console/commandsender.h"
#include "console/console.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace pkivo {

namespace {

std::string typed(const QLineEdit* box) {
    return box->text().toLatin1().toStdString();
}

} // namespace

CommandSender::CommandSender(Console& console)
    : QWidget(nullptr, Qt::Window), LinkWindow(console) {}

CommandSender::~CommandSender() = default;

void CommandSender::attach(const Controls& controls, const std::vector<QWidget*>& moreButtons) {
    m_c = controls;
    m_buttons = {m_c.sendit, m_c.Version};
    m_buttons.insert(m_buttons.end(), moreButtons.begin(), moreButtons.end());
    connect(m_c.sendit, &QPushButton::clicked, this, &CommandSender::onSendit);
    connect(m_c.Version, &QPushButton::clicked, this, &CommandSender::onVersion);
}

void CommandSender::onSendit() {
    sendLong([this] {
        return sendLongCommand(m_console.link, typed(m_c.cmddat), typed(m_c.data5bytes));
    });
}

// R02 whatever the code box holds.
void CommandSender::onVersion() {
    sendLong([this] { return requestVersion(m_console.link, typed(m_c.data5bytes)); });
}

template <class Send> void CommandSender::sendLong(Send&& send) {
    m_c.working->setText("WAITING FOR RESPONCE");
    m_c.responce->clear();
    sendAndShow(std::forward<Send>(send));
    m_c.working->clear();
}

void CommandSender::showOutcome(const SentCommand& sent) {
    if (std::optional<std::string> version = versionLabel(sent)) {
        m_c.inver->setText(QString::fromLatin1(version->c_str()));
    }
    m_c.responce->setPlainText(QString::fromLatin1(responseText(sent).c_str()));
}

} // namespace pkivo
