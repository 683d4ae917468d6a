#include "platform/textfile.h"

#include "platform/drivepath.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace pkivo {

namespace {
constexpr size_t writeBufferLimit = 1 << 16;
}

bool TextReader::open(const std::string& path) {
    close();
    std::ifstream in(mapDrivePath(path), std::ios::binary);
    if (!in) {
        return false;
    }
    std::error_code error;
    if (std::filesystem::is_directory(mapDrivePath(path), error)) {
        return false;
    }
    m_text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        m_text.clear();
        return false;
    }
    m_open = true;
    return true;
}

std::string TextReader::readLine() {
    size_t end = m_text.find_first_of("\r\n", m_position);
    if (end == std::string::npos) {
        end = m_text.size();
    }
    std::string line = m_text.substr(m_position, end - m_position);
    m_position = end;
    if (m_position < m_text.size()) {
        bool crlf = m_text[m_position] == '\r' && m_position + 1 < m_text.size() &&
                    m_text[m_position + 1] == '\n';
        m_position += crlf ? 2 : 1;
    }
    return line;
}

void TextReader::close() {
    m_text.clear();
    m_position = 0;
    m_open = false;
}

TextWriter::~TextWriter() { close(); }

bool TextWriter::create(const std::string& path) {
    close();
    m_failed = false;
    m_file = std::fopen(mapDrivePath(path).c_str(), "wb");
    return m_file != nullptr;
}

void TextWriter::write(const std::string& text) {
    if (!m_file) {
        return;
    }
    m_buffer += text;
    if (m_buffer.size() >= writeBufferLimit) {
        flushBuffer();
    }
}

void TextWriter::writeLine(const std::string& text) {
    write(text);
    write("\r\n");
}

void TextWriter::flushBuffer() {
    if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) !=
                                 m_buffer.size()) {
        m_failed = true;
    }
    m_buffer.clear();
}

bool TextWriter::close() {
    if (!m_file) {
        return !m_failed;
    }
    flushBuffer();
    if (std::fclose(m_file) != 0) {
        m_failed = true;
    }
    m_file = nullptr;
    return !m_failed;
}

bool folderExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(mapDrivePath(path), error);
}

bool createFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::create_directory(mapDrivePath(path), error) && !error;
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(mapDrivePath(path), error);
}

bool deleteFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::remove(mapDrivePath(path), error);
}

bool replaceFile(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::rename(mapDrivePath(from), mapDrivePath(to), error);
    return !error;
}

} // namespace pkivo
