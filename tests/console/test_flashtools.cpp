// The flash tools without a window: the range and page-line checks, and a range read that
// fails or comes garbled leaving the old file as it was, against a scripted controller.
#include "console/flashtools.h"
#include "platform/textfile.h"
#include "scriptedlink.h"
#include "temphome.h"

#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

namespace {

struct Quiet : FlashToolsObserver {
    void pageStarted(const std::string&, int, int) override {}
    void pageDigits(const std::string&) override {}
    bool cancelRequested() override { return cancel; }
    bool cancel = false;
};

const std::string page7(528, '7');

} // namespace

class FlashToolsTest : public QObject {
    Q_OBJECT
private slots:
    void rangeIsPagesZeroTo2047InOrder_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<int>("refused"); // 0 none, 1 start, 2 end, 3 both
        QTest::newRow("one page") << "625"
                                  << "625" << 0;
        QTest::newRow("whole flash") << "00000"
                                     << "2047" << 0;
        QTest::newRow("end 2048") << "0"
                                  << "2048" << 2;
        QTest::newRow("start -1") << "-1"
                                  << "5" << 1;
        QTest::newRow("end below start") << "10"
                                         << "5" << 2;
        QTest::newRow("not numbers") << "a"
                                     << "" << 3;
    }
    void rangeIsPagesZeroTo2047InOrder() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(int, refused);
        const RangeCheck check = checkPageRange(start.toStdString(), end.toStdString());
        QCOMPARE(check.range.has_value(), refused == 0);
        QCOMPARE(int(check.startRefused) + 2 * int(check.endRefused), refused);
    }

    void pageLineIsFiveDigitsThen528HexDigits_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("page 2047") << "02047" + QString(528, 'F') << true;
        QTest::newRow("page 2048") << "02048" + QString(528, 'F') << false;
        QTest::newRow("527 digits") << "00001" + QString(527, 'F') << false;
        QTest::newRow("529 digits") << "00001" + QString(529, 'F') << false;
        QTest::newRow("lower case") << "00001" + QString(528, 'f') << false;
        QTest::newRow("empty") << QString() << false;
    }
    void pageLineIsFiveDigitsThen528HexDigits() {
        QFETCH(QString, line);
        QFETCH(bool, accepted);
        QCOMPARE(!pageLineFault(line.toStdString()).has_value(), accepted);
    }

    void listedPageIs17LinesThen15Empty() {
        std::string expected;
        for (int i = 0; i < 16; ++i) {
            expected += std::string(32, 'A') + "\r\n";
        }
        expected += std::string(16, 'B') + "\r\n";
        for (int i = 0; i < 15; ++i) {
            expected += "\r\n";
        }
        QCOMPARE(pageAsLines(std::string(512, 'A') + std::string(16, 'B')), expected);
    }

    // Page 7 came, page 8 did not (or came garbled): nothing of it reaches the old file.
    void failedPageStopsAndLeavesTheOldFile_data() {
        QTest::addColumn<QString>("page8");  // what the controller sends; empty: nothing
        QTest::addColumn<QString>("reason"); // in the message
        QTest::newRow("no reply") << QString() << "Z Unable to connect";
        QTest::newRow("garbled") << QString(527, '8') + "x"
                                 << "the controller sent no 528 hexadecimal digits";
    }
    void failedPageStopsAndLeavesTheOldFile() {
        QFETCH(QString, page8);
        QFETCH(QString, reason);
        TempHome home;
        QVERIFY(createFolder("c:\\Tolvane"));
        writeWholeFile(home.file("Tolvane/flashda.fla"), "old\r\n");
        ScriptedLink s;
        s.port.expect("&").answer(":", 1ms);
        s.port.expect("$OV0R1400007xxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~")
            .answer(page7, 10ms);
        s.port.expect("&").answer(":", 1ms);
        auto& step =
            s.port.expect("$OV0R1400008xxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~");
        if (!page8.isEmpty()) {
            step.answer(page8.toStdString(), 10ms);
        }
        Quiet quiet;
        const FlashOutcome outcome =
            readPagesIntoFile(s.link, PageRange{7, 9}, flashToolsFile, quiet);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(outcome.result, FlashResult::Failed);
        QCOMPARE(QString::fromStdString(outcome.message),
                 "Page 00008 could not be read: " + reason +
                     ". c:\\tolvane\\flashda.fla is unchanged.");
        QCOMPARE(readWholeFile(home.file("Tolvane/flashda.fla")), std::string("old\r\n"));
        QVERIFY(!fileExists("c:\\tolvane\\flashda.fla.new"));
    }

    // A time-out left by an earlier transfer does not skip the pages; the second page is
    // refused, so the write fails naming it.
    void writeClearsALeftOverTimeOutAndNeedsEveryPageConfirmed() {
        TempHome home;
        QVERIFY(createFolder("c:\\Tolvane"));
        const std::string first = "00001" + std::string(528, '1');
        const std::string second = "02047" + std::string(528, '2');
        writeWholeFile(home.file("Tolvane/flashda.fla"), first + "\r\n" + second + "\r\n");
        ScriptedLink s;
        s.g().timedout = true;
        s.port.expect("#").answer("!", 1ms);
        s.port.expect("$" + first).answer("OV0OK" + std::string(59, '-'), 10ms);
        s.port.expect("#").answer("!", 1ms);
        s.port.expect("$" + second).answer("OV0NO" + std::string(59, '-'), 10ms);
        Quiet quiet;
        const FlashOutcome outcome = writeFileIntoFlash(s.link, flashToolsFile, quiet);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(outcome.result, FlashResult::Failed);
        QCOMPARE(outcome.message, std::string("Error writing controller\nPage 02047 was not "
                                              "written: the controller answered "
                                              "\"OV0NO---------------\"."));
    }

    // Cancel asked during the first page: it is confirmed, the second is never sent.
    void cancelledWriteStopsAfterThePageOnTheWire() {
        TempHome home;
        QVERIFY(createFolder("c:\\Tolvane"));
        const std::string first = "00001" + std::string(528, '1');
        writeWholeFile(home.file("Tolvane/flashda.fla"),
                       first + "\r\n00002" + std::string(528, '2') + "\r\n");
        ScriptedLink s;
        s.port.expect("#").answer("!", 1ms);
        s.port.expect("$" + first).answer("OV0OK" + std::string(59, '-'), 10ms);
        Quiet cancelling;
        cancelling.cancel = true;
        const FlashOutcome outcome = writeFileIntoFlash(s.link, flashToolsFile, cancelling);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(outcome.result, FlashResult::Cancelled);
    }
};

QTEST_GUILESS_MAIN(FlashToolsTest)
#include "test_flashtools.moc"
