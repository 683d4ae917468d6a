#include "ui/filegobbler.h"

#include "console/console.h"
#include "platform/uiservices.h"
#include "platform/waiter.h"
#include "ui_filegobbler.h"

namespace pkivo {

namespace {

const char* const lightRed = "#FF8080";
const char* const lightGreen = "#80FF80";
const char* const idleGrey = "#E0E0E0";
constexpr int elapsedTickMs = 100;

QString fromLatin1(const std::string& text) {
    return QString::fromLatin1(text.c_str());
}

} // namespace

Filegobbler::Filegobbler(Console& console)
    : QWidget(nullptr, Qt::Window), LinkWindow(console), m_ui(std::make_unique<Ui::Filegobbler>()),
      m_paths(ConversionPaths::fromSettings(console.sysparams)), m_conversion(*this) {
    m_ui->setupUi(this);
    m_ui->SourceFile->setText(fromLatin1(m_paths.source));
    m_ui->tempfile->setText(fromLatin1(m_paths.tempfile));
    m_ui->Listfile->setText(fromLatin1(m_paths.listfile));
    m_elapsedTicks = new QTimer(this);
    m_elapsedTicks->setInterval(elapsedTickMs);
    connect(m_elapsedTicks, &QTimer::timeout, this, &Filegobbler::showElapsed);
    showIndicator("OK", idleGrey);
    connect(m_ui->Readkivo, &QPushButton::clicked, this, &Filegobbler::onReadkivo);
    connect(m_ui->toflash, &QPushButton::clicked, this, &Filegobbler::onToflash);
}

Filegobbler::~Filegobbler() = default;

void Filegobbler::onReadkivo() {
    ConversionPaths paths = m_paths;
    paths.source = m_ui->SourceFile->text().toLatin1().toStdString();
    paths.tempfile = m_ui->tempfile->text().toLatin1().toStdString();
    paths.listfile = m_ui->Listfile->text().toLatin1().toStdString();
    // The buttons come back after a failed conversion too, so the user can try again.
    exchange({m_ui->Readkivo, m_ui->toflash}, [&] { m_conversion.run(paths); });
}

void Filegobbler::passFinished(int, const Counters& c, const std::string& text) {
    m_ui->goodlines->setNum(int(c.goodlines));
    m_ui->errorbumper->setNum(int(c.errorbumper));
    m_ui->blanklines->setNum(int(c.blanklines));
    m_ui->callcount->setNum(int(c.callcount));
    m_ui->returncount->setNum(int(c.returncount));
    m_ui->docount->setNum(int(c.docount));
    m_ui->loopcount->setNum(int(c.loopcount));
    m_ui->output1->setPlainText(fromLatin1(text));
}

void Filegobbler::processingError(const std::string& message) {
    m_console.ui.messageBox(message);
}

void Filegobbler::onToflash() {
    exchange({m_ui->Readkivo, m_ui->toflash}, [this] { download(); });
}

void Filegobbler::download() {
    showIndicator("BUSY", lightRed);
    showNoPages();
    m_ui->elapsedTime->clear();
    m_downloadStart = m_console.waiter.clock().now();
    m_elapsedTicks->start();
    // The path is read when the download starts, so a saved setup change counts at once.
    const std::string path = m_console.sysparams.flashfileloc();
    const DownloadOutcome outcome = downloadFlashFile(m_console.link, path, *this);
    m_elapsedTicks->stop();
    // Before any message box: the time it stays open is not the download's.
    showElapsed();
    if (outcome.result == DownloadResult::Ok) {
        m_ui->downloadProgress->setValue(m_ui->downloadProgress->maximum());
        showIndicator("OK", lightGreen);
        return;
    }
    showIndicator("FAIL", lightRed);
    m_console.ui.messageBox(downloadFailureText(outcome, path));
}

// Until the first page goes, the bar says so instead of "0 of 1 pages".
void Filegobbler::showNoPages() {
    m_ui->downloadProgress->setRange(0, 1);
    m_ui->downloadProgress->setValue(0);
    m_ui->downloadProgress->setFormat("No page sent");
}

void Filegobbler::pageStarted(const std::string& pageText, int index, int total) {
    m_ui->Text1->setText(fromLatin1(pageText));
    m_ui->downloadProgress->setFormat("%v of %m pages");
    m_ui->downloadProgress->setMaximum(total);
    m_ui->downloadProgress->setValue(index);
    showElapsed();
}

void Filegobbler::showElapsed() {
    const Millis elapsed = m_console.waiter.clock().now() - m_downloadStart;
    const double seconds = double(elapsed.count()) / 1000;
    m_ui->elapsedTime->setText(QString("%1 s").arg(seconds, 0, 'f', 1));
}

// A lamp, not a button: a rounded, flat, coloured label.
void Filegobbler::showIndicator(const char* caption, const char* colour) {
    m_ui->Flashindicator->setText(caption);
    m_ui->Flashindicator->setStyleSheet(
        QString("background-color: %1; border: 1px solid #606060; border-radius: 9px; "
                "padding: 1px 8px; font-weight: bold;")
            .arg(colour));
}

} // namespace pkivo
