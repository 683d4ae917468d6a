// The line translator, statement by statement: the record placed, the listing written and the
// counters moved.
#include "converter/labeltable.h"
#include "converter/translator.h"

#include <QStringList>
#include <QTest>

using namespace pkivo;

namespace {

// Keeps what the translator writes.
class CapturedOutput : public TranslatorOutput {
public:
    void listLine(const std::string& line) override { list << QString::fromLatin1(line); }
    void pageLine(const std::string& line) override { pages.push_back(line); }
    QStringList list;
    std::vector<std::string> pages;
};

// A translator in the middle of a pass, writing into memory.
struct Pass {
    explicit Pass(int passno) { translator.startPass(passno); }
    LabelTable labels;
    CapturedOutput out;
    Translator translator{labels, out};
};

QString countersText(const Counters& c) {
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
        .arg(c.goodlines)
        .arg(c.errorbumper)
        .arg(c.blanklines)
        .arg(c.callcount)
        .arg(c.returncount)
        .arg(c.docount)
        .arg(c.loopcount);
}

const QString F24(24, 'F');
const QString F32(32, 'F');
const QString banner = "********** ERROR - LINE IGNORED **********";

} // namespace

class TranslatorTest : public QObject {
    Q_OBJECT
private slots:
    void statementBecomesRecordAndListing_data();
    void statementBecomesRecordAndListing();
    void runTimeFailuresEndThePass_data();
    void runTimeFailuresEndThePass();
    void sixteenthRecordWritesThePageAtOnce();
    void addressKeepsItsTextUntilTheNextRecord();
    void addressAfterRecordsWritesThePageFirst();
    void labelsKeepTheirColonAndResolveAcrossPasses();
    void labelTableHoldsOneThousandAndOneEntries();
    void anyBytesAreSafe();
};

void TranslatorTest::statementBecomesRecordAndListing_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("passno");
    QTest::addColumn<QString>("record"); // slot 0 of the page afterwards
    QTest::addColumn<QString>("listing"); // list file lines joined by '|'
    QTest::addColumn<QString>("counters"); // good errors blank calls returns dos loops

    const QString ignoredMove = banner + "|>>>>>> MOVE";
    auto row = [](const char* name, const QString& line, const QString& record,
                  const QString& listing, const char* counters, int passno = 2) {
        QTest::newRow(name) << line << passno << record << listing << QString(counters);
    };
    // Blank lines: nothing but the counter.
    row("empty", "", F32, "", "0 0 1 0 0 0 0");
    row("one character", "X", F32, "", "0 0 1 0 0 0 0");
    row("comment only", "/ note", F32, "", "0 0 1 0 0 0 0");
    row("spaces tabs commas", " \t, ,", F32, "", "0 0 1 0 0 0 0");
    // MOVE and its options.
    row("move with rate", "move 10, rate = 300 / fast", "00FF000A00012C" + QString(18, 'F'),
        "0 Move To Position: 00010 Rate: 00300", "1 0 0 0 0 0 0");
    row("move from DSR1", "Move 10", "00FF000A02" + QString(22, 'F'),
        "0 Move To Position: 00010", "1 0 0 0 0 0 0");
    row("move rate DSR3", "MOVE 10 RATE=DSR3", "00FF000A04" + QString(22, 'F'),
        "0 Move To Position: 00010 Rate = DSR3", "1 0 0 0 0 0 0");
    row("move rate clamped", "MOVE 1 RATE=99999999999", "00FF000100FFFF" + QString(18, 'F'),
        "0 Move To Position: 00001 Rate: 65535", "1 0 0 0 0 0 0");
    row("move table clamped", "MOVE 10 TABLE=300", "00FF000A0100FF" + QString(18, 'F'),
        "0 Move To Position: 00010 Table: 55", "1 0 0 0 0 0 0");
    row("move table listed with two digits", "MOVE 10 TABLE=123",
        "00FF000A01007B" + QString(18, 'F'), "0 Move To Position: 00010 Table: 23",
        "1 0 0 0 0 0 0");
    row("move rate at end warns", "MOVE 10 RATE=", "00FF000A02" + QString(22, 'F'),
        banner + "|>>>>>> MOVE 10 RATE=|0 Move To Position: 00010", "1 1 0 0 0 0 0");
    row("move rate at end then table", "MOVE 10 TABLE=5 RATE=",
        "00FF000A010005" + QString(18, 'F'),
        banner + "|>>>>>> MOVE 10 TABLE=5 RATE=|0 Move To Position: 00010 Table: 05",
        "1 1 0 0 0 0 0");
    row("move table at end warns", "MOVE 10 TABLE=", "00FF000A02" + QString(22, 'F'),
        banner + "|>>>>>> MOVE 10 TABLE=|0 Move To Position: 00010", "1 1 0 0 0 0 0");
    row("move rate not a number", "MOVE 10 RATE=X", F32,
        banner + "|>>>>>> MOVE 10 RATE=X|0 ERROR MOVE10RATE=X", "1 1 0 0 0 0 0");
    row("move table not a number", "MOVE 10 TABLE=Q", F32,
        banner + "|>>>>>> MOVE 10 TABLE=Q|0 ERROR MOVE10TABLE=Q", "1 1 0 0 0 0 0");
    row("movexy has no position", "MOVEXY", F32, banner + "|>>>>>> MOVEXY|0 ERROR MOVEXY",
        "1 1 0 0 0 0 0");
    row("move alone", "MOVE", F32, ignoredMove, "0 1 0 0 0 0 0");
    row("move keeps low 16 bits", "MOVE 70000", "00FF117002" + QString(22, 'F'),
        "0 Move To Position: 70000", "1 0 0 0 0 0 0");
    // Data rows.
    row("position", "position s1=1000 s3=20", "03E8FFFF0014" + QString(20, 'F'),
        "0 Load Position  S1= 1000 S3= 20", "1 0 0 0 0 0 0");
    row("position all eight", "POSITION S8=8 S1=1 S2=2 S3=3 S4=4 S5=5 S6=6 S7=7",
        "00010002000300040005000600070008",
        "0 Load Position  S1= 1 S2= 2 S3= 3 S4= 4 S5= 5 S6= 6 S7= 7 S8= 8", "1 0 0 0 0 0 0");
    row("position without servos", "POSITION 5", F32, banner + "|>>>>>> POSITION 5",
        "0 1 0 0 0 0 0");
    row("position value missing", "POSITION S1=", F32,
        banner + "|>>>>>> POSITION S1=|0 ERROR POSITIONS1=", "1 1 0 0 0 0 0");
    row("rate row", "RATE S2=7", "FFFF0007" + F24, "0 Load Rate  S2= 7", "1 0 0 0 0 0 0");
    // Simple statements.
    row("wait keeps four digits", "WAIT 0000123", "28FF007B" + F24, "0 Wait 0123",
        "1 0 0 0 0 0 0");
    row("wait largest operand", "WAIT 2147483647", "28FFFFFF" + F24, "0 Wait 3647",
        "1 0 0 0 0 0 0");
    row("stopnow is stop", "STOPNOW", "80" + QString(30, 'F'), "0 Stop", "1 0 0 0 0 0 0");
    row("nop", "nop", "FE" + QString(30, 'F'), "0 No Operation", "1 0 0 0 0 0 0");
    row("nooperation", "NOOPERATION", "FE" + QString(30, 'F'), "0 No Operation",
        "1 0 0 0 0 0 0");
    row("goto number", "GOTO 20", "0AFF0014" + F24, "0 Goto Line number: 00020",
        "1 0 0 0 0 0 0");
    row("goto unknown label pass 1", "GOTO NOWHERE", "0AFF0000" + F24,
        "0 Goto Line number: 00000", "1 0 0 0 0 0 0", 1);
    row("goto unknown label pass 2", "GOTO NOWHERE", F32,
        banner + "|>>>>>> GOTO NOWHERE  >> Cannot Locate Label  NOWHERE", "0 1 0 0 0 0 0");
    row("call", "CALL 7", "14FF0007" + F24, "0 Call Line number: 00007", "1 0 0 1 0 0 0");
    row("call refuses labels", "CALL SUB", F32, banner + "|>>>>>> CALL SUB|0 ERROR CALLSUB",
        "1 1 0 0 0 0 0");
    row("gosub", "GOSUB 123", "14FF007B" + F24, "0 GoSub Line number: 00123", "1 0 0 1 0 0 0");
    row("return", "RETURN", "16" + QString(30, 'F'), "0 Return from Subprogram",
        "1 0 0 0 1 0 0");
    row("do", "DO 5", "1EFF0005" + F24, "0 Do 0005 Times", "1 0 0 0 0 1 0");
    row("done is a do without count", "DONE", F32, banner + "|>>>>>> DONE|0 ERROR DONE",
        "1 1 0 0 0 0 0");
    row("loop", "LOOP", "20" + QString(30, 'F'), "0 Loop", "1 0 0 0 0 0 1");
    row("loop1: is a loop", "LOOP1:", "20" + QString(30, 'F'), "0 Loop", "1 0 0 0 0 0 1");
    // Outputs.
    row("output on", "OUTPUT 2 ON", "40FF0002" + F24, "0 Output 0002 On", "1 0 0 0 0 0 0");
    row("output off", "OUTPUT 3 OFF", "41FF0003" + F24, "0 Output 0003 Off", "1 0 0 0 0 0 0");
    row("output on and off", "OUTPUT 3 ONOFF", "41FF0003" + F24, "0 Output 0003 On Off",
        "1 0 0 0 0 0 0");
    row("output alone keeps FF", "OUTPUT 2", "FFFF0002" + F24, "0 Output 0002",
        "1 0 0 0 0 0 0");
    row("output not a number", "OUTPUTX", F32, "0 ERROR OUTPUTX", "1 1 0 0 0 0 0");
    // Markers.
    row("marker", "MARKER abc", "FE414243" + F24, "0 Marker: ABC", "1 0 0 0 0 0 0");
    row("marker keeps 15 characters", "MARKER ABCDEFGHIJKLMNOPQRST",
        "FE4142434445464748494A4B4C4D4E4F", "0 Marker: ABCDEFGHIJKLMNOPQRST", "1 0 0 0 0 0 0");
    // IFINPUT.
    row("ifinput goto", "IFINPUT 3 = 5 GOTO 20", "320300050A0014" + QString(18, 'F'),
        "0 If Input = Value Goto Line number: 00020", "1 0 0 0 0 0 0");
    row("ifinput stop", "IFINPUT 3 STOP", "3203FFFF80" + QString(22, 'F'),
        "0 If Input number 003 Stop", "1 0 0 0 0 0 0");
    row("ifinput gosub", "IFINPUT 2 GOSUB 123", "3202FFFF14007B" + QString(18, 'F'),
        "0 If Input number 002 Gosub 123", "1 0 0 0 0 0 0");
    row("ifinput compare clamped", "IFINPUT 4 = 99999", "3204FFFF" + F24,
        "0 If Input number 004 = 65535", "1 0 0 0 0 0 0");
    row("ifinput equals at end", "IFINPUT 4 =", "3204FFFF" + F24,
        banner + "|>>>>>> IFINPUT 4 =|0 If Input number 004", "1 1 0 0 0 0 0");
    row("ifinput compare not a number", "IFINPUT 4 = X", F32,
        banner + "|>>>>>> IFINPUT 4 = X|0 ERROR IFINPUT4=X", "1 1 0 0 0 0 0");
    row("ifinput goto at end", "IFINPUT 1 GOTO", "3201FFFF" + F24,
        banner + "|>>>>>> IFINPUT 1 GOTO|0 If Input number 001", "1 1 0 0 0 0 0");
    row("ifinput goto unknown label", "IFINPUT 1 GOTO NOWHERE", F32,
        banner + "|>>>>>> IFINPUT 1 GOTO NOWHERE  >> Cannot Locate Label  NOWHERE",
        "0 1 0 0 0 0 0");
    row("ifinput goto unknown label pass 1", "IFINPUT 1 GOTO NOWHERE",
        "3201FFFF0A0000" + QString(18, 'F'), "0 If Input = Value Then Goto Line number: 00000",
        "1 0 0 0 0 0 0", 1);
    row("ifinput gosub unknown label pass 1", "IFINPUT 1 GOSUB NOWHERE", F32,
        banner + "|>>>>>> IFINPUT 1 GOSUB NOWHERE|0 ERROR IFINPUT1GOSUBNOWHERE",
        "1 1 0 0 0 0 0", 1);
    row("ifinput without number", "IFINPUT X", F32,
        banner + "|>>>>>> IFINPUT X|0 ERROR IFINPUTX", "1 1 0 0 0 0 0");
    row("ifinput alone", "IFINPUT", F32, banner + "|>>>>>> IFINPUT", "0 1 0 0 0 0 0");
    // Registers.
    row("set dsr3", "DSR3=7", "50220007" + F24, "0 Set DSR3 to 00007", "1 0 0 0 0 0 0");
    row("set servo 1", "s1=1500", "500105DC" + F24, "0 Set Servo 1 to 01500",
        "1 0 0 0 0 0 0");
    row("add servo 2", "S2+5", "52020005" + F24, "0 Add  00005 to Servo 2", "1 0 0 0 0 0 0");
    row("add dsr2", "DSR2+1", "52210001" + F24, "0 Add  00001 to DSR2", "1 0 0 0 0 0 0");
    row("subtract servo 8", "S8-5", "54080005" + F24, "0 Subtract 00005 from Servo 8",
        "1 0 0 0 0 0 0");
    row("subtract dsr1", "DSR1-2", "54200002" + F24, "0 Subtract 00002 from DSR1",
        "1 0 0 0 0 0 0");
    row("register alone", "S8-", F32, banner + "|>>>>>> S8-", "0 1 0 0 0 0 0");
    row("register not a number", "S8-X", F32, "0 ERROR S8-X", "1 1 0 0 0 0 0");
    // Labels and unknown lines.
    row("label", "start", F32, "0 label: START 0", "0 0 0 0 0 0 0");
    row("sixteen characters is a label", "ABCDEFGHIJKLMNOP", F32,
        "0 label: ABCDEFGHIJKLMNOP 0", "0 0 0 0 0 0 0");
    row("seventeen characters is ignored", "ABCDEFGHIJKLMNOPQ", F32,
        banner + "|>>>>>> ABCDEFGHIJKLMNOPQ", "0 1 0 0 0 0 0");
}

void TranslatorTest::statementBecomesRecordAndListing() {
    QFETCH(QString, line);
    QFETCH(int, passno);
    QFETCH(QString, record);
    QFETCH(QString, listing);
    QFETCH(QString, counters);

    Pass pass(passno);
    Translator& translator = pass.translator;
    CapturedOutput& out = pass.out;
    QVERIFY(translator.convertline(line.toStdString()));
    translator.flushpage();

    QCOMPARE(out.list.join('|'), listing);
    QCOMPARE(countersText(translator.counters()), counters);
    QCOMPARE(out.pages.size(), size_t(1));
    const std::string& page = out.pages.front();
    QCOMPARE(page.size(), size_t(533));
    QCOMPARE(QString::fromStdString(page.substr(0, 5)), QString("00000"));
    QCOMPARE(QString::fromStdString(page.substr(5, 32)), record);
    QCOMPARE(page.substr(37), std::string(496, 'F'));
}

void TranslatorTest::runTimeFailuresEndThePass_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("address"); // curaddr as the error message shows it
    QTest::newRow("wait beyond 32 bits") << "WAIT 2147483648" << "0";
    QTest::newRow("move beyond 32 bits") << "MOVE 99999999999" << "0";
    QTest::newRow("position value beyond 32 bits") << "POSITION S2=3000000000" << "0";
    QTest::newRow("goto beyond 32 bits") << "GOTO 4294967296" << "0";
    QTest::newRow("ifinput number beyond 32 bits") << "IFINPUT 9999999999" << "0";
    QTest::newRow("register beyond 32 bits") << "DSR1=88888888888888888888888888" << "0";
    // ADDRESS without digits leaves the address empty: that is what cannot be divided.
    QTest::newRow("address without digits") << "ADDRESS X" << "";
    QTest::newRow("address beyond 32 bits") << "ADDRESS 2147483648" << "0";
}

void TranslatorTest::runTimeFailuresEndThePass() {
    QFETCH(QString, line);
    QFETCH(QString, address);
    Pass pass(1);
    QVERIFY(!pass.translator.convertline(line.toStdString()));
    QCOMPARE(QString::fromStdString(pass.translator.curaddr().text()), address);
    QCOMPARE(pass.translator.counters().goodlines, 0L);
    QVERIFY(pass.out.pages.empty());
}

void TranslatorTest::sixteenthRecordWritesThePageAtOnce() {
    Pass pass(1);
    Translator& translator = pass.translator;
    CapturedOutput& out = pass.out;
    for (int i = 0; i < 15; ++i) {
        QVERIFY(translator.convertline("STOP"));
    }
    QVERIFY(out.pages.empty());
    QVERIFY(translator.convertline("NOP"));
    QCOMPARE(out.pages.size(), size_t(1));
    QCOMPARE(out.pages[0].substr(0, 5), std::string("00000"));
    QCOMPARE(out.pages[0].substr(5 + 15 * 32, 32), "FE" + std::string(30, 'F'));
    translator.flushpage(); // end of the pass: the next, empty page
    QCOMPARE(out.pages.size(), size_t(2));
    QCOMPARE(out.pages[1], "00001" + std::string(528, 'F'));
}

void TranslatorTest::addressKeepsItsTextUntilTheNextRecord() {
    Pass pass(1);
    Translator& translator = pass.translator;
    CapturedOutput& out = pass.out;
    for (const char* line : {"ADDRESS 0100", "HERE", "STOP", "THERE", "STOP"}) {
        QVERIFY(translator.convertline(line));
    }
    QCOMPARE(out.list.join('|'),
             QString("0100 label: HERE 0100|0100 Stop|101 label: THERE 101|101 Stop"));
    QVERIFY(out.pages.empty()); // nothing was placed before the ADDRESS: no page to write
    translator.flushpage();
    QCOMPARE(out.pages[0].substr(0, 5), std::string("00006"));
    QCOMPARE(out.pages[0].substr(5 + 4 * 32, 2), std::string("80"));
    QCOMPARE(out.pages[0].substr(5 + 5 * 32, 2), std::string("80"));
}

void TranslatorTest::addressAfterRecordsWritesThePageFirst() {
    Pass pass(1);
    Translator& translator = pass.translator;
    CapturedOutput& out = pass.out;
    for (const char* line : {"STOP", "ADDRESS 3", "NOP", "ADDRESS 1", "LOOP"}) {
        QVERIFY(translator.convertline(line));
    }
    translator.flushpage();
    QCOMPARE(out.pages.size(), size_t(3));
    // Page 0 is written three times: STOP, then NOP at 3, then LOOP at 1.
    QCOMPARE(out.pages[0].substr(0, 7), std::string("0000080"));
    QCOMPARE(out.pages[1].substr(5, 32 * 4), std::string(96, 'F') + "FE" + std::string(30, 'F'));
    QCOMPARE(out.pages[2].substr(5, 32 * 2), std::string(32, 'F') + "20" + std::string(30, 'F'));
}

void TranslatorTest::labelsKeepTheirColonAndResolveAcrossPasses() {
    LabelTable labels;
    CapturedOutput out;
    Translator translator(labels, out);
    const char* script[] = {"GOTO LATER", "loop1:", "AGAIN:", "GOTO AGAIN:", "GOTO AGAIN",
                            "NOP", "LATER", "GOSUB AGAIN:"};
    for (int pass = 1; pass <= 2; ++pass) {
        out.list.clear();
        translator.startPass(pass);
        for (const char* line : script) {
            QVERIFY(translator.convertline(line));
        }
    }
    // "loop1:" is a LOOP statement; "AGAIN:" keeps its colon. The forward GOTO finds the
    // address of the first pass, where the unresolved "GOTO AGAIN" still took line 3.
    QCOMPARE(out.list.join('|'),
             QString("0 Goto Line number: 00005|1 Loop|2 label: AGAIN: 2|"
                     "2 Goto Line number: 00002|" +
                     banner +
                     "|>>>>>> GOTO AGAIN  >> Cannot Locate Label  AGAIN|3 No Operation|"
                     "4 label: LATER 4|4 GoSub Line number: 00002"));
}

void TranslatorTest::labelTableHoldsOneThousandAndOneEntries() {
    Pass pass(1);
    Translator& translator = pass.translator;
    CapturedOutput& out = pass.out;
    for (int i = 0; i < 1001; ++i) {
        QVERIFY(translator.convertline("L" + std::to_string(i)));
    }
    QVERIFY(!translator.convertline("L1001"));
    QVERIFY(translator.convertline("GOTO L1000"));
    QCOMPARE(out.list.last(), QString("0 Goto Line number: 00000"));
}

void TranslatorTest::anyBytesAreSafe() {
    Pass pass(2);
    Translator& translator = pass.translator;
    CapturedOutput& out = pass.out;
    std::string hostile[] = {std::string("\0\x01\x7f", 3),
                             std::string("\xff\xfe\x80\x81"),
                             std::string(100000, 'Z'),
                             "MARKER " + std::string(100000, '\xe9'),
                             "POSITION S1=" + std::string(100000, '9'),
                             "IFINPUT 1 GOTO " + std::string(50000, 'Q'),
                             "=+-/",
                             "MOVE 1 RATE=" + std::string(100000, '7')};
    for (const std::string& line : hostile) {
        translator.convertline(line);
    }
    translator.flushpage();
    for (const std::string& page : out.pages) {
        QCOMPARE(page.size(), size_t(533));
    }
    QCOMPARE(QString::fromStdString(out.pages.back().substr(5, 32)),
             QString("FEE9E9E9E9E9E9E9E9E9E9E9E9E9E9E9"));
    QCOMPARE(QString::fromStdString(out.pages.back().substr(37, 14)), QString("00FF000100FFFF"));
}

QTEST_GUILESS_MAIN(TranslatorTest)
#include "test_translator.moc"
