#include "converter/translator.h"

#include "converter/instructionrecord.h"
#include "core/numbertext.h"
#include "core/textfield.h"

#include <algorithm>
#include <array>
#include <optional>

namespace pkivo {

namespace {

namespace ins = instruction;

// A run-time failure ends the pass; it never leaves this file.
struct RunTimeFailure {};

constexpr int64_t largestClamped = 65535;
constexpr size_t longestLabel = 16;

const char* const ignoredBanner = "********** ERROR - LINE IGNORED **********";
const char* const ignoredPrefix = ">>>>>> ";
const char* const missingLabelText = "  >> Cannot Locate Label  ";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The line without blanks, commas and tabs, in capitals, up to a "/" comment: into `text`,
// whose buffer is used again line after line.
void normalise(const std::string& line, std::string& text) {
    text.resize(line.size());
    size_t length = 0;
    for (char c : line) {
        if (c == ' ' || c == ',' || c == '\t') {
            continue;
        }
        text[length++] = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    text.resize(std::min(length, std::string_view(text).substr(0, length).find('/')));
}

bool startsWith(const std::string& text, std::string_view prefix) {
    return std::string_view(text).starts_with(prefix);
}

bool contains(const std::string& text, std::string_view word) {
    return text.find(word) != std::string::npos;
}

// An operand for a field that is not clamped: beyond a 32-bit integer its hex form cannot be
// computed, which ends the pass.
int64_t unclamped(const std::string& digits) {
    if (std::optional<int32_t> value = leadingLong(digits)) {
        return *value;
    }
    throw RunTimeFailure{};
}

int64_t clamped(const std::string& digits) {
    return int64_t(clampedNumber(digits, largestClamped));
}

std::string hex4(int64_t value) {
    return hexDigits(uint64_t(value), 4);
}
std::string hex2(int64_t value) {
    return hexDigits(uint64_t(value), 2);
}
std::string dec(const std::string& text, size_t width) {
    return zeroFilled(text, width);
}

// The address a label entry holds, as a number for a record field: its leading digits.
int64_t addressValue(const std::string& text) {
    return unclamped(std::string(leadingDigits(text)));
}

struct Register {
    const char* code;
    const char* setText;
    const char* suffixName; // "Servo 1", "DSR1"
};

constexpr std::array<Register, 8> servos{{
    {"01", "Set Servo 1 to ", "Servo 1"},
    {"02", "Set Servo 2 to ", "Servo 2"},
    {"03", "Set Servo 3 to ", "Servo 3"},
    {"04", "Set Servo 4 to ", "Servo 4"},
    {"05", "Set Servo 5 to ", "Servo 5"},
    {"06", "Set Servo 6 to ", "Servo 6"},
    {"07", "Set Servo 7 to ", "Servo 7"},
    {"08", "Set Servo 8 to ", "Servo 8"},
}};

constexpr std::array<Register, 3> dataRegisters{{
    {"20", "Set DSR1 to ", "DSR1"},
    {"21", "Set DSR2 to ", "DSR2"},
    {"22", "Set DSR3 to ", "DSR3"},
}};

} // namespace

const std::string& ProgramAddress::text() const {
    if (m_textStale) {
        m_text = std::to_string(m_value);
        m_textStale = false;
    }
    return m_text;
}

void ProgramAddress::set(const std::string& digits, int64_t value) {
    m_text = digits;
    m_textStale = false;
    m_value = value;
}

void ProgramAddress::increment() {
    ++m_value;
    m_textStale = true;
}

void Translator::startPass(int passno) {
    m_passno = passno;
    m_counters = {};
    m_pageempty = true;
    m_curaddr = ProgramAddress();
    m_curpage = 0;
    m_curslot = 0;
    m_labelcount = 0;
    clearpage();
}

bool Translator::convertline(const std::string& line) {
    m_srcline = line;
    normalise(line, m_curline);
    if (m_curline.size() < 2) {
        ++m_counters.blanklines;
        return true;
    }
    try {
        dispatch();
    } catch (const RunTimeFailure&) {
        return false;
    }
    return true;
}

void Translator::dispatch() {
    const std::string& l = m_curline;
    if (startsWith(l, "ADDRESS")) {
        return address();
    }
    if (startsWith(l, "MOVE")) {
        return move();
    }
    if (startsWith(l, "POSITION")) {
        return dataRow(9, "Load Position ");
    }
    if (startsWith(l, "RATE")) {
        return dataRow(5, "Load Rate ");
    }
    if (startsWith(l, "WAIT")) {
        return numeric(5, ins::op::wait, "Wait ", 4, "", nullptr);
    }
    if (startsWith(l, "STOP")) {
        return simple(ins::op::stop, "Stop", nullptr);
    }
    if (startsWith(l, "NOOPERATION") || startsWith(l, "NOP")) {
        return simple(ins::op::noOperation, "No Operation", nullptr);
    }
    if (startsWith(l, "GOTO")) {
        return jump(5, ins::op::jump, "Goto Line number: ", nullptr);
    }
    if (startsWith(l, "CALL")) {
        return call();
    }
    if (startsWith(l, "GOSUB")) {
        return jump(6, ins::op::call, "GoSub Line number: ", &m_counters.callcount);
    }
    if (startsWith(l, "RETURN")) {
        return simple(ins::op::ret, "Return from Subprogram", &m_counters.returncount);
    }
    if (startsWith(l, "DO")) {
        return numeric(3, ins::op::doLoop, "Do ", 4, " Times", &m_counters.docount);
    }
    if (startsWith(l, "LOOP")) {
        return simple(ins::op::loop, "Loop", &m_counters.loopcount);
    }
    if (startsWith(l, "OUTPUT")) {
        return output();
    }
    if (startsWith(l, "MARKER")) {
        return marker();
    }
    if (startsWith(l, "IFINPUT")) {
        return ifinput();
    }
    // The register statements: "S1=" to "S8-" and "DSR1=" to "DSR3-". No line starts with two of
    // these keywords, so the order they have always been tried in makes no difference.
    const Register* r = nullptr;
    size_t opAt = 0;
    if (startsWith(l, "DSR") && l.size() > 4 && l[3] >= '1' && l[3] <= '3') {
        r = &dataRegisters[size_t(l[3] - '1')];
        opAt = 4;
    } else if (l[0] == 'S' && l[1] >= '1' && l[1] <= '8') {
        r = &servos[size_t(l[1] - '1')];
        opAt = 2;
    }
    if (r && opAt < l.size()) {
        const size_t column = opAt + 2;
        switch (l[opAt]) {
        case '=':
            return registerStatement(column, ins::op::setRegister, r->code, r->setText, "");
        case '+':
            return registerStatement(column, ins::op::addRegister, r->code, "Add  ",
                                     std::string(" to ") + r->suffixName);
        case '-':
            return registerStatement(column, ins::op::subtractRegister, r->code, "Subtract ",
                                     std::string(" from ") + r->suffixName);
        default:
            break;
        }
    }
    if (l.size() <= longestLabel) {
        return label();
    }
    ignored();
}

// --- page and listing helpers ---------------------------------------------------------------

void Translator::clearpage() {
    m_pagebuf.assign(ins::pageDigits, 'F');
}

void Translator::newRecord(const char* opcode) {
    m_insrec.assign(ins::recordDigits, 'F');
    overwrite(m_insrec, ins::opcode, opcode);
}

void Translator::flushpage() {
    m_out.pageLine(decimalDigits(uint64_t(m_curpage), ins::pageNumberDigits) + m_pagebuf);
    recomputePage();
}

void Translator::recomputePage() {
    m_curpage = m_curaddr.value() / int64_t(ins::recordsPerPage);
    m_curslot = m_curaddr.value() - int64_t(ins::recordsPerPage) * m_curpage;
}

void Translator::ignoreline() {
    m_out.listLine(ignoredBanner);
    m_out.listLine(ignoredPrefix + m_srcline);
}

void Translator::listlabel() {
    m_out.listLine(m_curaddr.text() + " label: " + m_curline + " " + m_curaddr.text());
}

bool Translator::digitAt(size_t column) const {
    return column <= m_curline.size() && isDigit(m_curline[column - 1]);
}

std::string Translator::digitsAt(size_t column) const {
    return column <= m_curline.size()
               ? std::string(leadingDigits(std::string_view(m_curline).substr(column - 1)))
               : std::string();
}

std::optional<std::string> Translator::numericOperand(size_t column, bool blockWhenNotDigit) {
    if (operandAbsent(column)) {
        ignored();
        return std::nullopt;
    }
    if (!digitAt(column)) {
        emptySlot(blockWhenNotDigit);
        return std::nullopt;
    }
    return digitsAt(column);
}

// --- outcomes --------------------------------------------------------------------------------

void Translator::place() {
    m_pagebuf.replace(ins::recordDigits * size_t(m_curslot), ins::recordDigits, m_insrec);
    finishPlacement();
}

void Translator::finishPlacement() {
    ++m_counters.goodlines;
    if (m_out.keepsListLines()) {
        m_line.assign(m_curaddr.text()).append(" ").append(m_listing);
        m_out.listLine(m_line);
    }
    m_curaddr.increment();
    m_pageempty = false;
    if (m_curslot > 14) {
        flushpage();
        clearpage();
    }
    recomputePage();
}

void Translator::placeCounted(long* counter) {
    if (counter) {
        ++*counter;
    }
    place();
}

void Translator::ignored() {
    ignoreline();
    ++m_counters.errorbumper;
}

void Translator::emptySlot(bool withBlock) {
    if (withBlock) {
        ignoreline();
    }
    ++m_counters.errorbumper;
    listing("ERROR ", m_curline);
    finishPlacement();
}

void Translator::missingLabel(const std::string& name) {
    m_srcline += missingLabelText + name;
    ignored();
}

// --- statements ------------------------------------------------------------------------------

void Translator::address() {
    constexpr size_t column = 8;
    if (operandAbsent(column)) {
        return ignored();
    }
    if (!m_pageempty) {
        flushpage();
        clearpage();
    }
    std::string digits = digitsAt(column);
    if (digits.empty()) {
        m_curaddr.set("", 0); // the address becomes empty, and an empty address has no page
        throw RunTimeFailure{};
    }
    m_curaddr.set(digits, unclamped(digits));
    recomputePage();
}

void Translator::move() {
    std::optional<std::string> position = numericOperand(5, true);
    if (!position) {
        return;
    }
    newRecord(ins::op::move);
    overwrite(m_insrec, ins::operand, hex4(unclamped(*position)));
    overwrite(m_insrec, ins::mode, ins::rate::dsr1);
    listing("Move To Position: ", dec(*position, 5));

    static constexpr std::array<const char*, 3> sources{"02", "03", "04"};
    for (size_t k = 0; k < sources.size(); ++k) {
        std::string dsr = "DSR" + std::to_string(k + 1);
        if (contains(m_curline, "RATE=" + dsr)) {
            overwrite(m_insrec, ins::mode, sources[k]);
            m_listing += " Rate = " + dsr;
            return place();
        }
    }
    size_t rate = m_curline.find("RATE=");
    if (rate != std::string::npos) {
        size_t valueColumn = rate + 6;
        if (valueColumn <= m_curline.size()) {
            if (!digitAt(valueColumn)) {
                return emptySlot(true);
            }
            int64_t r = clamped(digitsAt(valueColumn));
            overwrite(m_insrec, ins::mode, ins::rate::immediate);
            overwrite(m_insrec, ins::argument, hex4(r));
            m_listing += " Rate: " + dec(std::to_string(r), 5);
            return place();
        }
        ignored(); // "Rate=" ends the line: warn and look for a table instead
    }
    size_t table = m_curline.find("TABLE=");
    if (table != std::string::npos) {
        size_t valueColumn = table + 7;
        if (valueColumn > m_curline.size()) {
            // "Table=" ends the line: warn, and the move keeps its rate from DSR1.
            ignored();
            return place();
        }
        if (!digitAt(valueColumn)) {
            return emptySlot(true);
        }
        int64_t t = int64_t(leadingNumber(digitsAt(valueColumn)));
        t = t > 250 ? 255 : t;
        overwrite(m_insrec, ins::mode, ins::rate::table);
        overwrite(m_insrec, ins::argument, hex4(t));
        m_listing += " Table: " + dec(std::to_string(t), 2);
    }
    place();
}

void Translator::dataRow(size_t searchColumn, const char* title) {
    if (m_curline.find('S', searchColumn - 1) == std::string::npos) {
        return ignored();
    }
    m_insrec.clear();
    listing(title);
    for (int k = 1; k <= 8; ++k) {
        std::string keyword = "S" + std::to_string(k) + "=";
        size_t at = m_curline.find(keyword);
        if (at == std::string::npos) {
            m_insrec += "FFFF";
            continue;
        }
        size_t valueColumn = at + keyword.size() + 1;
        if (!digitAt(valueColumn)) {
            return emptySlot(true);
        }
        std::string digits = digitsAt(valueColumn);
        m_insrec += hex4(unclamped(digits));
        m_listing += " " + keyword + " " + digits;
    }
    place();
}

void Translator::simple(const char* opcode, const char* listing, long* counter) {
    newRecord(opcode);
    this->listing(listing);
    placeCounted(counter);
}

void Translator::numeric(size_t column, const char* opcode, const std::string& title, size_t width,
                         const std::string& suffix, long* counter) {
    std::optional<std::string> digits = numericOperand(column, true);
    if (!digits) {
        return;
    }
    newRecord(opcode);
    overwrite(m_insrec, ins::operand, hex4(unclamped(*digits)));
    listing(title, dec(*digits, width), suffix);
    placeCounted(counter);
}

void Translator::jump(size_t column, const char* opcode, const char* title, long* counter) {
    if (operandAbsent(column)) {
        return ignored();
    }
    if (digitAt(column)) {
        return numeric(column, opcode, title, 5, "", counter);
    }
    std::string name = m_curline.substr(column - 1);
    const std::string* target = findLabel(name);
    if (!target && m_passno == 2) {
        return missingLabel(name);
    }
    // In the first pass a label defined further down is not known yet: the jump still takes
    // its address, with an empty target that the second pass fills in.
    std::string address = target ? *target : std::string();
    newRecord(opcode);
    overwrite(m_insrec, ins::operand, hex4(target ? addressValue(address) : 0));
    listing(title, dec(address, 5));
    placeCounted(counter);
}

void Translator::call() {
    // CALL takes line numbers only (a label leaves an empty slot); GOSUB takes labels too.
    numeric(5, ins::op::call, "Call Line number: ", 5, "", &m_counters.callcount);
}

void Translator::output() {
    std::optional<std::string> digits = numericOperand(7, false);
    if (!digits) {
        return;
    }
    m_insrec.assign(ins::recordDigits, 'F');
    overwrite(m_insrec, ins::operand, hex4(unclamped(*digits)));
    listing("Output ", dec(*digits, 4));
    if (contains(m_curline, "ON")) {
        overwrite(m_insrec, ins::opcode, ins::op::outputOn);
        m_listing += " On";
    }
    if (contains(m_curline, "OFF")) {
        overwrite(m_insrec, ins::opcode, ins::op::outputOff);
        m_listing += " Off";
    }
    place();
}

void Translator::marker() {
    constexpr size_t column = 7;
    if (operandAbsent(column)) {
        return ignored();
    }
    std::string text = m_curline.substr(column - 1);
    std::string codes = ins::op::noOperation;
    for (char c : text) {
        if (codes.size() >= ins::recordDigits) {
            break;
        }
        codes += hex2(static_cast<unsigned char>(c));
    }
    codes.resize(ins::recordDigits, 'F');
    m_insrec = codes;
    listing("Marker: ", text);
    place();
}

void Translator::ifinput() {
    std::optional<std::string> input = numericOperand(8, true);
    if (!input) {
        return;
    }
    newRecord(ins::op::ifInput);
    overwrite(m_insrec, ins::selector, hex2(unclamped(*input)));
    listing("If Input number ", dec(*input, 3));

    size_t equals = m_curline.find('=');
    if (equals != std::string::npos) {
        size_t valueColumn = equals + 2;
        if (valueColumn > m_curline.size()) {
            ignored(); // "=" ends the line: warn and go on without a compare value
        } else if (!digitAt(valueColumn)) {
            return emptySlot(true);
        } else {
            int64_t v = clamped(digitsAt(valueColumn));
            overwrite(m_insrec, ins::operand, hex4(v));
            m_listing += " = " + rightmost(std::to_string(v), 5);
        }
    }

    size_t jumpAt = m_curline.find("GOTO");
    if (jumpAt != std::string::npos) {
        std::string target = m_curline.substr(jumpAt + 4);
        if (target.empty()) {
            ignored(); // "GOTO" ends the line: warn and look for the other actions
        } else {
            overwrite(m_insrec, ins::mode, ins::action::jump);
            if (isDigit(target[0])) {
                std::string digits = digitsAt(jumpAt + 5);
                overwrite(m_insrec, ins::argument, hex4(unclamped(digits)));
                listing("If Input = Value Goto Line number: ", dec(digits, 5));
                return place();
            }
            const std::string* address = findLabel(target);
            if (!address && m_passno == 2) {
                return missingLabel(target);
            }
            std::string text = address ? *address : std::string();
            overwrite(m_insrec, ins::argument, hex4(address ? addressValue(text) : 0));
            listing("If Input = Value Then Goto Line number: ", dec(text, 5));
            return place();
        }
    }

    size_t callAt = m_curline.find("GOSUB");
    if (callAt != std::string::npos) {
        std::string target = m_curline.substr(callAt + 5);
        if (target.empty()) {
            ignored(); // "GOSUB" ends the line: warn and look for STOP
        } else if (isDigit(target[0])) {
            int64_t t = clamped(digitsAt(callAt + 6));
            overwrite(m_insrec, ins::mode, ins::action::call);
            overwrite(m_insrec, ins::argument, hex4(t));
            m_listing += " Gosub " + rightmost(std::to_string(t), 5);
            return place();
        } else {
            const std::string* address = findLabel(target);
            if (!address) {
                return m_passno == 2 ? missingLabel(target) : emptySlot(true);
            }
            overwrite(m_insrec, ins::mode, ins::action::call);
            overwrite(m_insrec, ins::argument, hex4(addressValue(*address)));
            listing("Ifinput = Value Gosub Line number: ", dec(*address, 5));
            return place();
        }
    }

    if (contains(m_curline, "STOP")) {
        overwrite(m_insrec, ins::mode, ins::action::stop);
        m_listing += " Stop";
    }
    place();
}

void Translator::registerStatement(size_t column, const char* opcode, const char* code,
                                   const std::string& title, const std::string& suffix) {
    std::optional<std::string> digits = numericOperand(column, false);
    if (!digits) {
        return;
    }
    newRecord(opcode);
    overwrite(m_insrec, ins::selector, code);
    overwrite(m_insrec, ins::operand, hex4(unclamped(*digits)));
    listing(title, dec(*digits, 5), suffix);
    place();
}

void Translator::label() {
    if (m_labelcount >= LabelTable::capacity) {
        throw RunTimeFailure{};
    }
    m_labels.define(m_labelcount, m_curline, m_curaddr.text());
    listlabel();
    ++m_labelcount;
}

} // namespace pkivo
