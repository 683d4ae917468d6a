// Renders every window offscreen to PNG files, so a reviewer can look at each window without a
// display: at the size its layout asks for, and again at its minimum size (NAME-min.png). Run by
// the test suite; the pictures land in the build folder's screenshots/, and a second run at a
// scale of 200 % puts its own in screenshots/200/.
#include "consolefixture.h"
#include "ui/aboutform.h"
#include "ui/binsend.h"
#include "ui/filegobbler.h"
#include "ui/insbuilder.h"
#include "ui/kivocon.h"
#include "ui/memoryeditor.h"
#include "ui/packedinsbuilder.h"
#include "ui/parametercon.h"
#include "ui/positionbuilder.h"
#include "ui/releasenotes.h"
#include "ui/sendinst.h"
#include "ui/sndshort.h"
#include "ui/spdbuild.h"
#include "ui/ssetup.h"

#include <QApplication>
#include <QDir>

using namespace pkivo;
using namespace pkivo::test;

class Screenshots : public QObject {
    Q_OBJECT
private slots:
    void everyWindow();

private:
    void save(QWidget& window, const char* name, const char* caption);
};

void Screenshots::save(QWidget& window, const char* name, const char* caption) {
    window.show();
    window.adjustSize();
    QApplication::processEvents();
    QCOMPARE(window.windowTitle(), QString(caption));
    const QString folder = qEnvironmentVariable("PKIVO_SCREENSHOT_DIR", PKIVO_SCREENSHOT_DIR);
    QVERIFY(QDir().mkpath(folder));
    const QString file = folder + "/" + name + ".png";
    QVERIFY2(window.grab().save(file), qPrintable(file));
    // Nothing may be squeezed below the size its layout asks for.
    QVERIFY(window.width() >= window.minimumSizeHint().width());
    window.resize(window.minimumSizeHint().expandedTo(window.minimumSize()));
    QApplication::processEvents();
    const QString smallest = folder + "/" + name + "-min.png";
    QVERIFY2(window.grab().save(smallest), qPrintable(smallest));
}

void Screenshots::everyWindow() {
    ConsoleFixture f;
    save(f.windows.get<Kivocon>(), "kivocon", "PKivo Main Control");
    save(f.windows.get<Filegobbler>(), "filegobbler", "Kivo Converter & Downloader");
    save(f.windows.get<Aboutform>(), "aboutform", "About PKivo");
    save(f.windows.get<ReleaseNotes>(), "releasenotes", "Release Notes");
    save(f.windows.get<Ssetup>(), "ssetup", "System setup");
    save(f.windows.get<Memoryeditor>(), "memoryeditor", "Memory Editor");
    save(f.windows.get<Sendinst>(), "sendinst", "Long Command Sender");
    save(f.windows.get<Sndshort>(), "sndshort", "Short Command Sender");
    save(f.windows.get<Parametercon>(), "parametercon", "Board Parameters");
    save(f.windows.get<Binsend>(), "binsend", "Flash memory utility");
    save(f.windows.get<Positionbuilder>(), "positionbuilder", "Position Manager");
    save(f.windows.get<Insbuilder>(), "insbuilder", "Edit Instruction Element");
    save(f.windows.get<Packedinsbuilder>(), "packedinsbuilder", "Packed Instruction & Move Editor");
    save(f.windows.get<Spdbuild>(), "spdbuild", "Speed Editor");
}

QTEST_MAIN(Screenshots)
#include "screenshots.moc"
