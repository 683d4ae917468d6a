// The settings record `sysparams`: 512 characters at fixed positions, held in memory for the
// whole run and stored as the one line of c:\Tolvane\params.ovh.
#pragma once

#include "core/textfield.h"

#include <string>

namespace pkivo {

// Where every field of the record lies.
namespace settings {
inline constexpr size_t recordLength = 512;
inline constexpr Field versionBanner{10, 16};
inline constexpr Field reservedNumber1{50, 5};
inline constexpr Field reservedNumber2{55, 5};
inline constexpr Field reservedNumber3{60, 5};
inline constexpr Field reservedNumber4{65, 5};
inline constexpr Field reservedNumber5{70, 5};
inline constexpr Field reservedNumber6{75, 5};
inline constexpr Field reservedNumber7{80, 5};
inline constexpr Field reservedFlag{85, 1};
inline constexpr Field comport{100, 2};
inline constexpr Field combaud{102, 6};
inline constexpr Field comparity{108, 1};
inline constexpr Field combits{109, 1};
inline constexpr Field comstopbits{110, 1};
inline constexpr Field comother{111, 16};
inline constexpr Field flashfileloc{200, 32};
inline constexpr Field gfilebox{232, 32};
inline constexpr Field listfileloc{264, 32};
inline constexpr Field flashmemfileloc{296, 32};
inline constexpr size_t pathWidth = 32;

inline constexpr const char* workingFolder = "c:\\Tolvane";
inline constexpr const char* paramsFile = "c:\\Tolvane\\params.ovh";
inline constexpr const char* programVersion = "2.04";
} // namespace settings

class SettingsRecord {
public:
    // The record a first start writes: "0" filler, the port defaults, the reserved numbers,
    // the cut version banner and the four default paths, right-aligned.
    static SettingsRecord defaults();
    // A record as read from params.ovh. A hand-edited line shorter than 512 characters is
    // completed with the default record's characters, so every field reads something sensible
    // and the next save writes a whole record again.
    static SettingsRecord fromText(const std::string& line);

    const std::string& text() const { return m_text; }

    // A field as stored, padding included.
    std::string field(Field f) const { return cut(m_text, f); }
    // Overwrites a field in place; the record keeps its length.
    void setField(Field f, const std::string& value) { overwrite(m_text, f, value); }
    // A path field as every reader takes it: the 32 characters with every space removed.
    std::string path(Field f) const;
    // Stores a path right-aligned in its field; a longer path keeps its rightmost characters.
    void setPath(Field f, const std::string& path);

    std::string comport() const { return field(settings::comport); }
    std::string combaud() const { return field(settings::combaud); }
    std::string comparity() const { return field(settings::comparity); }
    std::string combits() const { return field(settings::combits); }
    std::string comstopbits() const { return field(settings::comstopbits); }
    std::string comother() const { return field(settings::comother); }
    std::string flashfileloc() const { return path(settings::flashfileloc); }
    std::string gfilebox() const { return path(settings::gfilebox); }
    std::string listfileloc() const { return path(settings::listfileloc); }
    std::string flashmemfileloc() const { return path(settings::flashmemfileloc); }

private:
    std::string m_text;
};

} // namespace pkivo
