#include "platform/textfile.h"

#include "platform/drivepath.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace pkivo {

namespace {
constexpr size_t writeBufferLimit = 1 << 16;
}

bool TextReader::open(const std::string& path) {
    close();
    const std::string mapped = mapDrivePath(path);
    std::error_code error;
    if (std::filesystem::is_directory(mapped, error)) {
        return false;
    }
    std::FILE* file = std::fopen(mapped.c_str(), "rb");
    if (!file) {
        return false;
    }
    m_text.reserve(size_t(std::filesystem::file_size(mapped, error)) + 1);
    char chunk[1 << 16];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        m_text.append(chunk, got);
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        m_text.clear();
        return false;
    }
    m_open = true;
    return true;
}

std::string TextReader::readLine() {
    size_t end = m_position;
    while (end < m_text.size() && m_text[end] != '\r' && m_text[end] != '\n') {
        ++end;
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

TextWriter::~TextWriter() {
    close();
}

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
    if (!m_buffer.empty() &&
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) {
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
