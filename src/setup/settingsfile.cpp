#include "setup/settingsfile.h"

#include "platform/textfile.h"
#include "platform/uiservices.h"

#include <string>

namespace pkivo {

namespace {

bool fail(UiServices& ui, const char* message) {
    ui.messageBox(message);
    ui.endProgram();
    return false;
}

bool writeRecord(const std::string& path, const SettingsRecord& record) {
    TextWriter writer;
    if (!writer.create(path)) {
        return false;
    }
    writer.write(record.text());
    return writer.close();
}

// The first line of params.ovh; false when the file is missing, unreadable or empty.
bool readFirstLine(std::string& line) {
    TextReader reader;
    if (!reader.open(settings::paramsFile) || reader.atEndOfStream()) {
        return false;
    }
    line = reader.readLine();
    return true;
}

} // namespace

bool initparams(SettingsRecord& sysparams, UiServices& ui) {
    if (!folderExists(settings::workingFolder) && !createFolder(settings::workingFolder)) {
        return fail(ui, configErrorMessage);
    }
    if (!fileExists(settings::paramsFile) &&
        !writeRecord(settings::paramsFile, SettingsRecord::defaults())) {
        return fail(ui, configErrorMessage);
    }
    return readparams(sysparams, ui);
}

bool readparams(SettingsRecord& sysparams, UiServices& ui) {
    std::string line;
    if (!fileExists(settings::paramsFile) || !readFirstLine(line)) {
        return fail(ui, configErrorMessage);
    }
    sysparams = SettingsRecord::fromText(line);
    return true;
}

bool writeparams(const SettingsRecord& sysparams, UiServices& ui) {
    const std::string path = settings::paramsFile;
    const std::string fresh = path + ".new";
    if (!fileExists(path)) {
        return fail(ui, writeErrorMessage);
    }
    if (!writeRecord(fresh, sysparams) || !replaceFile(fresh, path)) {
        deleteFile(fresh);
        return fail(ui, writeErrorMessage);
    }
    return true;
}

} // namespace pkivo
