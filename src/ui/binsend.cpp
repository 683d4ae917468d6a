#include "ui/binsend.h"

#include "console/console.h"
#include "core/numbertext.h"
#include "link/packets.h"
#include "platform/uiservices.h"
#include "platform/waiter.h"
#include "ui/refusedbox.h"
#include "ui_binsend.h"

#include <QTimer>

namespace pkivo {

namespace {

constexpr int tickMs = 100;

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.c_str());
}

} // namespace

Binsend::Binsend(Console& console)
    : QWidget(nullptr, Qt::Window), LinkWindow(console), m_ui(std::make_unique<Ui::Binsend>()),
      m_ticker(new QTimer(this)) {
    m_ui->setupUi(this);
    m_ui->Filename->setText(flashToolsFile);
    m_ticker->setObjectName("elapsedTicker");
    m_ticker->setInterval(tickMs);
    connect(m_ticker, &QTimer::timeout, this, &Binsend::showElapsed);
    connect(m_ui->Command6, &QPushButton::clicked, this, &Binsend::onCommand6);
    connect(m_ui->Command9, &QPushButton::clicked, this, &Binsend::onCommand9);
    connect(m_ui->Command8, &QPushButton::clicked, this, &Binsend::onCommand8);
    connect(m_ui->savefla, &QPushButton::clicked, this, &Binsend::onSavefla);
    connect(m_ui->readfla, &QPushButton::clicked, this, &Binsend::onReadfla);
    connect(m_ui->cancelTransfer, &QPushButton::clicked, this,
            [this] { m_cancelRequested = true; });
}

Binsend::~Binsend() = default;

void Binsend::onCommand6() {
    rawPageRead();
}

bool Binsend::rawPageRead() {
    const std::string typed = m_ui->Text5->text().toLatin1().toStdString();
    // The page goes as typed, rightmost five digits; anything but digits is not sent.
    const bool refused = !wholeNumber(typed, numberCeiling);
    markRefused(m_ui->Text5, refused);
    m_ui->pageReason->setText(refused ? "Type a page number" : "");
    if (refused) {
        return false;
    }
    const PageRead read = exchange({m_ui->Command6, m_ui->Command9, m_ui->Command8},
                                   [&] { return readPage(m_console.link, typed); });
    m_ui->Text3->setPlainText(read.digits ? latin1(*read.digits) : latin1(read.error));
    return read.digits.has_value();
}

void Binsend::onCommand9() {
    if (rawPageRead()) {
        m_ui->Text3->setPlainText(latin1(pageAsLines(m_console.link.globals().packdata)));
    }
}

void Binsend::onCommand8() {
    if (!m_console.ui.question(eraseQuestion)) {
        return;
    }
    const std::string request = packet::eraseFlash();
    m_ui->Text3->setPlainText(latin1(request));
    const bool erased = exchange({m_ui->Command6, m_ui->Command9, m_ui->Command8},
                                 [this] { return eraseFlash(m_console.link); });
    const QString reply = erased ? latin1(m_console.link.globals().packet) : statusText();
    m_ui->Label2->setText(reply);
    m_ui->Label2->setToolTip(reply);
    m_ui->Text3->appendPlainText(reply);
}

void Binsend::onSavefla() {
    const RangeCheck check = checkPageRange(m_ui->Startpage->text().toLatin1().toStdString(),
                                            m_ui->endpage->text().toLatin1().toStdString());
    markRefused(m_ui->Startpage, check.startRefused);
    markRefused(m_ui->endpage, check.endRefused);
    m_ui->rangeReason->setText(latin1(check.reason));
    if (!check.range) {
        m_ui->Text3->setPlainText(addressOutOfRange);
        return;
    }
    const std::string path = m_ui->Filename->text().toLatin1().toStdString();
    showOutcome(
        transfer([&] { return readPagesIntoFile(m_console.link, *check.range, path, *this); }));
}

void Binsend::onReadfla() {
    const std::string path = m_ui->Filename->text().toLatin1().toStdString();
    showOutcome(transfer([&] { return writeFileIntoFlash(m_console.link, path, *this); }));
}

FlashOutcome Binsend::transfer(const std::function<FlashOutcome()>& run) {
    m_cancelRequested = false;
    m_transferStart = m_console.waiter.clock().now();
    m_ui->transferProgress->setFormat("%v of %m pages");
    m_ui->transferProgress->setValue(0);
    m_ui->transferResult->clear();
    m_ui->cancelTransfer->setEnabled(true);
    m_ticker->start();
    const FlashOutcome outcome = exchange(
        {m_ui->Command6, m_ui->Command9, m_ui->Command8, m_ui->savefla, m_ui->readfla}, run);
    m_ticker->stop();
    m_ui->cancelTransfer->setEnabled(false);
    showElapsed();
    return outcome;
}

void Binsend::showOutcome(const FlashOutcome& outcome) {
    switch (outcome.result) {
    case FlashResult::Ok:
        m_ui->transferProgress->setValue(m_ui->transferProgress->maximum());
        m_ui->transferResult->setText("OK");
        return;
    case FlashResult::Cancelled:
        m_ui->transferResult->setText("Cancelled");
        break;
    case FlashResult::Failed:
        m_ui->transferResult->setText("FAIL");
        break;
    }
    m_console.ui.messageBox(outcome.message);
}

void Binsend::pageStarted(const std::string& pageText, int index, int total) {
    m_ui->Text5->setText(latin1(pageText));
    m_ui->transferProgress->setMaximum(total);
    m_ui->transferProgress->setValue(index);
    showElapsed();
}

void Binsend::pageDigits(const std::string& digits) {
    m_ui->Text3->setPlainText(latin1(pageAsLines(digits)));
}

void Binsend::showElapsed() {
    const Millis elapsed = m_console.waiter.clock().now() - m_transferStart;
    m_ui->elapsedTime->setText(QString("%1 s").arg(double(elapsed.count()) / 1000, 0, 'f', 1));
}

} // namespace pkivo
