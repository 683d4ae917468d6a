#include "converter/conversion.h"

#include "converter/fixup.h"
#include "platform/textfile.h"
#include "setup/settingsrecord.h"

namespace pkivo {

namespace {

// The translator's lines go straight to the two files of the pass.
class FileOutput : public TranslatorOutput {
public:
    FileOutput(TextWriter& list, TextWriter& pages) : m_list(list), m_pages(pages) {}
    void listLine(const std::string& line) override { m_list.writeLine(line); }
    void pageLine(const std::string& line) override { m_pages.writeLine(line); }

private:
    TextWriter& m_list;
    TextWriter& m_pages;
};

// The first pass only learns where the labels are; the second writes both files again from their
// start, so the first pass's lines would be written only to be thrown away. Its files are still
// created, so a path that cannot be written fails the first pass as before.
class NoOutput : public TranslatorOutput {
public:
    void listLine(const std::string&) override {}
    void pageLine(const std::string&) override {}
    bool keepsListLines() const override { return false; }
};

} // namespace

ConversionPaths ConversionPaths::fromSettings(const SettingsRecord& sysparams) {
    return {sysparams.gfilebox(),     "c:\\Tolvane\\premerged.tmp", sysparams.listfileloc(),
            "c:\\Tolvane\\fixup.tmp", "c:\\Tolvane\\fixup1.tmp",    sysparams.flashfileloc()};
}

std::string Conversion::report(const Counters& c) {
    auto n = [](long value) { return std::to_string(value); };
    return "***************** REPORT ****************\r\n"
           "Number of good lines " +
           n(c.goodlines) + "\r\n" + "Number of blank lines " + n(c.blanklines) + "\r\n" +
           "Number of Errors & Warnings " + n(c.errorbumper) + "\r\n" + "Number of Calls " +
           n(c.callcount) + "  Number of returns " + n(c.returncount) + "\r\n" + "Number of Dos " +
           n(c.docount) + "  Number of loops " + n(c.loopcount) + "\r\n";
}

bool Conversion::translationPass(int passno, const ConversionPaths& paths, Counters& counters) {
    TextReader script;
    TextWriter pages;
    TextWriter list;
    FileOutput files(list, pages);
    NoOutput none;
    Translator translator(m_labels, passno == 1 ? static_cast<TranslatorOutput&>(none) : files);
    translator.startPass(passno);
    std::string text;

    bool ok =
        script.open(paths.source) && pages.create(paths.tempfile) && list.create(paths.listfile);
    text.reserve(script.size() + script.size() / 8);
    std::string line;
    while (ok && !script.atEndOfStream()) {
        script.readLine(line);
        text += line;
        text += "\r\n";
        ok = translator.convertline(line);
    }
    if (ok) {
        translator.flushpage();
        if (passno == 2) {
            list.write(report(translator.counters()));
        }
    }
    // What the pass wrote before a failure stays in the files.
    bool closed = pages.close();
    closed = list.close() && closed;
    counters = translator.counters();
    m_lastAddress = translator.curaddr().text();
    m_observer.passFinished(passno, counters, text);
    if (!ok || !closed) {
        m_observer.processingError(processingErrorMessage + translator.curaddr().text());
        return false;
    }
    return true;
}

ConversionResult Conversion::run(const ConversionPaths& paths) {
    ConversionResult result;
    m_labels.clear();
    bool firstPass = translationPass(1, paths, result.counters);
    bool secondPass = translationPass(2, paths, result.counters);
    result.report = report(result.counters);

    FixupPaths fixup{paths.tempfile, paths.fixuppath, paths.fixup1path, paths.hexpath};
    bool fixed = splitDuplicatePages(fixup);
    if (fixed && secondPass) {
        fixed = mergeDuplicatePages(fixup);
    }
    if (!fixed && secondPass) { // after a failed pass its own message has been shown
        m_observer.processingError(processingErrorMessage + m_lastAddress);
    }
    result.completed = firstPass && secondPass && fixed;
    if (!result.completed) {
        deleteFile(paths.hexpath);
    }
    return result;
}

} // namespace pkivo
