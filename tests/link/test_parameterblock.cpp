// Writing the board parameter block back, byte for byte: each shown field lands in its digits,
// every bit and digit the window does not show goes back as read, and typed values outside
// their field are refused instead of cut to their low bits. Also how a long reply is judged.
#include "link/parameterblock.h"
#include "link/replies.h"

#include "stdstringtesting.h"

using namespace pkivo;
using S = std::string;

namespace {

reply::BoardParameters shown(const S& block) {
    return *reply::boardParameters("OV0R1R00000" + block + S(21, 'x')).value;
}

} // namespace

class ParameterBlockTest : public QObject {
    Q_OBJECT
private slots:
    // All set, storage 3 shown as Other, digits of every kind.
    void anUnchangedBlockGoesBackAsRead() {
        for (const S& block : {S(32, 'F'), S("0B0500000100001405DC09C481000000"),
                               S("FBF7ABCDFF12342C0000FFFF009A9B9C")}) {
            QCOMPARE(encodeBoardParameters(shown(block)), std::optional<S>(block));
        }
    }

    void eachShownFieldLandsInItsDigits() {
        reply::BoardParameters p = shown(S(32, '0'));
        p.storage = reply::StorageMode::Other;
        p.reportrate = 255;
        p.minpulse = 1500;
        p.maxpulse = 65535;
        p.Servos1[2] = true;
        QCOMPARE(encodeBoardParameters(p), std::optional<S>("02000000000000FF05DCFFFF04000000"));
        // Bits 7-4 of the flags, 7-3 of the run controls and 7-1 of the I/O byte are kept.
        p = shown(S(32, 'F'));
        p.uselimits = p.reporton = p.Runonhw = p.Runonpb = p.Runonpu = p.iocon1 = false;
        p.storage = reply::StorageMode::Common;
        QCOMPARE(encodeBoardParameters(p), std::optional<S>("F1F8FFFFFEFFFFFFFFFFFFFFFFFFFFFF"));
        p.boardparams.clear();
        QCOMPARE(encodeBoardParameters(p), std::nullopt);
    }

    void typedValuesOutsideTheirFieldAreRefused() {
        QCOMPARE(parameterValue("255", 255), std::optional<uint32_t>(255));
        QCOMPARE(parameterValue(" 1499.5 ", 65535), std::optional<uint32_t>(1500)); // rounded
        QCOMPARE(parameterValue("65536", 65535), std::nullopt);
        QCOMPARE(parameterValue("", 255), std::nullopt);
    }

    void aLongReplyIsGoodOnlyFramedWithCodeZero() {
        auto judged = [](const S& packet) {
            LinkGlobals g;
            g.errcode = "0"; // the exchange itself went well
            g.errtext = "No errors";
            g.packet = packet;
            const reply::Outcome outcome = reply::longOutcome(g);
            return outcome.text() + (outcome.good ? ", good" : "");
        };
        const S framed = "OV0R1W00000" + S(32, '0') + "DDDDxxx000x000000x0H~";
        const S refused = framed.substr(0, 61) + "XH~"; // the controller's own code
        QCOMPARE(judged(framed), S("0 No errors, good"));
        QCOMPARE(judged("$" + framed), S("Z Unable to connect")); // the request still in packet
        QCOMPARE(judged(refused), S("X Invalid Instruction sent"));
    }
};

QTEST_MAIN(ParameterBlockTest)
#include "test_parameterblock.moc"
