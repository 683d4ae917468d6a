// "Write to Flash" against a scripted controller on virtual time: page order, the "OV0OK"
// check of every page, silent controllers and unreadable files.
#include "console/flashdownload.h"
#include "scriptedlink.h"
#include "temphome.h"

#include <QDir>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

std::string pageLine(int page, char fill) {
    return decimalDigits(uint64_t(page), 5) + std::string(528, fill);
}

struct PageLog : DownloadObserver {
    void pageStarted(const std::string& pageText, int index, int total) override {
        pages.push_back(pageText + " " + std::to_string(index + 1) + "/" + std::to_string(total));
    }
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
    void everyPageGoesAndEachIsConfirmed();
    void firstUnconfirmedPageStopsTheDownload_data();
    void firstUnconfirmedPageStopsTheDownload();
    void controllerThatStopsAnsweringFailsAtTheNextPage();
    void sentPageWithoutReplyWaitsThirtySecondsMore();
    void unreadableOrEmptyFilesSendNothing();
};

void FlashDownloadTest::everyPageGoesAndEachIsConfirmed() {
    TempHome home;
    QDir().mkpath(QString::fromStdString(home.file("Tolvane")));
    const std::string lines[] = {pageLine(0, 'A'), pageLine(7, 'B'), pageLine(2, 'C')};
    writeWholeFile(home.file("Tolvane/flash.tmp"),
                   lines[0] + "\r\n" + lines[1] + "\n" + lines[2] + "\r\n");
    ScriptedLink s;
    for (const std::string& line : lines) {
        expectPage(s, line, written);
    }
    PageLog log;
    QCOMPARE(downloadFlashFile(s.link, "c:\\Tolvane\\flash.tmp", log).result, DownloadResult::Ok);
    PKIVO_VERIFY_SCRIPT(s.port);
    QCOMPARE(log.pages, (std::vector<std::string>{"00000 1/3", "00007 2/3", "00002 3/3"}));
    QVERIFY(!s.g().timedout);
}

void FlashDownloadTest::firstUnconfirmedPageStopsTheDownload_data() {
    QTest::addColumn<QString>("middleReply");
    QTest::addColumn<QString>("lastReply"); // empty: the last page is never sent
    QTest::addColumn<QString>("message");   // empty: the download ends OK
    QTest::newRow("all written") << QString::fromStdString(written)
                                 << QString::fromStdString(written) << QString();
    QTest::newRow("middle refused") << QString::fromStdString(refused) << QString()
                                    << "Error writing controller\nPage 00001 was not written: "
                                       "the controller answered \"OV0NO---------------\".";
    QTest::newRow("last refused") << QString::fromStdString(written)
                                  << QString::fromStdString(refused)
                                  << "Error writing controller\nPage 00002 was not written: "
                                     "the controller answered \"OV0NO---------------\".";
    QTest::newRow("middle answered in lower case")
        << "ov0ok" + QString(59, '-') << QString()
        << "Error writing controller\nPage 00001 was not written: the controller answered "
           "\"ov0ok---------------\".";
}

void FlashDownloadTest::firstUnconfirmedPageStopsTheDownload() {
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

void FlashDownloadTest::controllerThatStopsAnsweringFailsAtTheNextPage() {
    TempHome home;
    std::string file;
    for (int page = 0; page < 5; ++page) {
        file += pageLine(page, 'E') + "\r\n";
    }
    writeWholeFile(home.file("flash.tmp"), file);
    ScriptedLink s;
    expectPage(s, pageLine(0, 'E'), written);
    expectPage(s, pageLine(1, 'E'), written);
    s.port.expect("#"); // page 2: silence; the first attention attempt runs out after 2 s
    const Millis start = s.now();
    PageLog log;
    QCOMPARE(downloadFlashFile(s.link, home.file("flash.tmp"), log).result,
             DownloadResult::Failed);
    QCOMPARE(log.pages.size(), size_t(3));
    QVERIFY(s.g().timedout);
    // Four attention attempts of 2 s, then flashwait returns at once: nothing is sent.
    QCOMPARE(s.port.writes().back().text, std::string("#"));
    QCOMPARE(int(s.port.writes().size()), 2 * 2 + 4);
    QVERIFY(s.now() - start >= 8000ms);
    QVERIFY(s.now() - start < 8200ms);
}

void FlashDownloadTest::sentPageWithoutReplyWaitsThirtySecondsMore() {
    TempHome home;
    writeWholeFile(home.file("flash.tmp"), pageLine(3, '0') + "\r\n");
    ScriptedLink s;
    s.port.expect("#").answer("!", 1ms);
    s.port.expect("$" + pageLine(3, '0')); // sent, never answered
    const Millis start = s.now();
    PageLog log;
    const DownloadOutcome outcome = downloadFlashFile(s.link, home.file("flash.tmp"), log);
    QCOMPARE(downloadFailureText(outcome, "x"),
             std::string("Error writing controller\nPage 00003 was not written: Z Unable to "
                         "connect."));
    // 8 s for the reply, then flashwait's 30 s.
    QCOMPARE((s.now() - start).count(), (1ms + 8000ms + 30000ms).count());
}

void FlashDownloadTest::unreadableOrEmptyFilesSendNothing() {
    TempHome home;
    ScriptedLink s;
    s.g().packet = written; // an earlier download's confirmation must not count again
    PageLog log;
    const DownloadOutcome missing = downloadFlashFile(s.link, "c:\\Tolvane\\none.tmp", log);
    QCOMPARE(missing.result, DownloadResult::FileUnreadable);
    QCOMPARE(downloadFailureText(missing, "c:\\Tolvane\\none.tmp"),
             std::string("Canot open flash data file c:\\Tolvane\\none.tmp: convert a script first."));
    writeWholeFile(home.file("empty.tmp"), "");
    QCOMPARE(downloadFlashFile(s.link, home.file("empty.tmp"), log).result,
             DownloadResult::FileEmpty);
    QVERIFY(s.port.writes().empty());
    QVERIFY(log.pages.empty());
}

QTEST_GUILESS_MAIN(FlashDownloadTest)
#include "test_flashdownload.moc"
