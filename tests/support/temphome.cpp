#include "temphome.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace pkivo::test {

TempHome::TempHome() : m_oldHome(qgetenv("HOME")) {
    qputenv("HOME", m_dir.path().toUtf8());
}

TempHome::~TempHome() {
    qputenv("HOME", m_oldHome);
}

std::string TempHome::path() const {
    return m_dir.path().toStdString();
}

std::string TempHome::file(const std::string& relative) const {
    return path() + "/" + relative;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeWholeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace pkivo::test
