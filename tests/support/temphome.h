// A fresh, empty home directory for one test: HOME points at it while the object lives.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace pkivo::test {

class TempHome {
public:
    TempHome() : m_oldHome(qgetenv("HOME")) { qputenv("HOME", m_dir.path().toUtf8()); }
    ~TempHome() { qputenv("HOME", m_oldHome); }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    std::string path() const { return m_dir.path().toStdString(); }
    // `relative` below the home directory, e.g. "Tolvane/params.ovh".
    std::string file(const std::string& relative) const { return path() + "/" + relative; }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
};

// Whole-file helpers for byte-exact assertions; writing makes the file's folder first.
inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeWholeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace pkivo::test
