#include "ui/ssetup.h"

#include "console/console.h"
#include "platform/uiservices.h"
#include "setup/settingsfile.h"
#include "setup/setupboxes.h"
#include "ui/reconnector.h"
#include "ui/windowset.h"
#include "ui_ssetup.h"

namespace pkivo {

namespace {

const char* const comPortHelp =
    "With PKivo Version 2.01, Serial ports can be selected automatically, the first port with a "
    "Kivo product attached will be used by PKivo. This option is selected by setting the port "
    "number to 00. You may also set the port to a specific number. The current version serial "
    "driver will accept port numbers up to 16, if your port number is above 16, re-assign the "
    "number. The port assignment in Windows is in Device Manager, Ports (Com & LPT), Port "
    "Settings, Advanced Tab.";
// How the numbers map on this platform (docs/ports.md says more).
const char* const comPortHelpHere =
    "\n\nOn this computer, port n is the device that ~/.config/pkivo/dosdevices/com<n> links to; "
    "without a link, ports 1-32 are /dev/ttyS0-31, 33-48 /dev/ttyUSB0-15 and 49-56 "
    "/dev/ttyACM0-7.";

} // namespace

Ssetup::Ssetup(Console& console, WindowSet& windows)
    : QWidget(nullptr, Qt::Window), m_ui(std::make_unique<Ui::Ssetup>()), m_console(console),
      m_windows(windows) {
    m_ui->setupUi(this);
    for (const SetupBox& box : setupBoxes) {
        m_boxes.push_back(findChild<QLineEdit*>(box.name));
    }
    connect(m_ui->loadparam, &QPushButton::clicked, this, &Ssetup::onLoadparam);
    connect(m_ui->Saveparams, &QPushButton::clicked, this, &Ssetup::onSaveparams);
    connect(m_ui->Cominfo, &QPushButton::clicked, this, &Ssetup::onCominfo);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Ssetup::onCommand2);
    onLoadparam();
}

Ssetup::~Ssetup() = default;

// The file is read again, so a change in memory that was not saved is dropped.
void Ssetup::onLoadparam() {
    if (readparams(m_console.sysparams, m_console.ui)) {
        showparams();
    }
}

void Ssetup::showparams() {
    for (size_t i = 0; i < setupBoxes.size(); ++i) {
        m_boxes[i]->setText(
            QString::fromLatin1(m_console.sysparams.field(setupBoxes[i].field).c_str()));
    }
}

void Ssetup::onSaveparams() {
    for (size_t i = 0; i < setupBoxes.size(); ++i) {
        saveSetupBox(m_console.sysparams, setupBoxes[i],
                     m_boxes[i]->text().toLatin1().toStdString());
    }
    writeparams(m_console.sysparams, m_console.ui);
}

void Ssetup::onCominfo() {
    m_console.ui.messageBox(std::string(comPortHelp) + comPortHelpHere);
}

// The port opens with the settings in memory: boxes edited but not saved do not count.
void Ssetup::onCommand2() {
    Reconnector* main = m_windows.service<Reconnector>();
    m_ui->Command2->setEnabled(false);
    const ConnectResult result = main != nullptr ? main->reconnect() : ConnectResult::Busy;
    m_ui->Command2->setEnabled(true);
    switch (result) {
    case ConnectResult::Connected:
        m_ui->reconnectResult->setText("Connected:" +
                                       QString::fromLatin1(m_console.link.boardinfo().c_str()));
        break;
    case ConnectResult::Failed:
        m_ui->reconnectResult->setText("No controller answered");
        break;
    case ConnectResult::Busy:
        m_ui->reconnectResult->setText("The link is busy with another exchange: try again");
        break;
    }
}

} // namespace pkivo
