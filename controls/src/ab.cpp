#include "tessel/ab.h"

#include "ostrel/RuntimeError.h"
#include "tessel/CellText.h"
#include "tessel/Color.h"
#include "tessel/Twips.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace tessel {

using ostrel::RuntimeError;
using ostrel::Variant;

namespace {
bool isMoveKey(int k) {
    switch (k) {
    case 13: case 33: case 34: case 35: case 36: case 37: case 38: case 39: case 40: case 545: case 546: return true;
    default: return false;
    }
}
// Keys a pass-over may repeat: the ones that step to a neighbouring cell.
bool isStepKey(int k) { return k == 13 || k == 37 || k == 38 || k == 39 || k == 40; }
// A CellGotFocus handler that keeps steering would otherwise hold a typed key forever.
constexpr int kMaxChainedMoves = 1000;
}  // namespace

ab::ab(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::ClickFocus);
    timer_ = new QTimer(this);
    // Fires as soon as the key handler has returned; a move never runs inside a cell's handler.
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
    heads_.push_back(new outvar(this));
    heads_[0]->hide();
    cells_.push_back(new invar(this));
    cells_[0]->hide();
}

ab::~ab() {
    timer_->stop();
    table_.reset();
}

void ab::setMaxrow(int rows) { maxrow_ = rows; }
void ab::setNOF(int fields) { nof_ = fields; }
void ab::setFontsize(float size) { fontsize_ = size; }

invar* ab::invar1(int index) const {
    return index >= 0 && index < int(cells_.size()) ? cells_[size_t(index)] : nullptr;
}
outvar* ab::outvar1(int index) const {
    return index >= 0 && index < int(heads_.size()) ? heads_[size_t(index)] : nullptr;
}

void ab::setStru(const Variant& structure) {
    if (table_) throw RuntimeError::invalidArgument(QStringLiteral("stru is written once"));
    std::vector<FieldDef> defs = readStru(structure);
    if (defs.empty()) throw RuntimeError::outOfRange(QStringLiteral("stru has no fields"));
    if (maxrow_ < 1) throw RuntimeError::invalidArgument(QStringLiteral("maxrow must be set before stru"));
    if (double(maxrow_) * double(defs.size()) > kMaxRecords)
        throw RuntimeError::overflow(QStringLiteral("too many cells"));

    stru_ = structure;
    defs_ = std::move(defs);
    rowGap_ = colGap_ = 30;
    df_ = int(defs_.size());
    // The table holds at least the displayed fields, or showing them would read past its fields.
    if (nof_ < df_) nof_ = df_;

    // Headings.
    double left = colGap_, headTop = rowGap_, headH = 0;
    std::vector<double> lefts;
    for (int f = 0; f < df_; ++f) {
        if (f >= int(heads_.size())) heads_.push_back(new outvar(this));
        outvar* h = heads_[size_t(f)];
        h->setBackColor(colors::Heading);
        h->setFontsize(fontsize_);
        h->setLength(defs_[size_t(f)].width);
        h->setValue(Variant(defs_[size_t(f)].title));
        h->move(twipsToPixels(left), twipsToPixels(headTop));
        h->show();
        wireHeading(f);
        lefts.push_back(left);
        headH = h->heightTwips();
        left += h->widthTwips() + colGap_;
    }

    // Data cells, row by row.
    double rowTop = headTop + headH + rowGap_, bottom = rowTop, right = 0;
    for (int r = 0; r < maxrow_; ++r) {
        double rowH = 0;
        for (int f = 0; f < df_; ++f) {
            const int index = r * df_ + f;
            if (index >= int(cells_.size())) cells_.push_back(new invar(this));
            invar* c = cells_[size_t(index)];
            const FieldDef& d = defs_[size_t(f)];
            c->setValueType(d.type);
            c->setFontsize(fontsize_);
            c->setLength(d.width);
            c->setDec(d.dec);
            c->setInputProcess(d.inputProcess());
            c->setLocked(d.isLocked());
            c->move(twipsToPixels(lefts[size_t(f)]), twipsToPixels(rowTop));
            c->show();
            wireCell(index);
            rowH = c->heightTwips();
            right = std::max(right, lefts[size_t(f)] + c->widthTwips());
        }
        rowTop += rowH + rowGap_;
        bottom = rowTop;
    }
    resize(twipsRect(0, 0, right + colGap_, bottom).size());

    table_ = std::make_shared<ostrel::clsTable>();
    table_->setNOF(nof_);
    notStop_.assign(size_t(df_), false);
    passby_.assign(size_t(df_), false);
    allNotStop_ = true;
    for (int f = 0; f < df_; ++f) {
        notStop_[size_t(f)] = defs_[size_t(f)].isNotStop();
        allNotStop_ = allNotStop_ && notStop_[size_t(f)];
    }
    top_ = rec_ = fie_ = 0;
    emit resize();
}

void ab::wireHeading(int f) {
    outvar* h = heads_[size_t(f)];
    h->disconnect(this);
    connect(h, &outvar::Click, this, [this, f] { toggleHeading(f); });
}

void ab::wireCell(int index) {
    invar* c = cells_[size_t(index)];
    c->disconnect(this);
    c->Text1()->installEventFilter(this);
    connect(c, &invar::CellGotFocus, this, [this, index] { onCellFocus(index); });
    connect(c, &invar::keycommand, this, [this, index](int& key) { onCellKey(index, key); });
    connect(c, &invar::Modified, this, [this, index] { onCellModified(index); });
    connect(c, &invar::CellInputProcess, this, [this, index](InputProcessRef& obj) {
        int r = index / df_ + top_, f = index % df_;
        emit CellInputProcess(r, f, obj);
    });
    connect(c, &invar::CellAfterInputProcess, this, [this, index](InputProcessRef& obj) {
        int r = index / df_ + top_, f = index % df_;
        emit CellAfterInputProcess(r, f, obj);
    });
}

Variant ab::titles(int i) const {
    const outvar* h = outvar1(i);
    return h ? h->value() : Variant();
}

void ab::setTitles(int i, const Variant& title) {
    outvar* h = outvar1(i);
    if (!h) throw RuntimeError::outOfRange(QStringLiteral("no heading %1").arg(i));
    h->setValue(title);
}

void ab::requireTable() const {
    if (!table_) throw RuntimeError::invalidArgument(QStringLiteral("the grid has no stru yet"));
}

void ab::requireField(int fie) const {
    if (fie < 0 || fie >= table_->NOF()) throw RuntimeError::outOfRange(QStringLiteral("field %1").arg(fie));
}

// ---- data operations ------------------------------------------------------------------------

int ab::RecCount() const { return table_ ? table_->RecCount() : 0; }
bool ab::isEOF() const { return table_ ? table_->isEOF() : true; }
int ab::Recno() const { return table_ ? table_->Recno() : 0; }
void ab::setRecno(int r) {
    requireTable();
    table_->setRecno(r);
}
void ab::MoveFirst() {
    if (table_) table_->MoveFirst();
}
void ab::MoveNext() {
    if (table_) table_->MoveNext();
}
Variant ab::Fields(int fie) const { return table_ ? table_->Fields(fie) : Variant(); }
Variant ab::Record() const {
    requireTable();
    return table_->Record();
}

Variant ab::Cell(int rec, int fie) const { return table_ ? table_->Cell(rec, fie) : Variant(); }

void ab::ensureRecord(int rec) {
    if (rec < 0) throw RuntimeError::outOfRange(QStringLiteral("record %1").arg(rec));
    if (rec >= kMaxRecords) throw RuntimeError::overflow(QStringLiteral("record %1").arg(rec));
    while (table_->RecCount() <= rec) table_->AppendBlank();
}

void ab::setOCell(int rec, int fie, const Variant& v) {
    requireTable();
    if (rec < 0 || rec >= table_->RecCount()) throw RuntimeError::outOfRange(QStringLiteral("record %1").arg(rec));
    requireField(fie);
    table_->setCell(rec, fie, v);
    if (isShown(rec) && fie < df_) cells_[size_t((rec - top_) * df_ + fie)]->setValue(v);
}

void ab::setPCell(int rec, int fie, const Variant& v) {
    requireTable();
    requireField(fie);
    ensureRecord(rec);
    setOCell(rec, fie, v);
    emit Modified();
}

void ab::setCell(int rec, int fie, const Variant& v) {
    requireTable();
    requireField(fie);
    ensureRecord(rec);
    Variant old = table_->Cell(rec, fie);
    setOCell(rec, fie, v);
    int r = rec, f = fie;
    bool internaledit = false;
    QPointer<ab> self(this);
    emit CellModified(r, f, old, internaledit);
    if (self) emit Modified();
}

void ab::setFields(int fie, const Variant& v) {
    requireTable();
    setCell(table_->Recno(), fie, v);
}
void ab::setOFields(int fie, const Variant& v) {
    requireTable();
    setOCell(table_->Recno(), fie, v);
}
void ab::setPFields(int fie, const Variant& v) {
    requireTable();
    setPCell(table_->Recno(), fie, v);
}

void ab::zap() {
    interrupt_ = false;
    interruptCounter_ = 0;
    if (table_) table_->zap();
    top_ = rec_ = fie_ = 0;
    lastkey_ = 0;
    redisplay();
}

void ab::trim() {
    if (!table_) return;
    while (table_->RecCount() > 0) {
        table_->MoveLast();
        if (!table_->IsBlankRecord()) break;
        table_->Delete();
    }
}

void ab::appendblank() {
    requireTable();
    if (table_->RecCount() >= kMaxRecords) throw RuntimeError::overflow(QStringLiteral("the grid is full"));
    table_->AppendBlank();
}

void ab::appendrec(const Variant& v) {
    requireTable();
    const ostrel::VArray* a = v.arrayIf();
    if (!a) throw RuntimeError::typeMismatch(QStringLiteral("appendrec takes an array"));
    appendblank();
    const int n = table_->RecCount() - 1;
    for (int f = 0; f < table_->NOF(); ++f)
        if (a->contains(f)) setOCell(n, f, a->at(f));
}

void ab::setValue(const ostrel::TableRef& t) {
    requireTable();
    if (!t) {
        zap();
        return;
    }
    if (t->RecCount() > kMaxRecords)
        throw RuntimeError::overflow(QStringLiteral("%1 records do not fit a grid").arg(t->RecCount()));
    // Writing the grid's own table back must not empty it before it is read.
    ostrel::TableRef source = t == table_ ? t->clone() : t;
    zap();
    const int nof = std::min(table_->NOF(), source->NOF());
    source->MoveFirst();
    while (!source->isEOF()) {
        table_->AppendBlank();
        const int n = table_->RecCount() - 1;
        for (int f = 0; f < nof; ++f) table_->setCell(n, f, source->fieldRef(f));
        source->MoveNext();
    }
    if (source != t) t->setRecno(t->RecCount());
    redisplay();
}

void ab::setPassby(int fie, bool pass) {
    if (fie >= 0 && fie < int(passby_.size())) passby_[size_t(fie)] = pass;
}

void ab::setLocked(bool locked) {
    lineLock_ = locked;
    if (df_ == 0) return;
    for (int i = 0; i < maxrow_ * df_ && i < int(cells_.size()); ++i) {
        const FieldDef& d = defs_[size_t(i % df_)];
        cells_[size_t(i)]->setLocked(d.isLocked() || locked);
    }
}

Variant ab::NotStopNextkey() const {
    if (isStepKey(lastkey_)) return Variant(int16_t(lastkey_));
    return Variant(int32_t(39));
}

void ab::CloseMe() {
    for (int i = 0; i < maxrow_ * df_ && i < int(cells_.size()); ++i) cells_[size_t(i)]->CloseMe();
}

void ab::finish() {
    timer_->stop();
    interrupt_ = false;
    nextkey_ = 0;
    for (size_t i = 1; i < cells_.size(); ++i) {
        cells_[i]->disconnect(this);
        cells_[i]->hide();
        cells_[i]->deleteLater();  // it may be the cell whose event is running
    }
    for (size_t i = 1; i < heads_.size(); ++i) {
        heads_[i]->disconnect(this);
        heads_[i]->hide();
        heads_[i]->deleteLater();
    }
    cells_.resize(1);
    heads_.resize(1);
    cells_[0]->disconnect(this);
    heads_[0]->disconnect(this);
    cells_[0]->hide();
    heads_[0]->hide();
    table_.reset();
    defs_.clear();
    df_ = 0;
    focusRow_ = focusField_ = -1;
}

void ab::DoInterrupt() {
    interrupt_ = true;
    interruptCounter_ = 0;
    kick();
}

// ---- display --------------------------------------------------------------------------------

void ab::redisplayRow(int r) {
    const int rc = RecCount(), rec = top_ + r;
    for (int f = 0; f < df_; ++f) {
        invar* c = cells_[size_t(r * df_ + f)];
        if (rec < rc) c->setValue(table_->cellRef(rec, f));
        else c->setValue(Variant());
    }
}

void ab::redisplay() {
    if (!table_) return;
    for (int r = 0; r < maxrow_; ++r) redisplayRow(r);
}

void ab::toggleHeading(int f) {
    if (!table_ || f >= df_ || defs_[size_t(f)].typeCode() != QLatin1String("B")) return;
    table_->MoveFirst();
    while (!table_->isEOF()) {
        const bool isTrue = booleanMark(table_->fieldRef(f), 2) == QStringLiteral("＋");
        table_->setFields(f, isTrue ? Variant() : Variant(true));
        table_->MoveNext();
    }
    redisplay();
}

void ab::MouseWheel(int Direction) {
    if (!table_) return;
    // The cell keeps the focus but will show another record: end its edit on the record it has.
    for (int i = 0; i < maxrow_ * df_; ++i)
        if (cells_[size_t(i)]->mode() == invar::Mode::Editing) cells_[size_t(i)]->commitEdit();
    const int n = std::abs(int(std::trunc(double(Direction) / 120.0 * 4)));
    const int rc = RecCount();
    if (Direction > 0) {
        if (top_ >= n) {
            top_ -= n;
            rec_ -= n;
        } else if (top_ > 0) {
            rec_ -= top_;
            top_ = 0;
        }
    } else if (Direction < 0) {
        if (rec_ + n < rc) {
            top_ += n;
            rec_ += n;
        } else if (rec_ < rc - 1) {
            top_ += rc - 1 - rec_;
            rec_ = rc - 1;
        }
    }
    redisplay();
}

void ab::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    emit resize();
}

void ab::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    if (!table_) return;
    const int row = std::clamp(rec_ - top_, 0, maxrow_ - 1), f = std::clamp(fie_, 0, df_ - 1);
    cells_[size_t(row * df_ + f)]->Text1()->setFocus(Qt::OtherFocusReason);
}

// ---- the cursor -----------------------------------------------------------------------------

void ab::onCellFocus(int index) {
    if (!table_ || index >= maxrow_ * df_) return;
    rec_ = index / df_ + top_;
    fie_ = index % df_;
    focusRow_ = index / df_;
    focusField_ = fie_;
    const int rc = RecCount();
    if (rec_ > rc || (rec_ == rc && lineLock_ && rc > 0)) {
        nextkey_ = 38;  // below the lines the cursor may use: walk up
        kick();
        return;
    }
    arrival();
}

void ab::arrival() {
    const size_t f = size_t(fie_);
    const bool notStop = notStop_[f] && !allNotStop_;  // a grid of only NOTSTOP fields still stops
    if (!passby_[f] && !notStop) {
        int r = rec_, fi = fie_;
        QPointer<ab> self(this);
        emit CellGotFocus(r, fi, lastkey_, nextkey_);
        if (!self || !table_) return;
        if (nextkey_ == 40 && rec_ >= RecCount() - 1) nextkey_ = 0;
    } else {
        passby_[f] = false;
        const int rc = RecCount(), last = df_ - 1;
        if (rec_ == 0 && fie_ == 0) nextkey_ = 39;
        else if ((rec_ == rc - 1 && fie_ == last && lineLock_) || (rec_ == rc && fie_ == last)) nextkey_ = 37;
        // Repeating Home, End or a page key would land on the same cell again: go on to the right.
        else if (isStepKey(lastkey_)) nextkey_ = lastkey_;
        else nextkey_ = 39;
    }
    kick();
}

void ab::onCellKey(int index, int key) {
    if (!table_ || index >= maxrow_ * df_) return;
    rec_ = index / df_ + top_;
    fie_ = index % df_;
    const int rc = RecCount();
    QPointer<ab> self(this);
    switch (key) {
    case 27: {
        int k = 27;
        emit abexit(k);
        return;
    }
    case 13:
        if ((rec_ == rc && doubleEnterExit_ && fie_ == 1) || returnExit_) {
            int k = 13;
            emit abexit(k);
            return;
        }
        nextkey_ = 13;
        break;
    case 39: case 37: case 38: case 40: case 36: case 35: case 33: case 34: case 545: case 546:
        if (key == 34 && rec_ == rc) {
            int k = 34;
            emit keycommand(k);
            return;
        }
        nextkey_ = key;
        break;
    case 601:
        if (!lineLock_ && rec_ < rc) deleteLine();
        return;
    case 590:
        if (!lineLock_) insertLine();
        return;
    case 582:
        find();
        return;
    default: {
        int k = key;
        emit keycommand(k);
        return;
    }
    }
    if (self) kick();
}

void ab::onCellModified(int index) {
    if (!table_ || index >= maxrow_ * df_) return;
    const int rec = index / df_ + top_, fie = index % df_;
    const int rc = RecCount();
    invar* c = cells_[size_t(index)];
    if ((rec < rc || (rec == rc && !lineLock_)) && rec < kMaxRecords) {
        ensureRecord(rec);
        Variant old = table_->Cell(rec, fie);
        table_->setCell(rec, fie, c->value());
        int r = rec, f = fie;
        bool internaledit = true;
        QPointer<ab> self(this);
        emit CellModified(r, f, old, internaledit);
        if (self) emit Modified();
    } else {
        c->setValue(Variant());  // not stored: the cell shows what the table holds there
    }
}

bool ab::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if ((type == QEvent::KeyPress || type == QEvent::InputMethod) && isMoveKey(nextkey_)) {
        // The event queue delivers a fast typist's keys before the timer: carry the pending moves
        // out now (a pass-over may chain several), so the key is not typed into the cell being left.
        QPointer<ab> self(this);
        for (int guard = 0; self && table_ && isMoveKey(nextkey_) && guard < kMaxChainedMoves; ++guard) tick();
        if (!self) return true;
        QWidget* now = QApplication::focusWidget();
        if (now && now != watched) {
            const std::unique_ptr<QEvent> copy(e->clone());
            QCoreApplication::sendEvent(now, copy.get());
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void ab::kick() {
    if (!table_) return;
    if (nextkey_ != 0) {
        if (!timer_->isActive() || timer_->interval() != 0) timer_->start(0);
    } else if (interrupt_ && !timer_->isActive()) {
        timer_->start(0);
    }
}

void ab::tick() {
    if (!table_) {
        timer_->stop();
        return;
    }
    QPointer<ab> self(this);
    if (isMoveKey(nextkey_)) {
        const int k = nextkey_;
        nextkey_ = 0;
        carryOut(k);
        if (!self) return;
        moved_ = true;
        lastMove_.start();
    } else {
        nextkey_ = 0;
        if (interrupt_ && (!moved_ || lastMove_.elapsed() > 1000)) {
            if (interruptCounter_ < RecCount()) {
                // Counted before the event, so that a line the handler deletes or inserts
                // shifts the pass with it.
                int r = interruptCounter_++;
                emit Interrupt(r);
                if (!self) return;
            } else {
                interrupt_ = false;
            }
        }
    }
    if (!table_) {
        timer_->stop();
        return;
    }
    if (nextkey_ != 0) {
        if (timer_->interval() != 0) timer_->setInterval(0);
    } else if (interrupt_) {
        const qint64 wait = moved_ ? 1001 - lastMove_.elapsed() : 0;
        timer_->setInterval(int(std::clamp<qint64>(wait, 0, 1001)));
    } else {
        timer_->stop();
    }
}

void ab::clearPassby() { std::fill(passby_.begin(), passby_.end(), false); }

void ab::focusCursor() {
    const int row = rec_ - top_;
    if (row < 0 || row >= maxrow_ || fie_ < 0 || fie_ >= df_) return;
    QLineEdit* t = cells_[size_t(row * df_ + fie_)]->Text1();
    if (row == focusRow_ && fie_ == focusField_ && t->hasFocus()) {
        arrival();  // the same cell now shows another record
        return;
    }
    t->setFocus(Qt::OtherFocusReason);
}

void ab::carryOut(int key) {
    lastkey_ = key;
    const int last = df_ - 1, rc = RecCount(), row = rec_ - top_, lastRow = maxrow_ - 1;
    switch (key) {
    case 39:
    case 13:
        if (fie_ < last) {
            ++fie_;
            focusCursor();
        } else if (rec_ >= rc) {
            clearPassby();
        } else if (row < lastRow) {
            ++rec_;
            fie_ = 0;
            focusCursor();
            clearPassby();
        } else {
            ++rec_;
            ++top_;
            fie_ = 0;
            redisplay();
            focusCursor();
            clearPassby();
        }
        break;
    case 37:
        if (fie_ > 0) {
            --fie_;
            focusCursor();
        } else if (row == 0) {
            if (rec_ == 0) {
                clearPassby();
            } else {
                --rec_;
                --top_;
                fie_ = last;
                redisplay();
                focusCursor();
                clearPassby();
            }
        } else {
            --rec_;
            fie_ = last;
            focusCursor();
            clearPassby();
        }
        break;
    case 38:
        if (rec_ == 0) {
            if (upExit_) {
                int k = 38;
                emit abexit(k);
            }
        } else if (row == 0) {
            --rec_;
            --top_;
            redisplay();
            focusCursor();
            clearPassby();
        } else {
            --rec_;
            focusCursor();
            clearPassby();
        }
        break;
    case 40:
        if (rec_ >= rc) break;
        ++rec_;
        if (row < lastRow) {
            focusCursor();
        } else {
            ++top_;
            redisplay();
            focusCursor();
        }
        clearPassby();
        break;
    case 36:
        fie_ = 0;
        focusCursor();
        break;
    case 35:
        fie_ = last;
        focusCursor();
        break;
    case 33:
        if (top_ >= maxrow_) {
            top_ -= maxrow_;
            rec_ -= maxrow_;
            redisplay();
        } else if (top_ > 0) {
            rec_ -= top_;
            top_ = 0;
            redisplay();
        } else {
            rec_ = 0;
        }
        focusCursor();
        clearPassby();
        break;
    case 34:
        if (rec_ >= rc - maxrow_) {
            if (rec_ < rc) {
                top_ += rc - 1 - rec_;
                rec_ = rc - 1;
                redisplay();
                focusCursor();
            }
            clearPassby();
        } else {
            top_ += maxrow_;
            rec_ += maxrow_;
            redisplay();
            focusCursor();
            clearPassby();
        }
        break;
    case 546:
        if (rc > 0) {
            top_ = rec_ = rc - 1;
            redisplay();
            focusCursor();
            clearPassby();
            break;
        }
        [[fallthrough]];  // no records: no record -1 to go to, so the first line
    case 545:
        top_ = rec_ = 0;
        redisplay();
        focusCursor();
        clearPassby();
        break;
    default:
        lastkey_ = 0;
        break;
    }
}

// ---- line commands --------------------------------------------------------------------------

void ab::deleteLine() {
    table_->setRecno(rec_);
    Variant removed = table_->Record();
    table_->Delete();
    if (rec_ < interruptCounter_) --interruptCounter_;
    redisplay();
    clearPassby();
    int r = rec_;
    QPointer<ab> self(this);
    emit LineDeleted(r, removed);
    if (self) emit Modified();
}

void ab::insertLine() {
    const int rc = RecCount();
    if (rc >= kMaxRecords || rec_ > rc) return;  // a full grid takes no more lines
    table_->setRecno(rec_);
    table_->Insert();
    if (rec_ < interruptCounter_) ++interruptCounter_;
    redisplay();
    for (int f = 0; f < df_; ++f) {
        table_->setCell(rec_, f, Variant());
        if (isShown(rec_)) cells_[size_t((rec_ - top_) * df_ + f)]->setValue(Variant());
    }
    clearPassby();
    emit Modified();
}

void ab::find() {
    QPointer<ab> self(this);
    const int fie = fie_;
    QInputDialog dlg(this);
    dlg.setWindowTitle(QStringLiteral("찾기"));
    dlg.setLabelText(defs_[size_t(fie)].title + QStringLiteral("  필드 안에서 찾을 문자열을 입력하세요."));
    dlg.setTextValue(lastFind_);
    if (const QScreen* s = screen() ? screen() : QApplication::primaryScreen()) {
        const QRect g = s->geometry();
        dlg.move(g.x() + g.width() / 2 - twipsToPixels(3200), g.y() + g.height() / 2);
    }
    const int result = dlg.exec();
    if (!self || !table_) return;
    const QString answer = result == QDialog::Accepted ? dlg.textValue() : QString();
    if (answer.isEmpty()) return;
    const bool isNew = answer != lastFind_;
    lastFind_ = answer;

    const int rc = RecCount();
    int found = -1, count = 0;
    auto test = [&](int r) {
        if (!safeText(table_->cellRef(r, fie)).contains(answer, Qt::CaseInsensitive)) return false;
        if (found < 0) found = r;
        ++count;
        return true;
    };
    for (int r = rec_ + 1; r < rc; ++r)
        if (test(r) && !isNew) break;
    if (found < 0 || isNew)
        for (int r = 0; r <= std::min(rec_, rc - 1); ++r)
            if (test(r) && !isNew) break;

    if (found >= 0) {
        top_ = rec_ = found;
        fie_ = fie;
        redisplay();
        focusCursor();
        if (isNew && self)
            QMessageBox::information(this, QStringLiteral("찾기"),
                                     QStringLiteral("'") + answer + QStringLiteral("' 문자열 ") +
                                         QString::number(count) + QStringLiteral(" 개를 찾았습니다."));
    } else {
        QMessageBox::information(this, QStringLiteral("찾기"), answer + QStringLiteral(" 문자열을 발견하지 못했습니다."));
    }
    // Back to the grid's window after the dialogs, so that the keys come to the cursor again.
    if (self && window()->isVisible()) window()->activateWindow();
}

}  // namespace tessel
