#include "tessel/abo.h"

#include "tessel/Color.h"
#include "tessel/KeyCode.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QKeyEvent>

namespace tessel {

using ostrel::Variant;

namespace {
constexpr double kGridTop = 300;  // twips, below the caption
constexpr float kCaptionFontSize = 8;
constexpr int kCaptionLength = 8;
constexpr int kCentred = 2;

// Keys the caption hands to the container; everything in the character range but these and Down
// is typed into the grid instead (the caption reads keys and characters in one code space).
bool isReportedKey(int key) {
    switch (key) {
    case vk::Esc:
    case vk::Up:
    case vk::Left:
    case vk::Right:
    case vk::PgUp:
    case vk::PgDn: return true;
    default: return key >= vk::F1 && key <= vk::F12;
    }
}
bool isTypedCharacter(int key) { return key >= chr::FirstPrintable && key <= chr::Del; }
// Double-byte (Hangul) characters: codes above every shift state x 256 + key code.
bool isDoubleByte(int key) { return key >= 8 * 256 && key <= 0xFFFF; }
}  // namespace

abo::abo(QWidget* parent) : QWidget(parent) {
    grid_ = new ab(this);
    caption_ = new outvar(this);
    caption_->setAlignment(kCentred);
    caption_->setFontsize(kCaptionFontSize);
    caption_->setLength(kCaptionLength);
    caption_->setBackColor(fromQColor(QApplication::palette().color(QPalette::Window)));
    caption_->installEventFilter(this);
    setFocusProxy(caption_);

    connect(grid_, &ab::abexit, this, [this](int& key) { onGridExit(key); });
    connect(grid_, qOverload<>(&ab::resize), this, [this] { layOut(); });
    connect(grid_, &ab::CellGotFocus, this, [this](int& rec, int& fie, int& lastkey, int& nextkey) {
        inGrid_ = true;
        emit CellGotFocus(rec, fie, lastkey, nextkey);
    });
    connect(grid_, &ab::CellInputProcess, this, &abo::CellInputProcess);
    connect(grid_, &ab::CellAfterInputProcess, this, &abo::CellAfterInputProcess);
    connect(grid_, &ab::CellModified, this, &abo::CellModified);
    connect(grid_, &ab::LineDeleted, this, &abo::LineDeleted);
    connect(grid_, &ab::Modified, this, &abo::Modified);
    connect(grid_, &ab::keycommand, this, &abo::keycommand);
    connect(grid_, &ab::Interrupt, this, &abo::Interrupt);
    connect(caption_, &outvar::keycommand, this, [this](int& key) { onCaptionKey(key); });
    layOut();
}

void abo::layOut() {
    const QRect g = twipsRect(0, kGridTop, pixelsToTwips(grid_->width()), pixelsToTwips(grid_->height()));
    grid_->move(g.topLeft());
    QWidget::resize(grid_->width(), g.bottom() + 1);
    caption_->move((width() - caption_->width()) / 2, 0);
}

bool abo::eventFilter(QObject* watched, QEvent* e) {
    if (watched == caption_) {
        if (e->type() == QEvent::FocusIn) {
            inGrid_ = false;
            caption_->setBackColor(colors::Selected);
        } else if (e->type() == QEvent::FocusOut) {
            caption_->setBackColor(fromQColor(QApplication::palette().color(QPalette::Window)));
        }
    }
    return QWidget::eventFilter(watched, e);
}

void abo::onGridExit(int key) {
    caption_->setFocus(Qt::OtherFocusReason);
    if (key == vk::Enter) {
        int k = vk::Enter;
        emit keycommand(k);
    }
}

void abo::onCaptionKey(int key) {
    if (isReportedKey(key)) {
        int k = key;
        emit keycommand(k);
    } else if (key == vk::Down || key == vk::Enter) {
        grid_->setFocus(Qt::OtherFocusReason);
    } else if (isTypedCharacter(key) || isDoubleByte(key)) {
        typeIntoGrid(key);
    }
}

void abo::typeIntoGrid(int code) {
    grid_->setFocus(Qt::OtherFocusReason);
    QWidget* target = QApplication::focusWidget();
    if (!target || !grid_->isAncestorOf(target)) return;
    const QChar c{char16_t(code)};
    const int qtKey = c.unicode() < 128 ? c.toUpper().unicode() : 0;
    // Posted, so that it arrives after the focus change, as a typed key would.
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, qtKey, Qt::NoModifier, QString(c)));
}

void abo::zap() {
    if (inGrid_) caption_->setFocus(Qt::OtherFocusReason);
    grid_->zap();
}

void abo::setCaption(const Variant& text) { caption_->setValue(text); }

void abo::appendblank() { grid_->appendblank(); }
void abo::appendrec(const Variant& li) { grid_->appendrec(li); }
void abo::trim() { grid_->trim(); }
void abo::CloseMe() { grid_->CloseMe(); }
void abo::finish() { grid_->finish(); }
void abo::MoveFirst() { grid_->MoveFirst(); }
void abo::MoveNext() { grid_->MoveNext(); }
void abo::DoInterrupt() { grid_->DoInterrupt(); }
bool abo::isEOF() const { return grid_->isEOF(); }
int abo::Recno() const { return grid_->Recno(); }
void abo::setRecno(int r) { grid_->setRecno(r); }
Variant abo::Cell(int rec, int fie) const { return grid_->Cell(rec, fie); }
void abo::setCell(int rec, int fie, const Variant& v) { grid_->setCell(rec, fie, v); }
void abo::setOCell(int rec, int fie, const Variant& v) { grid_->setOCell(rec, fie, v); }
void abo::setPCell(int rec, int fie, const Variant& v) { grid_->setPCell(rec, fie, v); }
Variant abo::Fields(int fie) const { return grid_->Fields(fie); }
void abo::setFields(int fie, const Variant& v) { grid_->setFields(fie, v); }
void abo::setOFields(int fie, const Variant& v) { grid_->setOFields(fie, v); }
void abo::setPFields(int fie, const Variant& v) { grid_->setPFields(fie, v); }
void abo::setPassby(int fie, bool pass) { grid_->setPassby(fie, pass); }
Variant abo::Record() const { return grid_->Record(); }
ostrel::TableRef abo::value() const { return grid_->value(); }
void abo::setValue(const ostrel::TableRef& t) { grid_->setValue(t); }
int abo::RecCount() const { return grid_->RecCount(); }
void abo::setFontsize(float size) { grid_->setFontsize(size); }
const Variant& abo::stru() const { return grid_->stru(); }
void abo::setStru(const Variant& structure) { grid_->setStru(structure); }
Variant abo::titles(int i) const { return grid_->titles(i); }
void abo::setTitles(int i, const Variant& title) { grid_->setTitles(i, title); }
int abo::maxrow() const { return grid_->maxrow(); }
void abo::setMaxrow(int rows) { grid_->setMaxrow(rows); }
int abo::NOF() const { return grid_->NOF(); }
void abo::setNOF(int fields) { grid_->setNOF(fields); }
void abo::setUpExit(bool on) { grid_->setUpExit(on); }
void abo::setDoubleEnterExit(bool on) { grid_->setDoubleEnterExit(on); }
void abo::setLineLock(bool on) { grid_->setLineLock(on); }
void abo::setLocked(bool locked) { grid_->setLocked(locked); }
bool abo::RecordExists(int rec) const { return grid_->RecordExists(rec); }
Variant abo::NotStopNextkey() const { return grid_->NotStopNextkey(); }

}  // namespace tessel
