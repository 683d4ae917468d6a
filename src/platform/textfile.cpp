#include "platform/textfile.h"

#include "platform/drivepath.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace pkivo {

namespace {
constexpr size_t writeBufferLimit = 1 << 16;

// The characters before the first CR or LF. Two memchr scans (the LF one only up to the CR)
// instead of a loop over every character: page lines are 533 characters long.
size_t lineLength(std::string_view text) {
    const size_t cr = std::min(text.find('\r'), text.size());
    return std::min(text.substr(0, cr).find('\n'), cr);
}
} // namespace

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
    // Read straight into the text, in one piece when the size is known.
    const uintmax_t size = std::filesystem::file_size(mapped, error);
    m_text.resize(error ? size_t(1) << 12 : size_t(size) + 1); // + 1: the end shows at once
    size_t length = 0;
    for (size_t got; (got = std::fread(m_text.data() + length, 1, m_text.size() - length, file));) {
        length += got;
        if (length == m_text.size()) {
            m_text.resize(2 * length);
        }
    }
    m_text.resize(length);
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
    std::string line;
    readLine(line);
    return line;
}

void TextReader::readLine(std::string& line) {
    const size_t end = m_position + lineLength(std::string_view(m_text).substr(m_position));
    line.assign(m_text, m_position, end - m_position);
    m_position = end;
    if (m_position < m_text.size()) {
        bool crlf = m_text[m_position] == '\r' && m_position + 1 < m_text.size() &&
                    m_text[m_position + 1] == '\n';
        m_position += crlf ? 2 : 1;
    }
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
    const std::string mapped = mapDrivePath(path);
    // A file of that name is replaced by a new one rather than emptied: ext4 writes out a file
    // emptied and written again at its close, which made every conversion wait on the disk. A
    // link or anything else that is not a plain file is left for fopen to go through or refuse.
    std::error_code error;
    if (std::filesystem::is_regular_file(std::filesystem::symlink_status(mapped, error))) {
        std::filesystem::remove(mapped, error);
    }
    m_file = std::fopen(mapped.c_str(), "wb");
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
