// Every committed fuzz input, replayed through the fuzz targets' own bodies in the plain build:
// the inputs that once broke something stay fixed, and the corpora still run clean.
#include "fuzz/targets.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace pkivo::fuzz;

namespace {

struct Row {
    Target target;
};

} // namespace

Q_DECLARE_METATYPE(Row)

class TestCorpusReplay : public QObject {
    Q_OBJECT

private slots:
    void corpusRunsClean_data() {
        QTest::addColumn<Row>("row");
        for (const Target& target : targets) {
            QTest::newRow(target.name) << Row{target};
        }
    }
    void corpusRunsClean() {
        QFETCH(Row, row);
        const QDir corpus(qEnvironmentVariable("PKIVO_TEST_DATA") + "/../fuzz/corpus/" +
                          row.target.name);
        const QStringList inputs = corpus.entryList(QDir::Files, QDir::Name);
        QVERIFY2(!inputs.isEmpty(), qPrintable(corpus.path() + " holds no input"));
        for (const QString& name : inputs) {
            QFile file(corpus.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            // A broken rule aborts with the rule on stderr: the input is the last one named.
            qInfo("%s", qPrintable(name));
            row.target.body(reinterpret_cast<const uint8_t*>(bytes.constData()),
                            size_t(bytes.size()));
        }
    }
};

QTEST_GUILESS_MAIN(TestCorpusReplay)
#include "test_corpus_replay.moc"
