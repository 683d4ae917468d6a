#include "ui/recordeditor.h"

#include "console/console.h"
#include "console/recordaccess.h"
#include "ui/refusedbox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace pkivo {

namespace {

const char* const waiting = "WAITING FOR RESPONCE";

std::string latin1(const QLineEdit* box) {
    return box->text().toLatin1().toStdString();
}

QString shown(const std::string& text) {
    return QString::fromLatin1(text.c_str());
}

} // namespace

RecordEditor::RecordEditor(Console& console, record::Kind kind)
    : QWidget(nullptr, Qt::Window), LinkWindow(console), m_kind(kind) {}

RecordEditor::~RecordEditor() = default;

template <class T> T* RecordEditor::control(const char* name) {
    T* found = findChild<T*>(name);
    if (found == nullptr) {
        qFatal("the form has no control %s", name);
    }
    return found;
}

void RecordEditor::wire() {
    m_line = {control<QLineEdit>("linenumber"), record::largestLine, true};
    for (const record::Box& b : record::boxes(m_kind)) {
        const std::string name(b.name);
        m_fields.push_back({control<QLineEdit>(name.c_str()), b.largest, false});
    }
    m_put = control<QPushButton>("Command1");
    m_get = control<QPushButton>("Command2");
    m_info = control<QLineEdit>("info");
    m_working = control<QLabel>("working");
    m_reason = control<QLabel>("refusedReason");
    m_reason->setMinimumHeight(m_reason->fontMetrics().height());

    std::vector<CheckedBox> typed = m_fields;
    typed.push_back(m_line);
    for (const CheckedBox& c : typed) {
        connect(c.box, &QLineEdit::textChanged, this,
                [this, c] { mark(c.box, !c.box->text().isEmpty() && !valueOf(c)); });
    }
    auto* scroll = control<QScrollBar>("VScroll1");
    connect(scroll, &QScrollBar::valueChanged, this, &RecordEditor::onScroll);
    // The bar is drawn with 32000 at its top, but its arrows keep their places: the up arrow
    // (and a click above the handle) is made to raise the line, the down arrow to lower it.
    connect(scroll, &QScrollBar::actionTriggered, this, [scroll](int action) {
        const int single = scroll->singleStep(), page = scroll->pageStep();
        const int by = action == QAbstractSlider::SliderSingleStepSub   ? single
                       : action == QAbstractSlider::SliderSingleStepAdd ? -single
                       : action == QAbstractSlider::SliderPageStepSub   ? page
                       : action == QAbstractSlider::SliderPageStepAdd   ? -page
                                                                        : 0;
        if (by != 0) {
            scroll->setSliderPosition(scroll->value() + by);
        }
    });
    connect(m_get, &QPushButton::clicked, this, &RecordEditor::onGet);
    connect(m_put, &QPushButton::clicked, this, &RecordEditor::onPut);

    // Every field starts at its largest value: a record of filler.
    for (const CheckedBox& c : m_fields) {
        c.box->setText(QString::number(c.largest));
    }
}

void RecordEditor::onScroll(int value) {
    m_line.box->setText(shown(record::lineText(uint32_t(value))));
}

// A failed Get leaves every box as it was: only the status line tells.
void RecordEditor::onGet() {
    const std::optional<uint32_t> line = take(m_line);
    if (!line) {
        return;
    }
    m_working->setText(waiting);
    m_info->setText(shown(record::getRequest(m_kind, *line)));
    const RecordResult result =
        exchange({m_put, m_get}, [&] { return getRecord(m_console.link, m_kind, *line); });
    if (result.ok()) {
        const std::vector<uint32_t> values = record::decode(m_kind, *result.digits);
        for (size_t i = 0; i < m_fields.size(); ++i) {
            m_fields[i].box->setText(QString::number(values[i]));
        }
    }
    if (result.shown) {
        m_info->setText(shown(*result.shown));
    }
    m_working->setText(shown(result.status));
}

// Every box is checked before anything is sent; each refused one is marked.
void RecordEditor::onPut() {
    bool refused = false;
    const std::optional<uint32_t> line = take(m_line);
    refused = !line;
    std::vector<uint32_t> values;
    for (const CheckedBox& c : m_fields) {
        const std::optional<uint32_t> value = take(c);
        refused = refused || !value;
        values.push_back(value.value_or(0));
    }
    if (refused) {
        return;
    }
    const std::string digits = record::encode(m_kind, values);
    const RecordResult result =
        exchange({m_put, m_get}, [&] { return putRecord(m_console.link, m_kind, *line, digits); });
    if (result.shown) {
        m_info->setText(shown(*result.shown));
    }
    m_working->setText(shown(result.status));
}

std::optional<uint32_t> RecordEditor::valueOf(const CheckedBox& c) {
    const std::string text = latin1(c.box);
    return c.isLine ? record::lineValue(text) : record::boxValue(text, c.largest);
}

std::optional<uint32_t> RecordEditor::take(const CheckedBox& c) {
    const std::optional<uint32_t> value = valueOf(c);
    mark(c.box, !value);
    return value;
}

// The reason line speaks for the first box refused, in the order of the form's table.
void RecordEditor::mark(QLineEdit* box, bool refused) {
    markRefused(box, refused);
    m_reason->clear();
    std::vector<CheckedBox> all = {m_line};
    all.insert(all.end(), m_fields.begin(), m_fields.end());
    for (const CheckedBox& c : all) {
        if (isRefused(c.box)) {
            m_reason->setText(c.isLine
                                  ? QString("Enter a line from 0 to %1").arg(record::largestLine)
                                  : QString("Enter a number from 0 to %1").arg(c.largest));
            break;
        }
    }
}

} // namespace pkivo
