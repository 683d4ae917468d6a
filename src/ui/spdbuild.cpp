#include "ui/spdbuild.h"

#include "console/console.h"
#include "console/speedaccess.h"
#include "ui/refusedbox.h"
#include "ui_spdbuild.h"

#include <algorithm>

namespace pkivo {

namespace {

std::string latin1(const QLineEdit* box) {
    return box->text().toLatin1().toStdString();
}

std::vector<QLineEdit*> servoBoxes(const QWidget& window, const QString& suffix) {
    std::vector<QLineEdit*> boxes;
    for (int k = 1; k <= 8; ++k) {
        const QString name = "S" + QString::number(k) + suffix;
        QLineEdit* box = window.findChild<QLineEdit*>(name);
        if (box == nullptr) {
            qFatal("Spdbuild: the form has no %s", qPrintable(name));
        }
        boxes.push_back(box);
    }
    return boxes;
}

} // namespace

Spdbuild::Spdbuild(Console& console)
    : QWidget(nullptr, Qt::Window), LinkWindow(console), m_ui(std::make_unique<Ui::Spdbuild>()) {
    m_ui->setupUi(this);
    m_speeds = servoBoxes(*this, "sedat");
    m_controls = servoBoxes(*this, "con");

    std::vector<QLineEdit*> checked = m_speeds;
    checked.insert(checked.end(), m_controls.begin(), m_controls.end());
    checked.push_back(m_ui->Text2);
    for (QLineEdit* box : checked) {
        connect(box, &QLineEdit::textChanged, this, [this, box] { checkTyped(box); });
    }
    // A reason appears in a line kept for it: nothing moves when it does.
    for (QLabel* reason : {m_ui->valuesReason, m_ui->Text2Reason, m_ui->working}) {
        reason->setMinimumHeight(reason->fontMetrics().height());
    }
    m_ui->Text6->setMinimumWidth(m_ui->Text6->fontMetrics().horizontalAdvance(QString(66, 'W')));

    connect(m_ui->VScroll1, &QScrollBar::actionTriggered, this, &Spdbuild::onVScroll1Action);
    connect(m_ui->VScroll1, &QScrollBar::valueChanged, this, &Spdbuild::onVScroll1Change);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Spdbuild::onCommand1);
    connect(m_ui->Command2, &QPushButton::clicked, this, &Spdbuild::onCommand2);
}

Spdbuild::~Spdbuild() = default;

// The bar's top end is 32255 (it is drawn upside down), so its up arrow and the trough above the
// handle raise the location: they step the other way from Qt's.
void Spdbuild::onVScroll1Action(int action) {
    QScrollBar* bar = m_ui->VScroll1;
    int step = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        step = -bar->singleStep();
        break;
    case QAbstractSlider::SliderSingleStepSub:
        step = bar->singleStep();
        break;
    case QAbstractSlider::SliderPageStepAdd:
        step = -bar->pageStep();
        break;
    case QAbstractSlider::SliderPageStepSub:
        step = bar->pageStep();
        break;
    default:
        return;
    }
    bar->setSliderPosition(std::clamp(bar->value() + step, bar->minimum(), bar->maximum()));
}

void Spdbuild::onVScroll1Change(int value) {
    m_ui->Text2->setText(QString::fromStdString(speedLocationText(uint32_t(value))));
}

// Put: the sixteen values as typed, each a number 0 to 999; nothing goes when one is refused.
void Spdbuild::onCommand1() {
    const std::optional<uint32_t> location = takeLocation();
    std::array<std::string, 8> speeds;
    std::array<std::string, 8> controls;
    if (!takeValues(speeds, controls) || !location) {
        return;
    }
    showResult(exchange({m_ui->Command1, m_ui->Command2}, [&] {
        return writeSpeedEntry(m_console.link, *location, speeds, controls);
    }));
}

// Get: a failed exchange leaves every box as it was, so that a Put after it cannot write zeros.
void Spdbuild::onCommand2() {
    const std::optional<uint32_t> location = takeLocation();
    if (!location) {
        return;
    }
    const SpeedResult result = exchange({m_ui->Command1, m_ui->Command2},
                                        [&] { return readSpeedEntry(m_console.link, *location); });
    if (result.entry) {
        for (size_t k = 0; k < m_speeds.size(); ++k) {
            m_speeds[k]->setText(QString::fromLatin1(result.entry->speeds[k].c_str()));
            m_controls[k]->setText(QString::fromLatin1(result.entry->controls[k].c_str()));
        }
    }
    showResult(result);
}

void Spdbuild::showResult(const SpeedResult& result) {
    m_ui->Text6->setText(QString::fromLatin1(result.reply.c_str()));
    m_ui->working->setText(QString::fromLatin1(result.status.c_str()));
}

// ---- Refused boxes ---------------------------------------------------------------------------

bool Spdbuild::isGood(const QLineEdit* box) const {
    const std::string text = latin1(box);
    return box == m_ui->Text2 ? speedLocation(text).has_value() : speedValue(text).has_value();
}

std::optional<uint32_t> Spdbuild::takeLocation() {
    mark(m_ui->Text2, !isGood(m_ui->Text2));
    return speedLocation(latin1(m_ui->Text2));
}

bool Spdbuild::takeValues(std::array<std::string, 8>& speeds,
                          std::array<std::string, 8>& controls) {
    bool good = true;
    for (size_t k = 0; k < m_speeds.size(); ++k) {
        const std::optional<std::string> speed = speedValue(latin1(m_speeds[k]));
        const std::optional<std::string> control = speedValue(latin1(m_controls[k]));
        mark(m_speeds[k], !speed);
        mark(m_controls[k], !control);
        good = good && speed && control;
        speeds[k] = speed.value_or("");
        controls[k] = control.value_or("");
    }
    return good;
}

// While typing, an empty box is not yet refused: it may be on its way to a number.
void Spdbuild::checkTyped(QLineEdit* box) {
    mark(box, !box->text().isEmpty() && !isGood(box));
}

void Spdbuild::mark(QLineEdit* box, bool refused) {
    markRefused(box, refused);
    showReasons();
}

void Spdbuild::showReasons() {
    const auto refused = [](const QLineEdit* box) { return isRefused(box); };
    const bool value = std::any_of(m_speeds.begin(), m_speeds.end(), refused) ||
                       std::any_of(m_controls.begin(), m_controls.end(), refused);
    m_ui->valuesReason->setText(value ? "Enter a number from 0 to 999" : "");
    m_ui->Text2Reason->setText(refused(m_ui->Text2) ? "Enter 32000 to 32255" : "");
}

} // namespace pkivo
