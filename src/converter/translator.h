// The line translator: turns one script line into one instruction record placed at the current
// program address, one listing line, and updates of the converter's counters.
#pragma once

#include "converter/labeltable.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pkivo {

// The converter window's seven counters.
struct Counters {
    long goodlines = 0;   // "Lines converted"
    long errorbumper = 0; // "Errors / Warnings"
    long blanklines = 0;  // "Lines with no data"
    long callcount = 0;
    long returncount = 0;
    long docount = 0;
    long loopcount = 0;
    bool operator==(const Counters&) const = default;
};

// Where the translator's lines go: the list file and the temporary page file.
class TranslatorOutput {
public:
    virtual ~TranslatorOutput() = default;
    virtual void listLine(const std::string& line) = 0;
    virtual void pageLine(const std::string& line) = 0;
    // False when list lines are thrown away: then they are not even put together.
    virtual bool keepsListLines() const { return true; }
};

// The program address of the next record. After ADDRESS it keeps the operand exactly as
// written ("0100") until the next record moves it on, so listings show the leading zeros.
class ProgramAddress {
public:
    int64_t value() const { return m_value; }
    const std::string& text() const;
    void set(const std::string& digits, int64_t value);
    void increment();

private:
    int64_t m_value = 0;
    // Written out only when asked for: most addresses are counted on and never shown.
    mutable std::string m_text = "0";
    mutable bool m_textStale = false;
};

class Translator {
public:
    Translator(LabelTable& labels, TranslatorOutput& output) : m_labels(labels), m_out(output) {}

    // Prepares pass 1 or 2: counters, address, page and label count back to their start.
    void startPass(int passno);
    // Translates one line as read from the script. False on a run-time failure (a number
    // beyond 32 bits, ADDRESS without digits, more than 1001 labels): the pass must end.
    bool convertline(const std::string& line);
    // Writes the page being filled, used after the last line of a pass.
    void flushpage();

    const Counters& counters() const { return m_counters; }
    const ProgramAddress& curaddr() const { return m_curaddr; }

private:
    void dispatch();
    void clearpage();
    void ignoreline();
    void listlabel();
    void recomputePage();

    // Outcomes.
    void place();
    void placeCounted(long* counter);
    void finishPlacement();
    void ignored();
    void emptySlot(bool withBlock);
    void missingLabel(const std::string& name);

    // Statements.
    void address();
    void move();
    void dataRow(size_t searchColumn, const char* title);
    void simple(const char* opcode, const char* listing, long* counter);
    void numeric(size_t column, const char* opcode, const std::string& title, size_t width,
                 const std::string& suffix, long* counter);
    void jump(size_t column, const char* opcode, const char* title, long* counter);
    void call();
    void output();
    void marker();
    void ifinput();
    void registerStatement(size_t column, const char* opcode, const char* code,
                           const std::string& title, const std::string& suffix);
    void label();

    // The record in the making: erased, with `opcode` in place.
    void newRecord(const char* opcode);
    // The listing text: the parts one after the other.
    template <class... Parts> void listing(const Parts&... parts) {
        m_listing.clear();
        (m_listing.append(parts), ...);
    }

    bool operandAbsent(size_t column) const { return m_curline.size() < column; }
    bool digitAt(size_t column) const;
    std::string digitsAt(size_t column) const;
    // The digits at the operand column. A keyword alone is ignored and a column that does not
    // start with a digit leaves an empty slot (with or without the error block): then nothing.
    std::optional<std::string> numericOperand(size_t column, bool blockWhenNotDigit);
    // The address text of label `name`, or nullptr when it is not known (yet).
    const std::string* findLabel(const std::string& name) const { return m_labels.find(name); }

    LabelTable& m_labels;
    TranslatorOutput& m_out;

    std::string m_curline;
    std::string m_srcline;
    std::string m_insrec;
    std::string m_listing;
    std::string m_line; // the list file line being written
    ProgramAddress m_curaddr;
    int64_t m_curpage = 0;
    int64_t m_curslot = 0;
    std::string m_pagebuf;
    bool m_pageempty = true;
    int m_passno = 1;
    int m_labelcount = 0;
    Counters m_counters;
};

} // namespace pkivo
