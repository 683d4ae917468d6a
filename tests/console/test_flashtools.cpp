// The flash tools without a window: the range and page-line checks, and a range read that
// fails or comes garbled leaving the old file as it was, against a scripted controller.
#include "console/flashtools.h"
#include "platform/textfile.h"
#include "scriptedlink.h"
#include "temphome.h"

using namespace pkivo;
using namespace pkivo::test;
using S = std::string;

namespace {

struct Quiet : FlashToolsObserver {
    void pageStarted(const S&, int, int) override {}
    void pageDigits(const S&) override {}
    bool cancelRequested() override { return cancel; }
    bool cancel = false;
};

// Two texts in, and what comes out: the refused boxes of a range (0 none, 1 start, 2 end,
// 3 both), whether a page line is taken (1), or what a failed read says.
struct Row {
    S first, second;
    int outcome = 0;
};

} // namespace

Q_DECLARE_METATYPE(Row)

class FlashToolsTest : public QObject {
    Q_OBJECT
private slots:
    void rangeIsPagesZeroTo2047InOrder_data() {
        QTest::addColumn<Row>("row");
        QTest::newRow("one page") << Row{"625", "625", 0};
        QTest::newRow("whole flash") << Row{"00000", "2047", 0};
        QTest::newRow("end 2048") << Row{"0", "2048", 2};
        QTest::newRow("start -1") << Row{"-1", "5", 1};
        QTest::newRow("end below start") << Row{"10", "5", 2};
        QTest::newRow("not numbers") << Row{"a", "", 3};
    }
    void rangeIsPagesZeroTo2047InOrder() {
        QFETCH(Row, row);
        const RangeCheck check = checkPageRange(row.first, row.second);
        QCOMPARE(check.range.has_value(), row.outcome == 0);
        QCOMPARE(int(check.startRefused) + 2 * int(check.endRefused), row.outcome);
    }

    void pageLineIsFiveDigitsThen528HexDigits_data() {
        QTest::addColumn<Row>("row");
        QTest::newRow("page 2047") << Row{"02047", S(528, 'F'), 1};
        QTest::newRow("page 2048") << Row{"02048", S(528, 'F'), 0};
        QTest::newRow("527 digits") << Row{"00001", S(527, 'F'), 0};
        QTest::newRow("529 digits") << Row{"00001", S(529, 'F'), 0};
        QTest::newRow("lower case") << Row{"00001", S(528, 'f'), 0};
        QTest::newRow("empty") << Row{"", "", 0};
    }
    void pageLineIsFiveDigitsThen528HexDigits() {
        QFETCH(Row, row);
        QCOMPARE(!pageLineFault(row.first + row.second).has_value(), row.outcome == 1);
    }

    void listedPageIs17LinesThen15Empty() {
        const QByteArray line = QByteArray(32, 'A') + "\r\n";
        QCOMPARE(QByteArray::fromStdString(pageAsLines(S(512, 'A') + S(16, 'B'))),
                 line.repeated(16) + QByteArray(16, 'B') + QByteArray("\r\n").repeated(16));
    }

    // Page 7 came, page 8 did not (or came garbled): nothing of it reaches the old file.
    void failedPageStopsAndLeavesTheOldFile_data() {
        QTest::addColumn<Row>("row"); // what the controller sends for page 8, and why it failed
        QTest::newRow("no reply") << Row{"", "Z Unable to connect"};
        QTest::newRow("garbled") << Row{S(527, '8') + "x",
                                        "the controller sent no 528 hexadecimal digits"};
    }
    void failedPageStopsAndLeavesTheOldFile() {
        QFETCH(Row, row);
        TempHome home;
        writeWholeFile(home.file("Tolvane/flashda.fla"), "old\r\n");
        ScriptedLink s;
        const S request = "xxxxDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDxxxxxxxxxxxxxx0H~";
        expectExchange(s.port, "$OV0R1400007" + request, S(528, '7'), 10ms, 1ms);
        auto& step = expectAttended(s.port, "$OV0R1400008" + request, 1ms);
        if (!row.first.empty()) {
            step.answer(row.first, 10ms);
        }
        Quiet quiet;
        const FlashOutcome outcome =
            readPagesIntoFile(s.link, PageRange{7, 9}, flashToolsFile, quiet);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(outcome.result, FlashResult::Failed);
        QCOMPARE(outcome.message, "Page 00008 could not be read: " + row.second +
                                      ". c:\\tolvane\\flashda.fla is unchanged.");
        QCOMPARE(readWholeFile(home.file("Tolvane/flashda.fla")), S("old\r\n"));
        QVERIFY(!fileExists("c:\\tolvane\\flashda.fla.new"));
    }

    // A time-out left by an earlier transfer does not skip the pages, and Cancel asked during
    // the first page lets it be confirmed, no more. A page refused is the download's
    // (test_flashdownload): the write sends its pages through it.
    void writeSendsPagesUntilCancelled() {
        TempHome home;
        const S first = "00001" + S(528, '1'), second = "02047" + S(528, '2');
        writeWholeFile(home.file("Tolvane/flashda.fla"), first + "\r\n" + second + "\r\n");
        ScriptedLink s;
        s.g().timedout = true;
        Quiet quiet;
        quiet.cancel = true;
        s.port.expect("#").answer("!", 1ms);
        s.port.expect("$" + first).answer("OV0OK" + S(59, '-'), 10ms);
        const FlashOutcome outcome = writeFileIntoFlash(s.link, flashToolsFile, quiet);
        PKIVO_VERIFY_SCRIPT(s.port);
        QCOMPARE(outcome.result, FlashResult::Cancelled);
        QCOMPARE(outcome.message, S("Cancelled: the pages before were written."));
    }
};

QTEST_GUILESS_MAIN(FlashToolsTest)
#include "test_flashtools.moc"
