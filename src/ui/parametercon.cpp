#include "ui/parametercon.h"

#include "console/console.h"
#include "link/packets.h"
#include "link/parameterblock.h"
#include "link/replies.h"
#include "ui_parametercon.h"

namespace pkivo {

namespace {

const char* const waiting = "WAITING FOR RESPONCE";
const char* const notWritten = "Error - No Data Written";
const char* const noBlockYet =
    "Not stored: press Get Parameters first, so that the bits this window does not show go "
    "back as the controller holds them";
const char* const linkBusy = "The link is busy with another exchange: try again";
const char* const refusedMark = "QLineEdit { border: 1px solid #b00020; }";

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.c_str(), qsizetype(text.size()));
}

} // namespace

Parametercon::Parametercon(Console& console)
    : QWidget(nullptr, Qt::Window), LinkWindow(console),
      m_ui(std::make_unique<Ui::Parametercon>()) {
    m_ui->setupUi(this);
    m_servos = numbered<QCheckBox>(*this, "Servos1_", 0, 7);
    m_numbers = {
        {m_ui->reportrate, maxReportRate, m_ui->reportrateError, "A whole number 0-255"},
        {m_ui->minpulse, maxPulseWidth, m_ui->pulseError, "Whole numbers 0-65535"},
        {m_ui->maxpulse, maxPulseWidth, m_ui->pulseError, "Whole numbers 0-65535"},
    };
    for (const NumberBox& number : m_numbers) {
        connect(number.box, &QLineEdit::textEdited, this, [this] { checkBoxes(); });
    }
    connect(m_ui->GparamX, &QPushButton::clicked, this, &Parametercon::onGparamX);
    connect(m_ui->StoreparamX, &QPushButton::clicked, this, &Parametercon::onStoreparamX);
    connect(m_ui->recon, &QPushButton::clicked, this, &Parametercon::onRecon);
    m_ui->responce->clear();
    m_ui->Responce1->clear();
    m_ui->StoreparamX->setEnabled(false);
}

Parametercon::~Parametercon() = default;

void Parametercon::load() {
    onGparamX();
}

std::optional<reply::Outcome> Parametercon::run(const std::function<void(LinkGlobals&)>& fill,
                                                Link::Routine routine) {
    const bool store = m_ui->StoreparamX->isEnabled();
    const bool reload = m_ui->recon->isEnabled();
    const bool ran = exchange({m_ui->GparamX, m_ui->StoreparamX, m_ui->recon},
                              [&] { return m_console.link.request(fill, routine); });
    if (!ran) {
        setButtons(store, reload);
        return std::nullopt;
    }
    return reply::longOutcome(m_console.link.globals());
}

void Parametercon::setButtons(bool store, bool reload) {
    m_ui->GparamX->setEnabled(true);
    m_ui->StoreparamX->setEnabled(store);
    m_ui->recon->setEnabled(reload);
}

// A Get is good only when a framed reply came back with code "0": a routine that got no
// answer can leave "0" behind with the request still in `packet`, and decoding that would put
// the request's own characters into the controls, and later into the controller.
void Parametercon::onGparamX() {
    const QString before = m_ui->responce->text();
    m_ui->responce->setText(waiting);
    const std::optional<reply::Outcome> outcome = run(
        [](LinkGlobals& g) { packet::startDocomax(packet::readParameters(), g); }, &Link::docomax);
    if (!outcome) {
        m_ui->responce->setText(linkBusy);
        return;
    }
    const LinkGlobals& g = m_console.link.globals();
    m_ui->Responce1->setText(latin1(g.packet));
    bool good = outcome->good;
    if (good) {
        const reply::Decoded<reply::BoardParameters> decoded = reply::boardParameters(g.packet);
        good = decoded.ok();
        if (good) {
            m_boardparams = decoded.value->boardparams;
            showParameters(*decoded.value);
        }
    }
    m_ui->responce->setText(latin1(outcome->text()));
    setButtons(good, good);
}

void Parametercon::onStoreparamX() {
    if (m_boardparams.empty()) {
        m_ui->responce->setText(noBlockYet);
        return;
    }
    const std::optional<reply::BoardParameters> shown = shownParameters();
    if (!shown) {
        return;
    }
    const std::string block = encodeBoardParameters(*shown).value_or(m_boardparams);
    m_ui->Responce1->setText(waiting);
    const std::optional<reply::Outcome> outcome =
        run([&](LinkGlobals& g) { g.packet = packet::storeParameters(block); }, &Link::rawsender);
    if (!outcome) {
        m_ui->Responce1->setText(linkBusy);
        return;
    }
    m_ui->Responce1->setText(outcome->good ? latin1(m_console.link.globals().packet)
                                           : QString(notWritten));
    setButtons(outcome->good, outcome->good);
}

// The shown parameters are not read again: Get shows what the controller now holds.
void Parametercon::onRecon() {
    m_ui->responce->setText(waiting);
    const std::optional<reply::Outcome> outcome =
        run([](LinkGlobals& g) { packet::startDocomax(packet::reloadParameters(), g); },
            &Link::docomax);
    if (!outcome) {
        m_ui->responce->setText(linkBusy);
        return;
    }
    m_ui->Responce1->setText(latin1(m_console.link.globals().packet));
    m_ui->responce->setText(latin1(outcome->text()));
    setButtons(outcome->good, true);
}

void Parametercon::showParameters(const reply::BoardParameters& p) {
    m_ui->minpulse->setText(QString::number(p.minpulse));
    m_ui->maxpulse->setText(QString::number(p.maxpulse));
    m_ui->reportrate->setText(QString::number(p.reportrate));
    for (size_t k = 0; k < m_servos.size(); ++k) {
        m_servos[k]->setChecked(p.Servos1[k]);
    }
    m_ui->uselimits->setChecked(p.uselimits);
    (p.reporton ? m_ui->reporton : m_ui->reportoff)->setChecked(true);
    (p.storage == reply::StorageMode::Seperate ? m_ui->modeseperate
     : p.storage == reply::StorageMode::Common ? m_ui->modecommon
                                               : m_ui->modeother)
        ->setChecked(true);
    m_ui->Runonhw->setChecked(p.Runonhw);
    m_ui->Runonpb->setChecked(p.Runonpb);
    m_ui->Runonpu->setChecked(p.Runonpu);
    m_ui->iocon1->setChecked(p.iocon1);
    checkBoxes();
}

std::optional<reply::BoardParameters> Parametercon::shownParameters() {
    if (!checkBoxes()) {
        return std::nullopt;
    }
    auto value = [](QLineEdit* box, uint32_t largest) {
        return parameterValue(box->text().toStdString(), largest).value_or(0);
    };
    reply::BoardParameters p;
    p.boardparams = m_boardparams;
    p.reportrate = uint8_t(value(m_ui->reportrate, maxReportRate));
    p.minpulse = uint16_t(value(m_ui->minpulse, maxPulseWidth));
    p.maxpulse = uint16_t(value(m_ui->maxpulse, maxPulseWidth));
    for (size_t k = 0; k < m_servos.size(); ++k) {
        p.Servos1[k] = m_servos[k]->isChecked();
    }
    p.uselimits = m_ui->uselimits->isChecked();
    p.reporton = m_ui->reporton->isChecked();
    p.storage = m_ui->modeseperate->isChecked() ? reply::StorageMode::Seperate
                : m_ui->modecommon->isChecked() ? reply::StorageMode::Common
                                                : reply::StorageMode::Other;
    p.Runonhw = m_ui->Runonhw->isChecked();
    p.Runonpb = m_ui->Runonpb->isChecked();
    p.Runonpu = m_ui->Runonpu->isChecked();
    p.iocon1 = m_ui->iocon1->isChecked();
    return p;
}

bool Parametercon::checkBoxes() {
    for (const NumberBox& number : m_numbers) {
        number.error->clear();
    }
    bool allGood = true;
    for (const NumberBox& number : m_numbers) {
        const bool good =
            parameterValue(number.box->text().toStdString(), number.largest).has_value();
        number.box->setStyleSheet(good ? QString() : QString(refusedMark));
        if (!good) {
            number.error->setText(number.reason);
            allGood = false;
        }
    }
    return allGood;
}

} // namespace pkivo
