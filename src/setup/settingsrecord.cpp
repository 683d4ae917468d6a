#include "setup/settingsrecord.h"

#include <algorithm>

namespace pkivo {

SettingsRecord SettingsRecord::defaults() {
    SettingsRecord record;
    record.m_text.assign(settings::recordLength, '0');
    // Same order as the first start has always written them.
    record.setField(settings::comport, "00");
    record.setField(settings::combaud, "057600");
    record.setField(settings::comparity, "n");
    record.setField(settings::combits, "8");
    record.setField(settings::comstopbits, "1");
    record.setField(settings::comother, "0000000000000000");
    record.setField(settings::reservedNumber1, "00200");
    record.setField(settings::reservedNumber2, "00200");
    record.setField(settings::reservedNumber3, "00200");
    record.setField(settings::reservedNumber4, "00100");
    record.setField(settings::reservedNumber5, "00200");
    record.setField(settings::reservedNumber6, "00200");
    record.setField(settings::reservedNumber7, "00200");
    record.setField(settings::reservedFlag, "1");
    record.setField(settings::versionBanner,
                    fixedWidth(std::string(16, ' '),
                               std::string("Tolvane Version ") + settings::programVersion, 16));
    record.setPath(settings::flashfileloc, "c:\\Tolvane\\flash.tmp");
    record.setPath(settings::gfilebox, "c:\\Tolvane\\kivo.txt");
    record.setPath(settings::listfileloc, "c:\\Tolvane\\list.txt");
    record.setPath(settings::flashmemfileloc, "c:\\Tolvane\\Flashda.fla");
    return record;
}

SettingsRecord SettingsRecord::fromText(const std::string& line) {
    SettingsRecord record;
    record.m_text = line;
    if (line.size() < settings::recordLength) {
        record.m_text += defaults().m_text.substr(line.size());
    }
    return record;
}

std::string SettingsRecord::path(Field f) const {
    std::string text = field(f);
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

void SettingsRecord::setPath(Field f, const std::string& path) {
    setField(f, fixedWidth(std::string(settings::pathWidth, ' '), path, settings::pathWidth));
}

} // namespace pkivo
