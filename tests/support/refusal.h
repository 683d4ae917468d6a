// What every window does with a box it cannot take: the button sends nothing, the box is marked
// and a label says why; a good value typed afterwards takes both away again.
#pragma once

#include "controls.h"
#include "scriptedlink.h"

namespace pkivo::test {

struct Refusal {
    QString box, typed, button, reasonLabel;
    QString reason; // how the reason starts
};

// Types as a user would (the windows check on every edit), clicks, and checks the above.
inline void verifyRefusal(QWidget& window, const ScriptedPort& port, const Refusal& r,
                          const QString& good = "1") {
    QLineEdit* box = child<QLineEdit>(window, qPrintable(r.box));
    const auto retype = [box](const QString& typed) {
        box->selectAll();
        QTest::keyClicks(box, typed);
    };
    retype(r.typed);
    const size_t written = port.writes().size();
    click(window, r.button);
    QCOMPARE(port.writes().size(), written);
    QVERIFY(!box->styleSheet().isEmpty());
    QVERIFY2(text(window, qPrintable(r.reasonLabel)).startsWith(r.reason),
             qPrintable(text(window, qPrintable(r.reasonLabel))));
    retype(good);
    QVERIFY(box->styleSheet().isEmpty());
    QCOMPARE(text(window, qPrintable(r.reasonLabel)), QString());
}

} // namespace pkivo::test

Q_DECLARE_METATYPE(pkivo::test::Refusal)
