// Single-byte text files as the program uses them: lines written with CR LF, lines read up to
// CR LF, LF or CR. Paths are the program's own ("c:\Tolvane\list.txt"), mapped on open.
#pragma once

#include <memory>
#include <string>

namespace pkivo {

// A whole file opened for reading, served line by line.
class TextReader {
public:
    // Opens `path`; false when the file cannot be opened or read.
    bool open(const std::string& path);
    bool isOpen() const { return m_open; }

    bool atEndOfStream() const { return m_position >= m_text.size(); }
    // The size of the whole file in characters.
    size_t size() const { return m_text.size(); }
    // The next line without its line end; "" at the end of the stream.
    std::string readLine();
    // The same into `line`, whose buffer is used again: for a loop over many lines.
    void readLine(std::string& line);
    void close();

private:
    std::string m_text;
    size_t m_position = 0;
    bool m_open = false;
};

// A file opened for writing. Writes are buffered and reach the disk at close(), or sooner
// when the buffer grows; what was written before a failure is kept.
class TextWriter {
public:
    TextWriter() = default;
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // Creates `path` (a plain file of that name is replaced); false when that fails.
    bool create(const std::string& path);
    bool isOpen() const { return m_file != nullptr; }

    void write(const std::string& text);
    void writeLine(const std::string& text);
    // Flushes and closes; false when any write failed.
    bool close();

private:
    void flushBuffer();

    std::FILE* m_file = nullptr;
    std::string m_buffer;
    bool m_failed = false;
};

bool folderExists(const std::string& path);
bool createFolder(const std::string& path);
bool fileExists(const std::string& path);
bool deleteFile(const std::string& path);
// Renames `from` over `to` in one step (both on the same folder).
bool replaceFile(const std::string& from, const std::string& to);

} // namespace pkivo
