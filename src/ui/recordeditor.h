// What the Instruction Editor and the Packed Move/Position Editor share: a line number with its
// scroll bar, one box per record field (the record's field table names them), Put and Get, the
// packet box and the status line. The two windows differ in their form and their record.
#pragma once

#include "link/records.h"
#include "ui/linkwindow.h"

#include <QWidget>

#include <cstdint>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace pkivo {

class RecordEditor : public QWidget, protected LinkWindow {
    Q_OBJECT
protected:
    RecordEditor(Console& console, record::Kind kind);
    ~RecordEditor() override;
    // Gathers the form's controls and connects them; the form must be set up.
    void wire();

private:
    // A box the user types a number into, and the largest number it takes.
    struct CheckedBox {
        QLineEdit* box;
        uint32_t largest;
        bool isLine = false;
    };

    void onGet();
    void onPut();
    void onScroll(int value);
    std::optional<uint32_t> take(const CheckedBox& c);
    void mark(QLineEdit* box, bool refused);
    static std::optional<uint32_t> valueOf(const CheckedBox& c);
    template <class T> T* control(const char* name);

    record::Kind m_kind;
    CheckedBox m_line{};
    std::vector<CheckedBox> m_fields; // in the record's table order
    QPushButton* m_put = nullptr;
    QPushButton* m_get = nullptr;
    QLineEdit* m_info = nullptr;
    QLabel* m_working = nullptr;
    QLabel* m_reason = nullptr;
};

} // namespace pkivo
