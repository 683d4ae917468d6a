// A fresh, empty home directory for one test: HOME points at it while the object lives.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <string>

namespace pkivo::test {

class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    std::string path() const;
    // `relative` below the home directory, e.g. "Tolvane/params.ovh".
    std::string file(const std::string& relative) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
};

// Whole-file helpers for byte-exact assertions; writing makes the file's folder first.
std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& bytes);

} // namespace pkivo::test
