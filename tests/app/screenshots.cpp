// Renders every window offscreen to PNG files, so a reviewer can look at each window without a
// display. Run by the test suite; the pictures land in build/screenshots/.
#include "app/aboutform.h"
#include "app/kivocon.h"
#include "app/releasenotes.h"
#include "consolefixture.h"
#include "converter/filegobbler.h"

#include <QApplication>
#include <QDir>
#include <QTest>

using namespace pkivo;
using namespace pkivo::test;

class Screenshots : public QObject {
    Q_OBJECT
private slots:
    void everyWindow();

private:
    void save(QWidget& window, const char* name);
};

void Screenshots::save(QWidget& window, const char* name) {
    window.show();
    window.adjustSize();
    QApplication::processEvents();
    const QString folder = PKIVO_SCREENSHOT_DIR;
    QVERIFY(QDir().mkpath(folder));
    const QString file = folder + "/" + name + ".png";
    QVERIFY2(window.grab().save(file), qPrintable(file));
    // Nothing may be squeezed below the size its layout asks for.
    QVERIFY(window.width() >= window.minimumSizeHint().width());
}

void Screenshots::everyWindow() {
    ConsoleFixture f;
    Kivocon main(f.program);
    save(main, "kivocon");
    Filegobbler converter(f.program);
    save(converter, "filegobbler");
    Aboutform about;
    save(about, "aboutform");
    ReleaseNotes notes;
    save(notes, "releasenotes");
}

QTEST_MAIN(Screenshots)
#include "screenshots.moc"
