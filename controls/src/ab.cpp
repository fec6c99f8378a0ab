// The grid's facade: its layout, its table and the display of the window of records.
#include "tessel/ab.h"

#include "ostrel/RuntimeError.h"
#include "tessel/CellText.h"
#include "tessel/Color.h"
#include "tessel/KeyCode.h"
#include "tessel/Twips.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <algorithm>

namespace tessel {

using ostrel::RuntimeError;
using ostrel::Variant;

ab::ab(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);  // one tab stop: its cells are reached by the cursor keys
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
        h->setFocusPolicy(Qt::ClickFocus);
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
            c->setFocusPolicy(Qt::ClickFocus);
            c->Text1()->setFocusPolicy(Qt::ClickFocus);
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
    cursor_ = {};
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
    // Every argument by reference: the cursor itself, and the cell's own object.
    connect(c, &invar::CellInputProcess, this, [this, index](InputProcessRef& obj) {
        cursor_ = cursorAt(index);
        emit CellInputProcess(cursor_.rec, cursor_.fie, obj);
    });
    connect(c, &invar::CellAfterInputProcess, this, [this, index](InputProcessRef& obj) {
        cursor_ = cursorAt(index);
        emit CellAfterInputProcess(cursor_.rec, cursor_.fie, obj);
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
    if (isShown(rec) && fie < df_) cells_[size_t((rec - cursor_.top) * df_ + fie)]->setValue(v);
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
    interruptPass_.stop();
    if (table_) table_->zap();
    cursor_ = {};
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
    if (isGridStepKey(lastkey_)) return Variant(int16_t(lastkey_));
    return Variant(int32_t(vk::Right));
}

void ab::CloseMe() {
    for (int i = 0; i < maxrow_ * df_ && i < int(cells_.size()); ++i) cells_[size_t(i)]->CloseMe();
}

void ab::finish() {
    timer_->stop();
    interruptPass_.stop();
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
    interruptPass_.start();
    kick();
}

void ab::redisplayRow(int r) {
    const int rc = RecCount(), rec = cursor_.top + r;
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
    if (!table_ || f >= df_ || defs_[size_t(f)].kind != FieldType::Boolean) return;
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
    cursor_ = scrollCursor(cursor_, Direction, RecCount());
    redisplay();
}

void ab::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    emit resize();
}

}  // namespace tessel
