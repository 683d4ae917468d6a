#include "ui/memoryeditor.h"

#include "console/console.h"
#include "console/memoryaccess.h"
#include "core/bytevalues.h"
#include "ui/refusedbox.h"
#include "ui_memoryeditor.h"

#include <algorithm>

namespace pkivo {

namespace {

std::string latin1(const QLineEdit* box) {
    return box->text().toLatin1().toStdString();
}

} // namespace

Memoryeditor::Memoryeditor(Console& console)
    : QWidget(nullptr, Qt::Window), LinkWindow(console),
      m_ui(std::make_unique<Ui::Memoryeditor>()) {
    m_ui->setupUi(this);
    m_bits = numbered<QCheckBox>(*this, "Check", 1, 8);
    m_Aaddress = numbered<QLineEdit>(*this, "Aaddress", 1, 4);
    m_Adata = numbered<QLineEdit>(*this, "Adata", 1, 4);
    m_aread = numbered<QPushButton>(*this, "aread", 1, 4);
    m_awrite = numbered<QPushButton>(*this, "awrite", 1, 4);
    m_exchangeButtons = {m_ui->Command1, m_ui->Command2, m_ui->Command3, m_ui->Command4,
                         m_ui->Command5};
    m_exchangeButtons.insert(m_exchangeButtons.end(), m_aread.begin(), m_aread.end());
    m_exchangeButtons.insert(m_exchangeButtons.end(), m_awrite.begin(), m_awrite.end());

    m_checked = {{m_ui->memoryaddress, m_ui->memoryaddressReason, Range::Address},
                 {m_ui->Text4, m_ui->Text4Reason, Range::Byte},
                 {m_ui->in16bits, m_ui->in16bitsReason, Range::Word}};
    for (size_t row = 0; row < m_Aaddress.size(); ++row) {
        m_checked.push_back({m_Aaddress[row], m_ui->quickReason, Range::Address});
        m_checked.push_back({m_Adata[row], m_ui->quickReason, Range::Byte});
    }
    for (const CheckedBox& c : m_checked) {
        QLineEdit* box = c.box;
        connect(box, &QLineEdit::textChanged, this, [this, box] { checkTyped(box); });
        // A reason appears in a line kept for it: nothing moves when it does.
        c.reason->setMinimumHeight(c.reason->fontMetrics().height());
    }

    connect(m_ui->memoryaddress, &QLineEdit::textChanged, this,
            &Memoryeditor::onMemoryaddressChanged);
    connect(m_ui->Upaddr, &QPushButton::clicked, this, [this] { stepAddress(1); });
    connect(m_ui->Downmem, &QPushButton::clicked, this, [this] { stepAddress(-1); });
    connect(m_ui->Command6, &QPushButton::clicked, this, &Memoryeditor::onCommand6);
    connect(m_ui->Command1, &QPushButton::clicked, this, &Memoryeditor::onCommand1);
    connect(m_ui->Command2, &QPushButton::clicked, this, [this] { writeFrom(m_ui->Text4); });
    connect(m_ui->Command3, &QPushButton::clicked, this,
            [this] { writeByte(bytevalue::byteOf(bitsFromBoxes())); });
    connect(m_ui->Command5, &QPushButton::clicked, this, [this] { writeSplit(true); });
    connect(m_ui->Command4, &QPushButton::clicked, this, [this] { writeSplit(false); });
    for (QCheckBox* bit : m_bits) {
        connect(bit, &QCheckBox::toggled, this, &Memoryeditor::sumbits);
    }
    connect(m_ui->in16bits, &QLineEdit::textChanged, this, &Memoryeditor::onIn16bitsChanged);
    for (size_t row = 0; row < m_aread.size(); ++row) {
        connect(m_aread[row], &QPushButton::clicked, this, [this, row] { quickRead(row); });
        connect(m_awrite[row], &QPushButton::clicked, this, [this, row] { quickWrite(row); });
    }

    m_ui->Text5->clear();
    m_ui->Text4->clear();
    m_ui->Text3->clear();
    m_ui->Option1->setChecked(true);
    m_console.link.setMonitoring(false);
    m_ui->memoryaddress->setText("0");
}

Memoryeditor::~Memoryeditor() = default;

// ---- Address ------------------------------------------------------------------------------

void Memoryeditor::onMemoryaddressChanged() {
    const std::optional<uint16_t> address = bytevalue::addressBox(latin1(m_ui->memoryaddress));
    m_ui->hexaddr->setText(address ? QString::fromStdString(bytevalue::addressHex(*address))
                                   : QString());
}

// The stepping buttons stay live during an exchange: a step then changes the address of the
// next operation only.
void Memoryeditor::stepAddress(int by) {
    const std::optional<uint32_t> address = take(m_ui->memoryaddress);
    if (!address) {
        return;
    }
    const int next = std::clamp(int(*address) + by, 0, int(bytevalue::largestAddress));
    m_ui->memoryaddress->setText(QString::number(next));
}

void Memoryeditor::onCommand6() {
    stepAddress(1);
    onCommand1();
}

MemoryArea Memoryeditor::area() const {
    return m_ui->Option2->isChecked() ? MemoryArea::Ram : MemoryArea::Eeprom;
}

// ---- Read and the write family -------------------------------------------------------------

MemoryResult Memoryeditor::run(const std::function<MemoryResult()>& call) {
    m_ui->Text5->clear();
    const MemoryResult result = exchange(m_exchangeButtons, call);
    m_ui->Text5->setText(QString::fromLatin1(result.status.c_str()));
    return result;
}

// A failed Read leaves the byte and the bits as they were.
void Memoryeditor::onCommand1() {
    const std::optional<uint32_t> address = take(m_ui->memoryaddress);
    if (!address) {
        return;
    }
    const MemoryArea from = area();
    const MemoryResult result =
        run([&] { return readMemory(m_console.link, from, uint16_t(*address)); });
    if (!result.ok()) {
        return;
    }
    m_ui->Text3->setText(QString::number(*result.byte));
    const bytevalue::Bits bits = bytevalue::bitsOf(*result.byte);
    for (size_t k = m_bits.size(); k-- > 0;) {
        m_bits[k]->setChecked(bits[k]);
    }
}

void Memoryeditor::writeFrom(QLineEdit* source) {
    if (const std::optional<uint32_t> byte = take(source)) {
        writeByte(*byte);
    }
}

// The high or the low byte of the 16-bit box, as long as the box holds a number.
void Memoryeditor::writeSplit(bool high) {
    if (const std::optional<uint32_t> word = take(m_ui->in16bits)) {
        const bytevalue::ByteSplit split = bytevalue::splitWord(uint16_t(*word));
        writeByte(high ? split.high : split.low);
    }
}

// Text3 shows the controller's echo only when one came.
void Memoryeditor::writeByte(uint32_t byte) {
    const std::optional<uint32_t> address = take(m_ui->memoryaddress);
    if (!address) {
        return;
    }
    const MemoryArea to = area();
    const MemoryResult result =
        run([&] { return writeMemory(m_console.link, to, uint16_t(*address), uint8_t(byte)); });
    if (result.ok()) {
        m_ui->Text3->setText(QString::number(*result.byte));
    }
}

// ---- Bit editor and 16-bit converter ---------------------------------------------------------

bytevalue::Bits Memoryeditor::bitsFromBoxes() const {
    bytevalue::Bits bits{};
    for (size_t k = 0; k < m_bits.size(); ++k) {
        bits[k] = m_bits[k]->isChecked();
    }
    return bits;
}

void Memoryeditor::sumbits() {
    const uint8_t value = bytevalue::byteOf(bitsFromBoxes());
    m_ui->Bitvalue->setText(QString::number(value));
    m_ui->Hexvalue->setText(QString::fromStdString(bytevalue::hexText(value)));
    m_ui->Asciivalue->setText(QString::fromLatin1(bytevalue::characterOf(value).c_str(), 1));
}

// An empty box changes nothing; a refused one keeps the last good split.
void Memoryeditor::onIn16bitsChanged() {
    const std::optional<uint16_t> word = bytevalue::wordBox(latin1(m_ui->in16bits));
    if (!word) {
        return;
    }
    const bytevalue::ByteSplit split = bytevalue::splitWord(*word);
    m_ui->Highbyte->setText(QString::number(split.high));
    m_ui->lowbyte->setText(QString::number(split.low));
    m_ui->highex->setText(QString::fromStdString(bytevalue::hexText(split.high)));
    m_ui->lowhex->setText(QString::fromStdString(bytevalue::hexText(split.low)));
    m_ui->longhex->setText(QString::fromStdString(bytevalue::hexText(*word)));
}

// ---- Quick rows: always RAM ------------------------------------------------------------------

void Memoryeditor::quickRead(size_t row) {
    const std::optional<uint32_t> address = take(m_Aaddress[row]);
    if (!address) {
        return;
    }
    const MemoryResult result =
        run([&] { return readMemory(m_console.link, MemoryArea::Ram, uint16_t(*address)); });
    if (result.ok()) {
        m_Adata[row]->setText(QString::number(*result.byte));
    }
}

void Memoryeditor::quickWrite(size_t row) {
    const std::optional<uint32_t> address = take(m_Aaddress[row]);
    const std::optional<uint32_t> byte = take(m_Adata[row]);
    if (!address || !byte) {
        return;
    }
    const MemoryResult result = run([&] {
        return writeMemory(m_console.link, MemoryArea::Ram, uint16_t(*address), uint8_t(*byte));
    });
    if (result.ok()) {
        m_Adata[row]->setText(QString::number(*result.byte));
    }
}

// ---- Refused boxes ---------------------------------------------------------------------------

const Memoryeditor::CheckedBox& Memoryeditor::checked(QLineEdit* box) const {
    return *std::find_if(m_checked.begin(), m_checked.end(),
                         [box](const CheckedBox& c) { return c.box == box; });
}

std::optional<uint32_t> Memoryeditor::valueOf(const CheckedBox& c) {
    const std::string text = latin1(c.box);
    switch (c.range) {
    case Range::Address:
        return bytevalue::addressBox(text);
    case Range::Byte:
        return bytevalue::byteBox(text);
    case Range::Word:
        return bytevalue::wordBox(text);
    }
    return std::nullopt;
}

QString Memoryeditor::reasonFor(Range range) {
    return range == Range::Byte ? QString("Enter a number from 0 to 255")
                                : QString("Enter a number from 0 to 65535");
}

std::optional<uint32_t> Memoryeditor::take(QLineEdit* box) {
    const std::optional<uint32_t> value = valueOf(checked(box));
    mark(box, !value);
    return value;
}

// While typing, an empty box is not yet refused: it may be on its way to a number.
void Memoryeditor::checkTyped(QLineEdit* box) {
    mark(box, !box->text().isEmpty() && !valueOf(checked(box)));
}

// A reason label shared by several boxes (the quick rows) speaks for the first one refused.
void Memoryeditor::mark(QLineEdit* box, bool refused) {
    markRefused(box, refused);
    QLabel* reason = checked(box).reason;
    reason->clear();
    for (const CheckedBox& c : m_checked) {
        if (c.reason == reason && isRefused(c.box)) {
            reason->setText(reasonFor(c.range));
            break;
        }
    }
}

} // namespace pkivo
