// "Write to Flash" against a scripted controller on virtual time: the "OV0OK" check of every
// page, a page without a reply and a missing file.
#include "console/flashdownload.h"
#include "scriptedlink.h"
#include "temphome.h"

#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

std::string pageLine(int page, char fill) {
    return decimalDigits(uint64_t(page), 5) + std::string(528, fill);
}

struct PageLog : DownloadObserver {
    void pageStarted(const std::string& pageText, int, int) override { pages.push_back(pageText); }
    std::vector<std::string> pages;
};

// The controller takes "#", answers "!", takes "$" + the line and answers `reply`.
void expectPage(ScriptedLink& s, const std::string& line, const std::string& reply) {
    s.port.expect("#").answer("!", 5ms);
    s.port.expect("$" + line).answer(reply, 20ms);
}

const std::string written = "OV0OK" + std::string(59, '-');
const std::string refused = "OV0NO" + std::string(59, '-');

} // namespace

class FlashDownloadTest : public QObject {
    Q_OBJECT
private slots:
    void firstUnconfirmedPageStopsTheDownload_data() {
        QTest::addColumn<QString>("middleReply");
        QTest::addColumn<QString>("lastReply"); // empty: the last page is never sent
        QTest::addColumn<QString>("message");   // empty: the download ends OK
        QTest::newRow("all written")
            << QString::fromStdString(written) << QString::fromStdString(written) << QString();
        QTest::newRow("middle refused") << QString::fromStdString(refused) << QString()
                                        << "Error writing controller\nPage 00001 was not written: "
                                           "the controller answered \"OV0NO---------------\".";
        QTest::newRow("last refused")
            << QString::fromStdString(written) << QString::fromStdString(refused)
            << "Error writing controller\nPage 00002 was not written: "
               "the controller answered \"OV0NO---------------\".";
        QTest::newRow("middle answered in lower case")
            << "ov0ok" + QString(59, '-') << QString()
            << "Error writing controller\nPage 00001 was not written: the controller answered "
               "\"ov0ok---------------\".";
    }

    void firstUnconfirmedPageStopsTheDownload() {
        QFETCH(QString, middleReply);
        QFETCH(QString, lastReply);
        QFETCH(QString, message);
        TempHome home;
        writeWholeFile(home.file("flash.tmp"),
                       pageLine(0, '1') + "\r\n" + pageLine(1, '2') + "\r\n" + pageLine(2, '3'));
        ScriptedLink s;
        expectPage(s, pageLine(0, '1'), written);
        expectPage(s, pageLine(1, '2'), middleReply.toStdString());
        if (!lastReply.isEmpty()) {
            expectPage(s, pageLine(2, '3'), lastReply.toStdString());
        }
        PageLog log;
        const DownloadOutcome outcome = downloadFlashFile(s.link, home.file("flash.tmp"), log);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(outcome.result, message.isEmpty() ? DownloadResult::Ok : DownloadResult::Failed);
        QCOMPARE(QString::fromStdString(downloadFailureText(outcome, "x")), message);
        QCOMPARE(s.g().timedout, !message.isEmpty());
    }

    // Waiting for the reply is flashwait's; the download names the page and sends no more.
    void unansweredPageIsNamedAndEndsTheDownload() {
        TempHome home;
        writeWholeFile(home.file("flash.tmp"),
                       pageLine(3, '0') + "\r\n" + pageLine(4, '0') + "\r\n");
        ScriptedLink s;
        s.port.expect("#").answer("!", 1ms);
        s.port.expect("$" + pageLine(3, '0')); // sent, never answered
        PageLog log;
        const DownloadOutcome outcome = downloadFlashFile(s.link, home.file("flash.tmp"), log);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(downloadFailureText(outcome, "x"),
                 std::string("Error writing controller\nPage 00003 was not written: Z Unable to "
                             "connect."));
        QCOMPARE(log.pages, std::vector<std::string>{"00003"});
        QVERIFY(s.g().timedout);
    }

    // An empty file is the converter window's case.
    void missingFileSendsNothing() {
        TempHome home;
        ScriptedLink s;
        PageLog log;
        const DownloadOutcome outcome = downloadFlashFile(s.link, "c:\\Tolvane\\flash.tmp", log);
        QCOMPARE(outcome.result, DownloadResult::FileUnreadable);
        QCOMPARE(downloadFailureText(outcome, "c:\\Tolvane\\flash.tmp"),
                 std::string("Canot open flash data file c:\\Tolvane\\flash.tmp: convert a script "
                             "first."));
        QVERIFY(s.port.writes().empty());
        QVERIFY(log.pages.empty());
    }
};

QTEST_GUILESS_MAIN(FlashDownloadTest)
#include "test_flashdownload.moc"
