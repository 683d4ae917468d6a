#include "ui/positionbuilder.h"

#include "console/console.h"
#include "console/positions.h"
#include "link/packets.h"
#include "ui/refusedbox.h"
#include "ui_positionbuilder.h"

#include <QEvent>
#include <QMetaObject>
#include <QSignalBlocker>

#include <algorithm>

namespace pkivo {

namespace {

std::string latin1(const QLineEdit* box) {
    return box->text().toLatin1().toStdString();
}

template <class T> std::optional<uint32_t> widened(std::optional<T> value) {
    return value ? std::optional<uint32_t>(*value) : std::nullopt;
}
std::optional<uint32_t> lineValue(const QLineEdit* box) {
    return positionLineBox(latin1(box));
}
std::optional<uint32_t> positionValue(const QLineEdit* box) {
    return widened(positionBox(latin1(box)));
}
std::optional<uint32_t> outputValue(const QLineEdit* box) {
    return widened(outputBox(latin1(box)));
}

} // namespace

Positionbuilder::Positionbuilder(Console& console)
    : QWidget(nullptr, Qt::Window), LinkWindow(console),
      m_ui(std::make_unique<Ui::Positionbuilder>()) {
    m_ui->setupUi(this);
    m_boxes = {m_ui->S1edat, m_ui->S2edat, m_ui->s3edat, m_ui->S4edat,
               m_ui->S5edat, m_ui->S6edat, m_ui->S7edat, m_ui->S8edat};
    m_use = numbered<QCheckBox>(*this, "Use1_", 0, 7);
    m_families = {JogFamily{numbered<QPushButton>(*this, "bigup_", 0, 7), true, 10},
                  JogFamily{numbered<QPushButton>(*this, "bigdn_", 0, 7), false, 10},
                  JogFamily{numbered<QPushButton>(*this, "posup_", 0, 7), true, 1},
                  JogFamily{numbered<QPushButton>(*this, "posdown_", 0, 7), false, 1}};
    m_exchangeButtons = {m_ui->Command1, m_ui->Command2, m_ui->getcur, m_ui->Bumpmove,
                         m_ui->decmove,  m_ui->moveto,   m_ui->oncon,  m_ui->offcon};

    // Releasing the button, leaving it, the window losing focus or closing all end a jog.
    for (const JogFamily& family : m_families) {
        for (size_t i = 0; i < family.buttons.size(); ++i) {
            QPushButton* button = family.buttons[i];
            m_exchangeButtons.push_back(button);
            button->installEventFilter(this);
            connect(button, &QPushButton::pressed, this,
                    [this, &family, i] { startJog(family, int(i) + 1); });
            connect(button, &QPushButton::released, this, &Positionbuilder::stopJog);
        }
    }

    m_checked = {
        {m_ui->Text2, m_ui->Text2Reason, "Enter a line from 0 to 32000", lineValue},
        {m_ui->Outnumber, m_ui->OutnumberReason, "Enter a number from 0 to 255", outputValue}};
    for (QLineEdit* box : m_boxes) {
        m_checked.push_back(
            {box, m_ui->positionsReason, "Enter a number from 0 to 65535", positionValue});
    }
    for (const CheckedBox& c : m_checked) {
        QLineEdit* box = c.box;
        connect(box, &QLineEdit::textChanged, this, [this, box] { checkTyped(box); });
        // A reason appears in a line kept for it: nothing moves when it does.
        c.reason->setMinimumHeight(c.reason->fontMetrics().height());
    }

    connect(m_ui->VScroll1, &QScrollBar::valueChanged, this, &Positionbuilder::onScroll);
    connect(m_ui->Text2, &QLineEdit::textEdited, this, &Positionbuilder::onText2Edited);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Positionbuilder::onCommand2);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Positionbuilder::onCommand1);
    connect(m_ui->getcur, &QPushButton::clicked, this, &Positionbuilder::onGetcur);
    connect(m_ui->moveto, &QPushButton::clicked, this, &Positionbuilder::onMoveto);
    connect(m_ui->Bumpmove, &QPushButton::clicked, this, [this] { stepAndMove(1); });
    connect(m_ui->decmove, &QPushButton::clicked, this, [this] { stepAndMove(-1); });
    connect(m_ui->oncon, &QPushButton::clicked, this, [this] { onOutput(true); });
    connect(m_ui->offcon, &QPushButton::clicked, this, [this] { onOutput(false); });

    for (QLineEdit* box : m_boxes) {
        box->setText(QString::number(noMovePosition));
    }
    m_ui->VScroll1->setValue(10000);
    onScroll(m_ui->VScroll1->value());
}

// A held button lets go when the window's children are torn down: nothing of this class may
// hear of it by then.
Positionbuilder::~Positionbuilder() {
    for (const JogFamily& family : m_families) {
        for (QPushButton* button : family.buttons) {
            button->removeEventFilter(this);
            disconnect(button, nullptr, this, nullptr);
        }
    }
}

// ---- The position line ------------------------------------------------------------------------

void Positionbuilder::onScroll(int value) {
    m_ui->Text2->setText(QString::fromStdString(lineText(uint32_t(value))));
    mark(m_ui->Text2, false);
}

// A line typed moves the scroll bar along, leaving the text as typed.
void Positionbuilder::onText2Edited() {
    if (const std::optional<uint32_t> line = lineValue(m_ui->Text2)) {
        const QSignalBlocker quiet(m_ui->VScroll1);
        m_ui->VScroll1->setValue(int(*line));
    }
}

// ---- Position memory --------------------------------------------------------------------------

// Get: true when the boxes show the set of the line. A failed exchange leaves every box as it
// was and shows why: the buffer it leaves holds no positions.
bool Positionbuilder::onCommand2() {
    const std::optional<uint32_t> line = take(m_ui->Text2);
    if (!line) {
        return false;
    }
    showResponce(packet::readStoredPositions(*line));
    const StoredSet set =
        exchange(m_exchangeButtons, [&] { return readStoredSet(m_console.link, *line); });
    if (!set.ok) {
        showResponce(set.status);
        return false;
    }
    for (size_t k = 0; k < m_boxes.size(); ++k) {
        m_boxes[k]->setText(QString::fromLatin1(set.positions[k].c_str()));
    }
    return true;
}

// Put: every box must hold a position; the numbers go out as five digits.
void Positionbuilder::onCommand1() {
    const std::optional<uint32_t> line = take(m_ui->Text2);
    std::array<uint16_t, 8> positions{};
    bool all = line.has_value();
    for (size_t k = 0; k < m_boxes.size(); ++k) {
        const std::optional<uint32_t> position = take(m_boxes[k]);
        all = all && position.has_value();
        positions[k] = uint16_t(position.value_or(0));
    }
    if (!all) {
        return;
    }
    const PositionExchange put =
        exchange(m_exchangeButtons, [&] { return storeSet(m_console.link, *line, positions); });
    showResponce(put.ok ? put.reply : put.status);
}

// ---- Live movements ---------------------------------------------------------------------------

// Only the boxes whose Use is checked take the current position, so "no move" entries survive.
void Positionbuilder::onGetcur() {
    const std::optional<uint32_t> line = take(m_ui->Text2);
    if (!line) {
        return;
    }
    showResponce(packet::readCurrentPositions(*line));
    const CurrentSet set =
        exchange(m_exchangeButtons, [&] { return readCurrentSet(m_console.link, *line); });
    if (!set.ok) {
        showResponce(set.status);
        return;
    }
    for (size_t k = 0; k < m_boxes.size(); ++k) {
        if (m_use[k]->isChecked()) {
            m_boxes[k]->setText(QString::number(set.positions[k]));
        }
    }
}

// The machine moves only after the boxes show the set it is about to use.
void Positionbuilder::onMoveto() {
    const std::optional<uint32_t> line = take(m_ui->Text2);
    if (!line || !onCommand2()) {
        return;
    }
    const PositionExchange move =
        exchange(m_exchangeButtons, [&] { return moveToSet(m_console.link, *line); });
    if (!move.ok) {
        showResponce(move.status);
    }
}

// Bump & move, Dec & move: the boxes show the set of the line before the step while the
// controller moves to the set of the new line. The line stays within 0 to 32000, and nothing
// moves when the Get before it failed.
void Positionbuilder::stepAndMove(int by) {
    const std::optional<uint32_t> line = take(m_ui->Text2);
    if (!line) {
        return;
    }
    const int next = int(*line) + by;
    if (next < 0 || next > int(largestPositionLine)) {
        m_ui->Text2Reason->setText("The line stays within 0 to 32000");
        return;
    }
    if (!onCommand2()) {
        return;
    }
    m_ui->VScroll1->setValue(next);
    const PositionExchange move =
        exchange(m_exchangeButtons, [&] { return moveToSet(m_console.link, uint32_t(next)); });
    if (!move.ok) {
        showResponce(move.status);
    }
}

void Positionbuilder::onOutput(bool on) {
    const std::optional<uint32_t> output = take(m_ui->Outnumber);
    if (!output) {
        return;
    }
    const PositionExchange done = exchange(
        m_exchangeButtons, [&] { return switchOutput(m_console.link, uint8_t(*output), on); });
    if (!done.ok) {
        showResponce(done.status);
    }
}

// ---- Jog --------------------------------------------------------------------------------------

// A press sends one step at once; each further step is queued when the one before it has been
// handled, so the handler returns and the jog runs as fast as the controller answers. One jog
// at a time: a press while one runs is ignored.
void Positionbuilder::startJog(const JogFamily& family, int servo) {
    if (m_jog) {
        return;
    }
    m_jog = Jog{&family, servo};
    jogStep();
}

void Positionbuilder::jogStep() {
    if (!m_jog) {
        return;
    }
    const JogFamily& family = *m_jog->family;
    showResponce(jogRequest(family.up, family.step, m_jog->servo));
    const JogStep step = jogOnce(m_console.link, family.up, family.step, m_jog->servo);
    if (step.busy) {
        // Another exchange holds the link: nothing went out, and the jog ends rather than
        // spin while it waits.
        showResponce(step.status);
        m_jog.reset();
        return;
    }
    if (!step.ok) {
        showResponce("Error");
        if (++m_jog->failures >= jogFailureLimit) {
            showResponce("Error: the jog stopped after " + std::to_string(jogFailureLimit) +
                         " failed steps (" + step.status + ")");
            m_jog.reset();
            return;
        }
    } else {
        m_jog->failures = 0;
        m_jogged = step;
    }
    if (m_jog->stop) {
        m_jog.reset();
        showJogged();
        return;
    }
    QMetaObject::invokeMethod(this, &Positionbuilder::jogStep, Qt::QueuedConnection);
    // The box is filled once the next step's attention character is out, while the controller
    // answers it: filling a box costs as much as a turn of the line.
    QMetaObject::invokeMethod(this, &Positionbuilder::showJogged, Qt::QueuedConnection);
}

void Positionbuilder::showJogged() {
    if (m_jogged && m_jogged->servo >= 1 && m_jogged->servo <= int(m_boxes.size())) {
        m_boxes[size_t(m_jogged->servo - 1)]->setText(QString::number(m_jogged->position));
    }
    m_jogged.reset();
}

// The step under way finishes; no further one goes out.
void Positionbuilder::stopJog() {
    if (m_jog) {
        m_jog->stop = true;
    }
}

bool Positionbuilder::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) {
        stopJog();
    }
    return QWidget::event(event);
}

bool Positionbuilder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Leave) {
        stopJog();
    }
    return QWidget::eventFilter(watched, event);
}

void Positionbuilder::hideEvent(QHideEvent* event) {
    stopJog();
    QWidget::hideEvent(event);
}

// ---- Refused boxes ----------------------------------------------------------------------------

const Positionbuilder::CheckedBox& Positionbuilder::checked(QLineEdit* box) const {
    return *std::find_if(m_checked.begin(), m_checked.end(),
                         [box](const CheckedBox& c) { return c.box == box; });
}

std::optional<uint32_t> Positionbuilder::take(QLineEdit* box) {
    const std::optional<uint32_t> value = checked(box).value(box);
    mark(box, !value);
    return value;
}

// While typing, an empty box is not yet refused: it may be on its way to a number.
void Positionbuilder::checkTyped(QLineEdit* box) {
    mark(box, !box->text().isEmpty() && !checked(box).value(box));
}

// A reason shared by the eight position boxes speaks while any of them is refused.
void Positionbuilder::mark(QLineEdit* box, bool refused) {
    markRefused(box, refused);
    QLabel* reason = checked(box).reason;
    QString why;
    for (const CheckedBox& c : m_checked) {
        if (c.reason == reason && isRefused(c.box)) {
            why = c.why;
            break;
        }
    }
    // Set only when it changes: a new text lays the window out again.
    if (reason->text() != why) {
        reason->setText(why);
    }
}

// A held jog shows the same request at every step: only a change is drawn again.
void Positionbuilder::showResponce(const std::string& text) {
    const QString shown = QString::fromLatin1(text.c_str());
    if (m_ui->responce->text() != shown) {
        m_ui->responce->setText(shown);
    }
}

} // namespace pkivo
