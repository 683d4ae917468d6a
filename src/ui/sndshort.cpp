#include "ui/sndshort.h"

#include "console/commandsender.h"
#include "console/console.h"
#include "ui_sndshort.h"

namespace pkivo {

namespace {

// A short packet: "O", the command letter, six data characters, "H".
const char* const shorttemplate = "OXDDDDDDH";

} // namespace

Sndshort::Sndshort(Console& console)
    : CommandSender(console), m_ui(std::make_unique<Ui::Sndshort>()) {
    m_ui->setupUi(this);
    attach({m_ui->cmddat, m_ui->sendit, m_ui->data5bytes, m_ui->Version, m_ui->inver,
            m_ui->responce, m_ui->working},
           {m_ui->Command1});
    connect(m_ui->Command1, &QPushButton::clicked, this, &Sndshort::onCommand1);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Sndshort::onCommand2);
}

Sndshort::~Sndshort() = default;

// Sent as typed: a packet the controller does not understand is the user's to try.
void Sndshort::onCommand1() {
    const std::string typed = m_ui->Text1->text().toLatin1().toStdString();
    sendAndShow([&] { return sendShortCommand(m_console.link, typed); });
}

void Sndshort::onCommand2() {
    m_ui->Text1->setText(shorttemplate);
}

} // namespace pkivo
