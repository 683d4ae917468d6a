// Writing the board parameter block back, byte for byte: each shown field lands in its digits,
// every bit and digit the window does not show goes back as read, and typed values outside
// their field are refused instead of cut to their low bits. Also how a long reply is judged.
#include "link/parameterblock.h"
#include "link/replies.h"

#include "stdstringtesting.h"

#include <QTest>

using namespace pkivo;
using S = std::string;

namespace {

// The block decoded as the window shows it, then changed by `change`.
template <class Change> std::optional<S> stored(const S& block, Change change) {
    reply::BoardParameters p = *reply::boardParameters("OV0R1R00000" + block + S(21, 'x')).value;
    change(p);
    return encodeBoardParameters(p);
}

} // namespace

class ParameterBlockTest : public QObject {
    Q_OBJECT
private slots:
    void anUnchangedBlockGoesBackAsRead_data() {
        QTest::addColumn<S>("block");
        QTest::newRow("all zeros") << S(32, '0');
        QTest::newRow("all set") << S(32, 'F');
        QTest::newRow("storage 3 shown as Other") << S("0B0500000100001405DC09C481000000");
        QTest::newRow("odd digits kept") << S("FBF7ABCDFF12342C0000FFFF009A9B9C");
    }
    void anUnchangedBlockGoesBackAsRead() {
        QFETCH(S, block);
        QCOMPARE(stored(block, [](reply::BoardParameters&) {}), std::optional<S>(block));
    }

    void eachShownFieldLandsInItsDigits() {
        using P = reply::BoardParameters;
        const S zeros(32, '0');
        const S ones(32, 'F');
        QCOMPARE(*stored(zeros, [](P& p) { p.minpulse = 1500; }),
                 S("000000000000000005DC000000000000"));
        QCOMPARE(*stored(zeros, [](P& p) { p.maxpulse = 65535; }),
                 S("00000000000000000000FFFF00000000"));
        QCOMPARE(*stored(zeros, [](P& p) { p.reportrate = 255; }),
                 S("00000000000000FF0000000000000000"));
        QCOMPARE(*stored(zeros, [](P& p) { p.Servos1[2] = true; }),
                 S("00000000000000000000000004000000"));
        // Bits 7-4 of the flags, 7-3 of the run controls and 7-1 of the I/O byte are kept.
        QCOMPARE(*stored(ones,
                         [](P& p) {
                             p.uselimits = false;
                             p.reporton = false;
                             p.storage = reply::StorageMode::Common;
                             p.Runonhw = p.Runonpb = p.Runonpu = false;
                             p.iocon1 = false;
                         }),
                 S("F1F8FFFFFEFFFFFFFFFFFFFFFFFFFFFF"));
        QCOMPARE(*stored(zeros, [](P& p) { p.storage = reply::StorageMode::Other; }),
                 S("02000000000000000000000000000000"));
        QCOMPARE(stored(zeros, [](P& p) { p.boardparams.clear(); }), std::nullopt);
    }

    void typedValuesOutsideTheirFieldAreRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<uint>("largest");
        QTest::addColumn<int>("value"); // -1: refused
        QTest::newRow("255") << "255" << 255u << 255;
        QTest::newRow("rounded") << " 1499.5 " << 65535u << 1500;
        QTest::newRow("65536") << "65536" << 65535u << -1;
        QTest::newRow("empty") << "" << 255u << -1;
    }
    void typedValuesOutsideTheirFieldAreRefused() {
        QFETCH(QString, typed);
        QFETCH(uint, largest);
        QFETCH(int, value);
        const std::optional<uint32_t> read = parameterValue(typed.toStdString(), largest);
        QCOMPARE(read ? int(*read) : -1, value);
    }

    void aLongReplyIsGoodOnlyFramedWithCodeZero_data() {
        QTest::addColumn<S>("errcode");
        QTest::addColumn<S>("packet");
        QTest::addColumn<S>("outcome");
        const S framed = "OV0R1W00000" + S(32, '0') + "DDDDxxx000x000000x0H~";
        QTest::newRow("good") << S("0") << framed << S("0 No errors");
        QTest::newRow("the request still in packet")
            << S("0") << S("$") + framed << S("Z Unable to connect");
        S refused = framed;
        refused[61] = 'X';
        QTest::newRow("controller's own code")
            << S("0") << refused << S("X Invalid Instruction sent");
    }
    void aLongReplyIsGoodOnlyFramedWithCodeZero() {
        QFETCH(S, errcode);
        QFETCH(S, packet);
        QFETCH(S, outcome);
        LinkGlobals g;
        g.errcode = errcode;
        g.errtext = errcode == "0" ? "No errors" : "Unable to connect";
        g.packet = packet;
        const reply::Outcome judged = reply::longOutcome(g);
        QCOMPARE(judged.text(), outcome);
        QCOMPARE(judged.good, outcome == "0 No errors");
    }
};

QTEST_MAIN(ParameterBlockTest)
#include "test_parameterblock.moc"
