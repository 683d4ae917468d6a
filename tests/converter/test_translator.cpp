// The line translator, statement by statement: the record placed, the listing written and the
// counters moved.
#include "converter/labeltable.h"
#include "converter/translator.h"

#include <QStringList>
#include <QTest>

using namespace pkivo;
using S = std::string;

namespace {

// Keeps what the translator writes.
class CapturedOutput : public TranslatorOutput {
public:
    void listLine(const S& line) override { list << QString::fromLatin1(line); }
    void pageLine(const S& line) override { pages.push_back(line); }
    QStringList list;
    std::vector<S> pages;
};

// A translator in the middle of a pass, writing into memory.
struct Pass {
    explicit Pass(int passno) { translator.startPass(passno); }
    bool convert(const std::vector<S>& lines) {
        for (const S& line : lines) {
            if (!translator.convertline(line)) {
                return false;
            }
        }
        return true;
    }
    LabelTable labels;
    CapturedOutput out;
    Translator translator{labels, out};
};

QString countersText(const Counters& c) {
    return QString::asprintf("%ld %ld %ld %ld %ld %ld %ld", c.goodlines, c.errorbumper,
                             c.blanklines, c.callcount, c.returncount, c.docount, c.loopcount);
}

const QString banner = "********** ERROR - LINE IGNORED **********";

// A line, then slot 0 of the page afterwards (the rest of it F), the list file lines joined by
// '|', and the counters: good errors blank calls returns dos loops.
struct Row {
    QString line, record, listing{}, counters{};
    int passno = 2;
};

} // namespace

Q_DECLARE_METATYPE(Row)

class TranslatorTest : public QObject {
    Q_OBJECT
private slots:
    void statementBecomesRecordAndListing_data() {
        QTest::addColumn<Row>("row");
        const QString E = banner + "|>>>>>> ";
        const char *good = "1 0 0 0 0 0 0", *warned = "1 1 0 0 0 0 0", *ignored = "0 1 0 0 0 0 0",
                   *blank = "0 0 1 0 0 0 0", *none = "0 0 0 0 0 0 0";
        auto row = [](const char* name, const QString& line, const QString& record,
                      const QString& listing, const char* counters, int passno = 2) {
            QTest::newRow(name) << Row{line, record.leftJustified(32, 'F'), listing, counters,
                                       passno};
        };
        // Blank lines: nothing but the counter.
        row("empty", "", "", "", blank);
        row("one character", "X", "", "", blank);
        row("comment only", "/ note", "", "", blank);
        row("spaces tabs commas", " \t, ,", "", "", blank);
        // MOVE and its options.
        row("move with rate", "move 10, rate = 300 / fast", "00FF000A00012C",
            "0 Move To Position: 00010 Rate: 00300", good);
        row("move from DSR1", "Move 10", "00FF000A02", "0 Move To Position: 00010", good);
        row("move rate DSR3", "MOVE 10 RATE=DSR3", "00FF000A04",
            "0 Move To Position: 00010 Rate = DSR3", good);
        row("move rate clamped", "MOVE 1 RATE=99999999999", "00FF000100FFFF",
            "0 Move To Position: 00001 Rate: 65535", good);
        row("move table clamped", "MOVE 10 TABLE=300", "00FF000A0100FF",
            "0 Move To Position: 00010 Table: 55", good);
        row("move rate at end warns", "MOVE 10 RATE=", "00FF000A02",
            E + "MOVE 10 RATE=|0 Move To Position: 00010", warned);
        row("move rate at end then table", "MOVE 10 TABLE=5 RATE=", "00FF000A010005",
            E + "MOVE 10 TABLE=5 RATE=|0 Move To Position: 00010 Table: 05", warned);
        row("move table at end warns", "MOVE 10 TABLE=", "00FF000A02",
            E + "MOVE 10 TABLE=|0 Move To Position: 00010", warned);
        row("move rate not a number", "MOVE 10 RATE=X", "",
            E + "MOVE 10 RATE=X|0 ERROR MOVE10RATE=X", warned);
        row("move table not a number", "MOVE 10 TABLE=Q", "",
            E + "MOVE 10 TABLE=Q|0 ERROR MOVE10TABLE=Q", warned);
        row("movexy has no position", "MOVEXY", "", E + "MOVEXY|0 ERROR MOVEXY", warned);
        row("move alone", "MOVE", "", E + "MOVE", ignored);
        row("move keeps low 16 bits", "MOVE 70000", "00FF117002", "0 Move To Position: 70000",
            good);
        // Data rows.
        row("position", "position s1=1000 s3=20", "03E8FFFF0014",
            "0 Load Position  S1= 1000 S3= 20", good);
        row("position all eight", "POSITION S8=8 S1=1 S2=2 S3=3 S4=4 S5=5 S6=6 S7=7",
            "00010002000300040005000600070008",
            "0 Load Position  S1= 1 S2= 2 S3= 3 S4= 4 S5= 5 S6= 6 S7= 7 S8= 8", good);
        row("position without servos", "POSITION 5", "", E + "POSITION 5", ignored);
        row("position value missing", "POSITION S1=", "",
            E + "POSITION S1=|0 ERROR POSITIONS1=", warned);
        row("rate row", "RATE S2=7", "FFFF0007", "0 Load Rate  S2= 7", good);
        // Simple statements.
        row("wait keeps four digits", "WAIT 0000123", "28FF007B", "0 Wait 0123", good);
        row("wait largest operand", "WAIT 2147483647", "28FFFFFF", "0 Wait 3647", good);
        row("stopnow is stop", "STOPNOW", "80", "0 Stop", good);
        row("nop", "nop", "FE", "0 No Operation", good);
        row("nooperation", "NOOPERATION", "FE", "0 No Operation", good);
        row("goto number", "GOTO 20", "0AFF0014", "0 Goto Line number: 00020", good);
        row("goto unknown label pass 1", "GOTO NOWHERE", "0AFF0000", "0 Goto Line number: 00000",
            good, 1);
        row("goto unknown label pass 2", "GOTO NOWHERE", "",
            E + "GOTO NOWHERE  >> Cannot Locate Label  NOWHERE", ignored);
        row("call", "CALL 7", "14FF0007", "0 Call Line number: 00007", "1 0 0 1 0 0 0");
        row("call refuses labels", "CALL SUB", "", E + "CALL SUB|0 ERROR CALLSUB", warned);
        row("gosub", "GOSUB 123", "14FF007B", "0 GoSub Line number: 00123", "1 0 0 1 0 0 0");
        row("return", "RETURN", "16", "0 Return from Subprogram", "1 0 0 0 1 0 0");
        row("do", "DO 5", "1EFF0005", "0 Do 0005 Times", "1 0 0 0 0 1 0");
        row("done is a do without count", "DONE", "", E + "DONE|0 ERROR DONE", warned);
        row("loop", "LOOP", "20", "0 Loop", "1 0 0 0 0 0 1");
        row("loop1: is a loop", "LOOP1:", "20", "0 Loop", "1 0 0 0 0 0 1");
        // Outputs.
        row("output on", "OUTPUT 2 ON", "40FF0002", "0 Output 0002 On", good);
        row("output off", "OUTPUT 3 OFF", "41FF0003", "0 Output 0003 Off", good);
        row("output on and off", "OUTPUT 3 ONOFF", "41FF0003", "0 Output 0003 On Off", good);
        row("output alone keeps FF", "OUTPUT 2", "FFFF0002", "0 Output 0002", good);
        row("output not a number", "OUTPUTX", "", "0 ERROR OUTPUTX", warned);
        // Markers.
        row("marker", "MARKER abc", "FE414243", "0 Marker: ABC", good);
        row("marker keeps 15 characters", "MARKER ABCDEFGHIJKLMNOPQRST",
            "FE4142434445464748494A4B4C4D4E4F", "0 Marker: ABCDEFGHIJKLMNOPQRST", good);
        // IFINPUT.
        row("ifinput goto", "IFINPUT 3 = 5 GOTO 20", "320300050A0014",
            "0 If Input = Value Goto Line number: 00020", good);
        row("ifinput stop", "IFINPUT 3 STOP", "3203FFFF80", "0 If Input number 003 Stop", good);
        row("ifinput gosub", "IFINPUT 2 GOSUB 123", "3202FFFF14007B",
            "0 If Input number 002 Gosub 123", good);
        row("ifinput compare clamped", "IFINPUT 4 = 99999", "3204FFFF",
            "0 If Input number 004 = 65535", good);
        row("ifinput equals at end", "IFINPUT 4 =", "3204FFFF",
            E + "IFINPUT 4 =|0 If Input number 004", warned);
        row("ifinput compare not a number", "IFINPUT 4 = X", "",
            E + "IFINPUT 4 = X|0 ERROR IFINPUT4=X", warned);
        row("ifinput goto at end", "IFINPUT 1 GOTO", "3201FFFF",
            E + "IFINPUT 1 GOTO|0 If Input number 001", warned);
        row("ifinput goto unknown label", "IFINPUT 1 GOTO NOWHERE", "",
            E + "IFINPUT 1 GOTO NOWHERE  >> Cannot Locate Label  NOWHERE", ignored);
        row("ifinput goto unknown label pass 1", "IFINPUT 1 GOTO NOWHERE", "3201FFFF0A0000",
            "0 If Input = Value Then Goto Line number: 00000", good, 1);
        row("ifinput gosub unknown label pass 1", "IFINPUT 1 GOSUB NOWHERE", "",
            E + "IFINPUT 1 GOSUB NOWHERE|0 ERROR IFINPUT1GOSUBNOWHERE", warned, 1);
        row("ifinput without number", "IFINPUT X", "", E + "IFINPUT X|0 ERROR IFINPUTX", warned);
        row("ifinput alone", "IFINPUT", "", E + "IFINPUT", ignored);
        // Registers.
        row("set dsr3", "DSR3=7", "50220007", "0 Set DSR3 to 00007", good);
        row("set servo 1", "s1=1500", "500105DC", "0 Set Servo 1 to 01500", good);
        row("add servo 2", "S2+5", "52020005", "0 Add  00005 to Servo 2", good);
        row("subtract dsr1", "DSR1-2", "54200002", "0 Subtract 00002 from DSR1", good);
        row("register alone", "S8-", "", E + "S8-", ignored);
        row("register not a number", "S8-X", "", "0 ERROR S8-X", warned);
        // Labels and unknown lines.
        row("label", "start", "", "0 label: START 0", none);
        row("sixteen characters is a label", "ABCDEFGHIJKLMNOP", "", "0 label: ABCDEFGHIJKLMNOP 0",
            none);
        row("seventeen characters is ignored", "ABCDEFGHIJKLMNOPQ", "", E + "ABCDEFGHIJKLMNOPQ",
            ignored);
    }

    void statementBecomesRecordAndListing() {
        QFETCH(Row, row);
        Pass pass(row.passno);
        QVERIFY(pass.translator.convertline(row.line.toStdString()));
        pass.translator.flushpage();
        QCOMPARE(pass.out.list.join('|'), row.listing);
        QCOMPARE(countersText(pass.translator.counters()), row.counters);
        QCOMPARE(pass.out.pages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(pass.out.pages[0]),
                 "00000" + row.record + QString(496, 'F'));
    }

    void runTimeFailuresEndThePass_data() {
        QTest::addColumn<Row>("row"); // the line, and as its record curaddr as the error shows it
        auto row = [](const char* name, const char* line, const char* address = "0") {
            QTest::newRow(name) << Row{line, address};
        };
        row("wait beyond 32 bits", "WAIT 2147483648");
        row("move beyond 32 bits", "MOVE 99999999999");
        row("position value beyond 32 bits", "POSITION S2=3000000000");
        row("goto beyond 32 bits", "GOTO 4294967296");
        row("ifinput number beyond 32 bits", "IFINPUT 9999999999");
        row("register beyond 32 bits", "DSR1=88888888888888888888888888");
        // ADDRESS without digits leaves the address empty: that is what cannot be divided.
        row("address without digits", "ADDRESS X", "");
        row("address beyond 32 bits", "ADDRESS 2147483648");
    }

    void runTimeFailuresEndThePass() {
        QFETCH(Row, row);
        Pass pass(1);
        QVERIFY(!pass.translator.convertline(row.line.toStdString()));
        QCOMPARE(QString::fromStdString(pass.translator.curaddr().text()), row.record);
        QCOMPARE(pass.translator.counters().goodlines, 0L);
        QVERIFY(pass.out.pages.empty());
    }

    void addressKeepsItsTextUntilTheNextRecord() {
        Pass pass(1);
        QVERIFY(pass.convert({"ADDRESS 0100", "HERE", "STOP", "THERE", "STOP"}));
        QCOMPARE(pass.out.list.join('|'),
                 QString("0100 label: HERE 0100|0100 Stop|101 label: THERE 101|101 Stop"));
        QVERIFY(pass.out.pages.empty()); // nothing was placed before the ADDRESS: no page to write
        pass.translator.flushpage();
        QCOMPARE(QString::fromStdString(pass.out.pages[0].substr(0, 5 + 6 * 32)),
                 "00006" + QString(128, 'F') + QString("80").leftJustified(32, 'F').repeated(2));
    }

    // Resolving labels across the two passes is in the "labels" golden conversion.
    void labelsKeepTheirColon() {
        Pass pass(2);
        QVERIFY(pass.convert({"AGAIN:", "NOP", "GOTO AGAIN:", "GOTO AGAIN"}));
        QCOMPARE(pass.out.list.join('|'),
                 "0 label: AGAIN: 0|0 No Operation|1 Goto Line number: 00000|" + banner +
                     "|>>>>>> GOTO AGAIN  >> Cannot Locate Label  AGAIN");
    }

    void labelTableHoldsOneThousandAndOneEntries() {
        Pass pass(1);
        for (int i = 0; i < 1001; ++i) {
            QVERIFY(pass.translator.convertline("L" + std::to_string(i)));
        }
        QVERIFY(!pass.translator.convertline("L1001"));
        QVERIFY(pass.translator.convertline("GOTO L1000"));
        QCOMPARE(pass.out.list.last(), QString("0 Goto Line number: 00000"));
    }
};

QTEST_GUILESS_MAIN(TranslatorTest)
#include "test_translator.moc"
