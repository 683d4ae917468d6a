// "Write to Flash" against a scripted controller on virtual time: the "OV0OK" check of every
// page, a page without a reply and a missing file.
#include "console/flashdownload.h"
#include "scriptedlink.h"
#include "temphome.h"

using namespace pkivo;
using namespace pkivo::test;
using S = std::string;

namespace {

struct PageLog : DownloadObserver {
    void pageStarted(const S& pageText, int, int) override { pages.push_back(pageText); }
    std::vector<S> pages;
};

// The replies to pages 0, 1 and 2 ("-": none comes; the rest are never sent), and the failure.
struct Row {
    std::vector<S> replies;
    S message;
};

} // namespace

Q_DECLARE_METATYPE(Row)

class FlashDownloadTest : public QObject {
    Q_OBJECT
private slots:
    // Waiting for a reply is flashwait's; the download names the page and sends no more.
    void firstUnconfirmedPageStopsTheDownload_data() {
        QTest::addColumn<Row>("row");
        const S ok = "OV0OK" + S(59, '-'), no = "OV0NO" + S(59, '-');
        const S failed = "Error writing controller\nPage 0000";
        const S answeredNo = " was not written: the controller answered \"OV0NO---------------\".";
        const S lower = " was not written: the controller answered \"ov0ok---------------\".";
        QTest::newRow("all written") << Row{{ok, ok, ok}, ""};
        QTest::newRow("middle refused") << Row{{ok, no}, failed + "1" + answeredNo};
        QTest::newRow("middle unanswered")
            << Row{{ok, "-"}, failed + "1 was not written: Z Unable to connect."};
        QTest::newRow("middle in lower case")
            << Row{{ok, "ov0ok" + S(59, '-')}, failed + "1" + lower};
    }
    void firstUnconfirmedPageStopsTheDownload() {
        QFETCH(Row, row);
        TempHome home;
        ScriptedLink s;
        S file;
        for (int page = 0; page < 3; ++page) {
            const S line = "0000" + std::to_string(page) + S(528, char('1' + page));
            file += line + "\r\n";
            if (size_t(page) < row.replies.size()) {
                s.port.expect("#").answer("!", 5ms);
                auto& step = s.port.expect("$" + line);
                if (row.replies[page] != "-") {
                    step.answer(row.replies[page], 20ms);
                }
            }
        }
        writeWholeFile(home.file("flash.tmp"), file);
        PageLog log;
        const DownloadOutcome outcome = downloadFlashFile(s.link, home.file("flash.tmp"), log);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(outcome.result, row.message.empty() ? DownloadResult::Ok : DownloadResult::Failed);
        QCOMPARE(downloadFailureText(outcome, "x"), row.message);
        QCOMPARE(log.pages.size(), row.replies.size());
        QCOMPARE(s.g().timedout, !row.message.empty());
    }

    // An empty file is the converter window's case.
    void missingFileSendsNothing() {
        TempHome home;
        ScriptedLink s;
        PageLog log;
        const S file = "c:\\Tolvane\\flash.tmp";
        const DownloadOutcome outcome = downloadFlashFile(s.link, file, log);
        QCOMPARE(outcome.result, DownloadResult::FileUnreadable);
        QCOMPARE(downloadFailureText(outcome, file),
                 "Canot open flash data file " + file + ": convert a script first.");
        QVERIFY(s.port.writes().empty());
        QVERIFY(log.pages.empty());
    }
};

QTEST_GUILESS_MAIN(FlashDownloadTest)
#include "test_flashdownload.moc"
