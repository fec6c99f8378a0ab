#include "tessel/SheetList.h"

#include "ostrel/Cp949.h"
#include "tessel/CellText.h"
#include "tessel/Color.h"
#include "tessel/KeyCode.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/button.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QWheelEvent>
#include <algorithm>

namespace tessel {

using ostrel::Variant;

namespace {
// Twips.
constexpr double kGap = 30;
constexpr double kHeadTop = 530;
constexpr double kHeadLeft = 30;
constexpr double kRowHeight = 360;
constexpr double kBottomMargin = 130;
constexpr double kRightMargin = 80;
constexpr double kButtonTop = 120;
constexpr float kCellFontSize = 12;
constexpr float kButtonFontSize = 9;
constexpr long kNoColour = -1;
}  // namespace

SheetDialogs SheetDialogs::standard() {
    SheetDialogs d;
    d.confirmDelete = [](QWidget* parent) {
        return QMessageBox::question(parent, QStringLiteral("삭제확인"), QStringLiteral("삭제하시겠습니까?"),
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    d.askFind = [](QWidget* parent, const QString& last) {
        bool ok = false;
        const QString answer = QInputDialog::getText(
            parent, QStringLiteral("찾기"), QStringLiteral("찾을 문자열을 입력하세요."), QLineEdit::Normal, last, &ok);
        return ok ? answer : QString();
    };
    d.findMessage = [](QWidget* parent, const QString& text) {
        QMessageBox::information(parent, QStringLiteral("찾기"), text);
    };
    return d;
}

SheetList::SheetList(SheetListKind kind, std::vector<ButtonSpec> buttons, QWidget* parent)
    : QWidget(parent), kind_(kind), buttonSpecs_(std::move(buttons)) {
    setFocusPolicy(Qt::ClickFocus);
    for (const ButtonSpec& def : buttonSpecs_) {
        auto* b = new button(this);
        b->setFont_size(kButtonFontSize);
        b->setValue(def.caption);
        b->setLength(ostrel::cp949::byteLength(def.caption) + 1);
        // A click acts on the selected line; the keys stay with the content cells.
        b->setFocusPolicy(Qt::NoFocus);
        const SheetCommand c = def.command;
        connect(b, &button::keycommand, this, [this, c](int& key) {
            if (key == vk::Enter) run(c);
        });
        buttons_.push_back(b);
    }
    layOutButtons();
}

button* SheetList::buttonFor(SheetCommand c) const {
    for (size_t i = 0; i < buttonSpecs_.size(); ++i)
        if (buttonSpecs_[i].command == c) return buttons_[i];
    return nullptr;
}

void SheetList::layOutButtons() {
    double left = kHeadLeft;
    for (button* b : buttons_) {
        b->move(twipsRect(left, kButtonTop, 1, 1).topLeft());
        left += pixelsToTwips(b->width()) + kGap;
    }
}

void SheetList::clearCells() {
    for (outvar* o : heads_) delete o;
    for (outvar* o : cells_) delete o;
    heads_.clear();
    cells_.clear();
}

void SheetList::prepare() {
    const std::vector<FieldDef> defs = readStru(ext_);  // a malformed definition changes nothing
    const int rows = std::max(maxrow_, 0);
    clearCells();
    columns_ = int(defs.size());
    if (placeholder_) {
        auto placeholder = std::make_shared<ostrel::clsTable>();
        placeholder->setNOF(columns_ + 1);
        sheets_.assign(placeholder);
    }

    std::vector<double> lefts, widths;
    double left = kHeadLeft, headHeight = 0;
    for (const FieldDef& d : defs) {
        auto* h = new outvar(this);
        h->setBackColor(colors::Heading);
        h->setFontsize(kCellFontSize);
        h->setLength(d.width);
        h->setValue(Variant(d.title));
        h->setGeometry(twipsRect(left, kHeadTop, h->widthTwips(), h->heightTwips()));
        h->show();
        heads_.push_back(h);
        lefts.push_back(left);
        widths.push_back(h->widthTwips());
        headHeight = h->heightTwips();
        left += h->widthTwips() + kGap;
    }

    double top = kHeadTop + headHeight + kGap;
    for (int r = 0; r < rows; ++r, top += kRowHeight + kGap) {
        for (int c = 0; c < columns_; ++c) {
            const FieldDef& d = defs[size_t(c)];
            auto* cell = new outvar(this);
            cell->setValueType(d.type);
            cell->setFontsize(kCellFontSize);
            cell->setLength(d.width);
            cell->setDec(d.dec);
            cell->setGeometry(twipsRect(lefts[size_t(c)], top, widths[size_t(c)], kRowHeight));
            cell->setBackColor(colors::Idle);
            connect(cell, &outvar::keycommand, this, [this](int& key) { run(sheetCommand(key, kind_)); });
            connect(cell, &outvar::Click, this, [this, r] { clickRow(r, false); });
            connect(cell, &outvar::DblClick, this, [this, r] { clickRow(r, true); });
            cell->show();
            cells_.push_back(cell);
        }
    }
    const double bottom = rows > 0 ? top - kGap : kHeadTop + headHeight;
    const double right = lefts.empty() ? kHeadLeft : lefts.back() + widths.back();
    // Narrow columns would cut the button row short.
    const double buttonsRight = buttons_.empty() ? 0 : pixelsToTwips(buttons_.back()->geometry().right() + 1);
    resize(twipsRect(0, 0, std::max(right + kRightMargin, buttonsRight + kGap), bottom + kBottomMargin).size());
    rowColour_.assign(size_t(rows), colors::Idle);
    redisplay();
}

void SheetList::setSheetTable(const ostrel::TableRef& table) {
    sheets_.assign(table);
    placeholder_ = false;
    view_ = {};
    redisplay();
    syncRecno();
}

void SheetList::showRow(int r) {
    if (r < 0 || r >= rows()) return;
    const ostrel::clsTable& t = *sheets_.table();
    const int rec = view_.top + r;
    const bool shown = rec >= 0 && rec < t.RecCount();
    for (int c = 0; c < columns_; ++c) {
        const bool hasField = c + 1 < t.NOF();
        cells_[size_t(r * columns_ + c)]->setValue(shown && hasField ? t.cellRef(rec, c + 1) : Variant());
    }
}

void SheetList::paintRow(int r, long colour) {
    if (r < 0 || r >= rows() || rowColour_[size_t(r)] == colour) return;
    for (int c = 0; c < columns_; ++c) cells_[size_t(r * columns_ + c)]->setBackColor(colour);
    rowColour_[size_t(r)] = colour;
}

void SheetList::redisplay() {
    const int selected = view_.edit - view_.top;
    for (int r = 0; r < rows(); ++r) {
        showRow(r);
        paintRow(r, r == selected ? colors::Selected : colors::Idle);
    }
}

void SheetList::syncRecno() { sheets_.table()->setRecno(view_.edit); }

void SheetList::select(int n) {
    paintRow(view_.edit - view_.top, colors::Idle);
    if (n < 0 || n > RecCount()) {
        view_ = {};
        redisplay();
    } else {
        view_.edit = n;
        paintRow(n - view_.top, colors::Selected);
    }
    syncRecno();
}

void SheetList::apply(SheetView next) {
    if (next.top != view_.top) {
        view_ = next;
        redisplay();
        syncRecno();
    } else {
        select(next.edit);
    }
}

void SheetList::setTopRec(int top) {
    view_.top = top;
    redisplay();
}

void SheetList::setEditRec(int n) { select(n); }

QString SheetList::Shno() {
    syncRecno();
    if (view_.edit < 0 || view_.edit >= RecCount()) return {};
    return safeText(sheets_.table()->cellRef(view_.edit, 0));
}

void SheetList::run(SheetCommand c) {
    switch (c) {
    case SheetCommand::None: break;
    case SheetCommand::EndForm: emit EndMr(); break;
    case SheetCommand::Edit: editLine(); break;
    case SheetCommand::New: emit NewSheet(); break;
    case SheetCommand::Delete: DeleteSheet(); break;
    case SheetCommand::Find: find(); break;
    case SheetCommand::Copy:
    case SheetCommand::Csv:
    case SheetCommand::Load: runOwn(c); break;
    default: apply(moveSheets(view_, c, RecCount(), maxrow_)); break;
    }
}

void SheetList::GotoEnd(bool bNewSheet) { run(bNewSheet ? SheetCommand::LastNewSheet : SheetCommand::Last); }

void SheetList::MouseWheel(int Direction) { apply(wheelSheets(view_, Direction, RecCount())); }

void SheetList::editLine() {
    if (view_.edit < RecCount()) {
        QString shno = Shno();
        emit EditSheet(shno);
    } else {
        emit NewSheet();
    }
}

void SheetList::DeleteSheet() {
    if (view_.edit < 0 || view_.edit >= RecCount()) return;
    QPointer<SheetList> self(this);
    const bool yes = dialogs_.confirmDelete(this);
    if (!self) return;
    backToWindow();
    if (!yes) return;
    QString shno = Shno();
    emit DeleteSheet(shno);
}

void SheetList::find() {
    QPointer<SheetList> self(this);
    const QString answer = dialogs_.askFind(this, lastFind_);
    if (!self) return;
    lastFind_ = answer;
    if (!answer.isEmpty()) {
        const int r = sheets_.find(view_.edit, columns_, answer);
        if (r >= 0) {
            view_ = {r, r};
            redisplay();
            syncRecno();
        } else {
            dialogs_.findMessage(this, answer + QStringLiteral(" 문자열을 발견하지 못했습니다."));
            if (!self) return;
        }
    }
    backToWindow();
}

void SheetList::backToWindow() {
    // After a dialog the keys must come to the list's window again.
    if (window()->isVisible()) window()->activateWindow();
}

void SheetList::clickRow(int row, bool edit) {
    const int rec = view_.top + row;
    if (rec < 0 || rec > RecCount()) return;
    select(rec);
    if (edit) editLine();
}

void SheetList::AddTitle(const Variant& v) {
    const int r = sheets_.add(v);
    view_ = afterAppend(view_, r);
    redisplay();
    syncRecno();
}

void SheetList::EditTitle(const Variant& v) {
    const int rec = sheets_.edit(v);
    if (rec < 0) return;
    select(rec);
    showRow(rec - view_.top);
}

void SheetList::DeleteTitle(const Variant& v) {
    const int rec = sheets_.remove(v);
    if (rec < 0) return;
    view_.edit = rec;
    redisplay();
    syncRecno();
}

void SheetList::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    if (rows() == 0 || columns_ == 0) return;
    const int row = std::clamp(view_.edit - view_.top, 0, rows() - 1);
    cells_[size_t(row * columns_)]->setFocus(Qt::OtherFocusReason);
}

void SheetList::wheelEvent(QWheelEvent* e) {
    e->accept();
    const int delta = std::clamp(e->angleDelta().y(), -32768, 32767);
    if (delta != 0) MouseWheel(delta);
}

}  // namespace tessel
