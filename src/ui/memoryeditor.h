// The "Memory Editor" window: single bytes of the controller's RAM or EEPROM read and written by
// address, a bit editor for the last byte read, a 16-bit value split into two bytes, and four
// quick rows that read or write RAM at their own addresses.
#pragma once

#include "console/memoryaccess.h"
#include "core/bytevalues.h"
#include "ui/linkwindow.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class Memoryeditor;
}

namespace pkivo {

class Memoryeditor : public QWidget, private LinkWindow {
    Q_OBJECT
public:
    explicit Memoryeditor(Console& console);
    ~Memoryeditor() override;

private:
    enum class Range { Address, Byte, Word };
    // A box whose number is refused where it is typed when it is out of `range`.
    struct CheckedBox {
        QLineEdit* box;
        QLabel* reason;
        Range range;
    };

    void onMemoryaddressChanged();
    void stepAddress(int by);
    void onCommand6();
    void onCommand1();
    void writeFrom(QLineEdit* source);
    void writeSplit(bool high);
    void writeByte(uint32_t byte);
    void sumbits();
    bytevalue::Bits bitsFromBoxes() const;
    MemoryArea area() const;
    void onIn16bitsChanged();
    void quickRead(size_t row);
    void quickWrite(size_t row);

    // The box's number, or nothing with the box marked; an empty box is refused only here.
    std::optional<uint32_t> take(QLineEdit* box);
    void checkTyped(QLineEdit* box);
    void mark(QLineEdit* box, bool refused);
    const CheckedBox& checked(QLineEdit* box) const;
    static std::optional<uint32_t> valueOf(const CheckedBox& c);
    static QString reasonFor(Range range);
    // Runs one exchange with the read and write buttons held and shows its status line.
    MemoryResult run(const std::function<MemoryResult()>& call);

    std::unique_ptr<Ui::Memoryeditor> m_ui;
    std::vector<QCheckBox*> m_bits; // Check1..Check8: bit 0 first
    std::vector<QLineEdit*> m_Aaddress;
    std::vector<QLineEdit*> m_Adata;
    std::vector<QPushButton*> m_aread;
    std::vector<QPushButton*> m_awrite;
    std::vector<QWidget*> m_exchangeButtons; // disablebuttons' set
    std::vector<CheckedBox> m_checked;
};

} // namespace pkivo
