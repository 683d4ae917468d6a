#include "ui/kivocon.h"

#include "console/console.h"
#include "console/linekeeper.h"
#include "console/linenumber.h"
#include "console/runcommands.h"
#include "link/packets.h"
#include "ui/aboutform.h"
#include "ui/binsend.h"
#include "ui/filegobbler.h"
#include "ui/insbuilder.h"
#include "ui/memoryeditor.h"
#include "ui/packedinsbuilder.h"
#include "ui/parametercon.h"
#include "ui/positionbuilder.h"
#include "ui/releasenotes.h"
#include "ui/sendinst.h"
#include "ui/sndshort.h"
#include "ui/spdbuild.h"
#include "ui/ssetup.h"
#include "ui/windowset.h"
#include "ui_kivocon.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace pkivo {

Kivocon::Kivocon(Console& console, WindowSet& windows)
    : LinkWindow(console), m_ui(std::make_unique<Ui::Kivocon>()), m_windows(windows),
      m_keeper(windows.service<LineKeeper>()) {
    m_ui->setupUi(this);
    connect(m_ui->Run, &QPushButton::clicked, this, &Kivocon::onRun);
    connect(m_ui->pauseit, &QPushButton::clicked, this, &Kivocon::onPause);
    connect(m_ui->stopall, &QPushButton::clicked, this, &Kivocon::onStop);
    connect(m_ui->Runatline, &QPushButton::clicked, this, &Kivocon::onRunAtLine);
    connect(m_ui->linetorun, &QLineEdit::textEdited, m_ui->linetorunError, &QLabel::clear);
    connect(m_ui->Monitor, &QPushButton::clicked, this, &Kivocon::onMonitor);
    connect(m_ui->Getstatus, &QPushButton::clicked, this, &Kivocon::onRefresh);
    connect(m_ui->filegobblery, &QAction::triggered, this,
            [this] { m_windows.show<Filegobbler>(); });
    connect(m_ui->About, &QAction::triggered, this, [this] { m_windows.show<Aboutform>(); });
    connect(m_ui->relnotes, &QAction::triggered, this, [this] { m_windows.show<ReleaseNotes>(); });
    connect(m_ui->ssetupY, &QAction::triggered, this, [this] { m_windows.show<Ssetup>(); });
    connect(m_ui->MemoryeditorY, &QAction::triggered, this,
            [this] { m_windows.show<Memoryeditor>(); });
    connect(m_ui->sendinstY, &QAction::triggered, this, [this] { m_windows.show<Sendinst>(); });
    connect(m_ui->sendinstX, &QAction::triggered, this, [this] { m_windows.show<Sndshort>(); });
    connect(m_ui->parameterconY, &QAction::triggered, this,
            [this] { m_windows.show<Parametercon>(); });
    connect(m_ui->binsendY, &QAction::triggered, this, [this] { m_windows.show<Binsend>(); });
    connect(m_ui->posbuild, &QAction::triggered, this,
            [this] { m_windows.show<Positionbuilder>(); });
    connect(m_ui->insbuild, &QAction::triggered, this, [this] { m_windows.show<Insbuilder>(); });
    connect(m_ui->pinsbuild, &QAction::triggered, this,
            [this] { m_windows.show<Packedinsbuilder>(); });
    connect(m_ui->speedbuilderY, &QAction::triggered, this, [this] { m_windows.show<Spdbuild>(); });
    m_windows.provide<Reconnector>(*this);
    keepLine();
}

// The reconnect switch in the Setup menu, and the board field while the line is lost.
void Kivocon::keepLine() {
    m_ui->reconnectY->setEnabled(m_keeper != nullptr);
    if (m_keeper == nullptr) {
        return;
    }
    m_ui->reconnectY->setChecked(m_keeper->enabled());
    connect(m_ui->reconnectY, &QAction::toggled, this, [this](bool on) {
        m_keeper->setEnabled(on);
        saveReconnectChoice(on);
    });
    m_keeper->setBoardShown([this](const std::string& board) {
        m_ui->BoardData1->setText(QString::fromStdString(board));
    });
}

Kivocon::~Kivocon() = default;

void Kivocon::startUp() {
    m_ui->notifications->setText("None");
    m_ui->BoardData1->setText("No Information");
    reconnect();
}

ConnectResult Kivocon::reconnect() {
    const ConnectResult result = m_console.link.opencomport(m_console.portSettings(), m_console.ui);
    if (result != ConnectResult::Busy) {
        showBoardInfo();
    }
    return result;
}

void Kivocon::showBoardInfo() {
    m_ui->BoardData1->setText(QString::fromLatin1(m_console.link.boardinfo().c_str()));
}

void Kivocon::closeEvent(QCloseEvent* event) {
    // The port closes here, not after the event loop: waits still under way end at once
    // when the application quits, and a port search at start-up gives up.
    m_console.link.shutDown();
    event->accept();
    QCoreApplication::quit();
}

void Kivocon::onRun() {
    runCommand("Run", packet::runProgram(0));
    runMonitor();
}

void Kivocon::onRunAtLine() {
    std::optional<uint32_t> line = parseLineNumber(m_ui->linetorun->text().toStdString());
    if (!line) {
        m_ui->linetorunError->setText(
            QString("Enter a whole line number from 0 to %1").arg(largestLine));
        return;
    }
    m_ui->linetorunError->clear();
    runCommand("Run", packet::runProgram(*line));
    runMonitor();
}

void Kivocon::onPause() {
    runCommand("Pause", packet::pauseProgram());
}

void Kivocon::onStop() {
    runCommand("Stop", packet::stopProgram());
}

// A run command that did not reach the controller says so beside the run buttons until one
// gets through: a Stop that failed must never look like one that worked.
void Kivocon::runCommand(const char* name, const std::string& runPacket) {
    const RunCommandResult result =
        exchange({m_ui->Run, m_ui->Runatline, m_ui->pauseit, m_ui->stopall},
                 [&] { return sendRunCommand(m_console.link, runPacket); });
    if (result.sent()) {
        m_ui->runResult->clear();
        return;
    }
    m_ui->runResult->setText(QString("%1 was not sent: %2 %3")
                                 .arg(name, QString::fromLatin1(result.errcode.c_str()),
                                      QString::fromLatin1(result.errtext.c_str())));
}

// "Monitor status": listen to a program that is already running, without starting it.
void Kivocon::onMonitor() {
    runMonitor();
}

// "Refresh status": wait for one record and show it.
void Kivocon::onRefresh() {
    Link& link = m_console.link;
    link.setMonitoring(true);
    link.waitstatus();
    if (decodeStatus(link.globals().tempstr1, m_status)) {
        showStatus(m_status);
    }
}

// A monitor cut off by a lost line listens again once the line is back.
void Kivocon::runMonitor() {
    m_console.link.setMonitoring(true);
    do {
        statusmonitor(m_console.link, m_status, [this](const StatusDisplay& d) { showStatus(d); });
    } while (m_keeper != nullptr && m_keeper->awaitLine());
}

void Kivocon::showStatus(const StatusDisplay& d) {
    m_ui->Label4->setText(QString::fromStdString(d.position));
    m_ui->Label5->setText(QString::fromStdString(d.stack));
    m_ui->Label6->setText(QString::fromStdString(d.loop));
    m_ui->currentline->setText(QString::fromStdString(d.currentline));
    m_ui->Runstop->setText(QString::fromStdString(d.runstop));
    m_ui->notifications->setText(QString::fromStdString(d.notifications));
}

} // namespace pkivo
