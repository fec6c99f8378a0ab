#include "tavrin/frmOuthand.h"

#include "Messages.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/clsWaitMessage.h"
#include "sembrin/pptZepPublicValue.h"
#include "tavrin/CsvExport.h"
#include "tavrin/ReportCursor.h"
#include "tavrin/mdlPrint.h"
#include "tessel/Color.h"
#include "tessel/Fonts.h"
#include "tessel/GridCursor.h"
#include "tessel/KeyCode.h"
#include "tessel/MouseHelper.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/outvar.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace tavrin {

using ostrel::Variant;
using tessel::twipsRect;

namespace {
constexpr int kGap = 30;
constexpr int kButtonTop = 60, kButtonHeight = 420, kButtonWidth = 1900;
constexpr int kTextHeight = 390;
}  // namespace

frmOuthand::frmOuthand(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("결과"));
    tessel::registerFontSubstitutions();

    auto button = [this](const QString& text, int i) {
        auto* b = new QPushButton(text, this);
        b->setFont(tessel::captionFont(9));
        // Reached with Tab after the cells; Enter presses the focused one, other keys reach the window.
        b->setFocusPolicy(Qt::StrongFocus);
        b->setAutoDefault(true);
        b->setGeometry(twipsRect(kGap + i * (kButtonWidth + kGap), kButtonTop, kButtonWidth, kButtonHeight));
        return b;
    };
    cmdF6_ = button(QStringLiteral("CSV(excel) F6"), 0);
    cmdF6_->setObjectName(QStringLiteral("cmdF6"));
    cmdF9_ = button(QStringLiteral("인쇄 F9"), 1);
    cmdF9_->setObjectName(QStringLiteral("cmdF9"));
    cmdAltP_ = button(QStringLiteral("간이인쇄 @P"), 2);
    cmdAltP_->setObjectName(QStringLiteral("cmdAltP"));
    cmdAltP_->hide();
    connect(cmdF6_, &QPushButton::clicked, this, &frmOuthand::csvExport);
    connect(cmdF9_, &QPushButton::clicked, this, &frmOuthand::print);
    connect(cmdAltP_, &QPushButton::clicked, this, &frmOuthand::quickPrint);

    auto textLine = [this](int top) {
        auto* t = new QLineEdit(this);
        t->setReadOnly(true);
        t->setFocusPolicy(Qt::NoFocus);
        t->setFont(tessel::captionFont(12));
        t->setGeometry(twipsRect(kGap, top, 6000, kTextHeight));
        return t;
    };
    const int text1Top = kButtonTop + kButtonHeight + kGap;
    text1_ = textLine(text1Top);
    text1_->setObjectName(QStringLiteral("Text1"));
    text2_ = textLine(text1Top + kTextHeight + kGap);
    text2_->setObjectName(QStringLiteral("Text2"));
    gridTop_ = text1Top + 2 * (kTextHeight + kGap);

    mouseHelper_ = new tessel::MouseHelper(this);
    connect(mouseHelper_, &tessel::MouseHelper::MouseWheel, this, [this](int&, int& delta) { MouseWheel(delta); });

    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);  // a key is carried out within the millisecond
    timer_->setObjectName(QStringLiteral("Timer1"));
    connect(timer_, &QTimer::timeout, this, &frmOuthand::tick);
}

frmOuthand::~frmOuthand() = default;

void frmOuthand::load() {
    if (loaded_) return;
    loaded_ = true;
    maxrow_ = 20;
    fontSize_ = 12;
    timer_->setInterval(1);
}

void frmOuthand::setFontsize(int points) {
    load();
    fontSize_ = points;
}

void frmOuthand::setSubject(const QString& subject) {
    load();
    subject_ = subject;
    setWindowTitle(subject);
}

void frmOuthand::setDescr(const Variant& descr) {
    load();
    descr_ = descr;
    text1_->setText(joindescr(descr));
}

void frmOuthand::setEtc(const QString& etc) {
    load();
    etc_ = etc;
    text2_->setText(etc);
}

void frmOuthand::setPrintobj(PrintObjectRef obj) {
    load();
    printobj_ = std::move(obj);
    cmdAltP_->setVisible(printobj_ != nullptr);
}

void frmOuthand::showWindow() {
    load();
    show();
    if (!cells_.empty()) cells_.front()->setFocus();
    else if (!heads_.empty()) heads_.front()->setFocus();
}

void frmOuthand::clearGrid() {
    for (auto it = cells_.rbegin(); it != cells_.rend(); ++it) delete *it;
    for (auto it = heads_.rbegin(); it != heads_.rend(); ++it) delete *it;
    cells_.clear();
    heads_.clear();
    count_ = 0;
    marked_ = -1;
}

void frmOuthand::setStru(const Variant& stru) {
    load();
    const std::vector<tessel::FieldDef> cols = tessel::readStru(stru);
    if (cols.empty()) throw ostrel::RuntimeError::outOfRange(QStringLiteral("no columns"));
    const int f = fontSize_;
    if (12 * f >= 32748) throw ostrel::RuntimeError::overflow();
    const int count = int(cols.size());
    const int rows = std::max(0, maxrow_);
    if (double(rows + 1) * count > 32767) throw ostrel::RuntimeError::overflow(QStringLiteral("too many cells"));

    ostrel::clsWaitMessage wait;
    wait.setCaption(QStringLiteral("화면표시 준비중"));
    wait.setMessage(QStringLiteral("화면표시 준비중"));

    setUpdatesEnabled(false);
    clearGrid();
    stru_ = stru;
    count_ = count;
    const double cellHeight = 30.0 * f;
    auto wire = [this](tessel::outvar* cell, int k, bool data) {
        connect(cell, &tessel::outvar::keycommand, this, [this](int& key) { keycommand(key); });
        if (data) connect(cell, &tessel::outvar::Click, this, [this, k] { clickCell(k); });
    };

    std::vector<double> lefts(static_cast<size_t>(count)), tops(static_cast<size_t>(count));
    double left = kGap;
    for (int i = 0; i < count; ++i) {
        auto* h = new tessel::outvar(this);
        h->setObjectName(QStringLiteral("outvar1_%1").arg(i));
        h->setFontsize(float(f));
        h->setLength(cols[size_t(i)].width);
        h->setBackColor(tessel::colors::ReportHeading);
        h->setValue(Variant(cols[size_t(i)].title));
        if (i > 0) left += heads_.back()->widthTwips() + kGap;
        lefts[size_t(i)] = left;
        tops[size_t(i)] = gridTop_ + cellHeight;  // the top of the row below
        h->setGeometry(twipsRect(left, gridTop_, h->widthTwips(), cellHeight));
        h->show();
        wire(h, i, false);
        heads_.push_back(h);
    }
    double right = lefts.back() + heads_.back()->widthTwips(), bottom = gridTop_ + cellHeight;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < count; ++c) {
            const int k = r * count + c;
            const auto& col = cols[size_t(c)];
            auto* cell = new tessel::outvar(this);
            cell->setObjectName(QStringLiteral("outvar2_%1").arg(k));
            cell->setFontsize(float(f));
            cell->setValueType(col.type);
            cell->setLength(col.width);
            cell->setDec(col.dec);
            cell->setBackColor(tessel::colors::Idle);
            const double top = tops[size_t(c)] + kGap;
            cell->setGeometry(twipsRect(lefts[size_t(c)], top, cell->widthTwips(), cellHeight));
            tops[size_t(c)] = top + cellHeight;
            right = std::max(right, lefts[size_t(c)] + cell->widthTwips());
            bottom = std::max(bottom, top + cellHeight);
            cell->show();
            wire(cell, k, true);
            cells_.push_back(cell);
        }
    }
    // Tab order: headings, the data cells row by row, then the buttons (their tab indexes are
    // pushed past the cells' as the cells are numbered).
    std::vector<QWidget*> chain(heads_.begin(), heads_.end());
    chain.insert(chain.end(), cells_.begin(), cells_.end());
    chain.insert(chain.end(), {cmdF6_, cmdF9_, cmdAltP_});
    for (size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
    const double buttonsRight = kGap + 3 * (kButtonWidth + kGap);
    const QRect client = twipsRect(0, 0, std::max(right + kGap, buttonsRight), bottom + kGap);
    resize(client.size());
    setUpdatesEnabled(true);
    refresh();
    markRow(cur_ - top_);
}

void frmOuthand::setValue(const ostrel::TableRef& table) {
    load();
    table_ = table;
    // A new table may be shorter than the last one: keep the cursor on a record.
    const int n = records();
    if (cur_ >= n) cur_ = std::max(0, n - 1);
    top_ = std::clamp(top_, 0, cur_);
    refresh();
    markRow(cur_ - top_);
    DoInterrupt();
}

void frmOuthand::DoInterrupt() {
    pass_.start();
    bgActive_ = true;
    schedule();
}

void frmOuthand::showRow(int r) {
    if (count_ == 0 || r < 0 || r >= maxrow_ || size_t((r + 1) * count_) > cells_.size()) return;
    const int rec = top_ + r;
    const bool has = table_ && rec >= 0 && rec < table_->RecCount();
    const int nof = table_ ? table_->NOF() : 0;
    for (int c = 0; c < count_; ++c) {
        tessel::outvar* cell = cells_[size_t(r * count_ + c)];
        if (has && c < nof) cell->setValue(table_->cellRef(rec, c));
        else cell->setValue(Variant());
    }
}

void frmOuthand::refresh() {
    for (int r = 0; r < maxrow_; ++r) showRow(r);
}

void frmOuthand::paintRow(int r, long colour) {
    if (count_ == 0 || r < 0 || r >= maxrow_ || size_t((r + 1) * count_) > cells_.size()) return;
    for (int c = 0; c < count_; ++c) cells_[size_t(r * count_ + c)]->setBackColor(colour);
}

void frmOuthand::markRow(int r) {
    if (marked_ >= 0 && marked_ < maxrow_) paintRow(marked_, tessel::colors::Idle);
    marked_ = r;
    if (r >= 0 && r < maxrow_) paintRow(r, tessel::colors::Selected);
}

void frmOuthand::clickCell(int k) {
    if (count_ == 0) return;
    const int r = k / count_;
    if (top_ + r < records()) {
        cur_ = top_ + r;
        markRow(r);
    }
}

void frmOuthand::keycommand(int key) {
    namespace vk = tessel::vk;
    switch (key) {
    case vk::Esc:
        close();
        return;
    case vk::PgUp:
    case vk::PgDn:
    case vk::Up:
    case vk::Down:
    case tessel::keycmd::CtrlPgUp:
    case tessel::keycmd::CtrlPgDn:
        pendingKey_ = key;  // a burst of repeats collapses to the latest key
        schedule();
        return;
    case tessel::keycmd::altLetter('P'):
        quickPrint();
        return;
    case vk::F6:
        csvExport();
        return;
    case vk::F9:
        print();
        return;
    default:
        return;
    }
}

void frmOuthand::keyPressEvent(QKeyEvent* e) {
    // Keys that reach the window itself (no cell has the focus) take the same way.
    const int key = tessel::keyCommandCode(*e);
    if (key == 0) {
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
    keycommand(key);
}

void frmOuthand::navigate(int key) {
    const ReportMove m = moveReportCursor({top_, cur_, 0}, marked_, key, records(), maxrow_);
    if (!m.moved) return;
    top_ = m.to.top;
    cur_ = m.to.rec;
    if (m.refresh) refresh();
    markRow(cur_ - top_);
}

void frmOuthand::MouseWheel(int delta) {
    const tessel::GridCursor from{top_, cur_, 0};
    const tessel::GridCursor to = tessel::scrollCursor(from, delta, records());
    bgActive_ = false;
    if (to != from) {
        top_ = to.top;
        cur_ = to.rec;
        refresh();
    }
    bgActive_ = true;
    pass_.noteMove();
    schedule();
}

void frmOuthand::schedule() {
    // The timer runs only while there is something to do, and sleeps through the idle wait.
    if (!table_) {
        timer_->stop();
        return;
    }
    if (pendingKey_ != 0) {
        timer_->start(1);
        return;
    }
    if (interrupt_ && pass_.running() && bgActive_) {
        timer_->start(std::max(1, pass_.wait()));
        return;
    }
    timer_->stop();
}

void frmOuthand::tick() {
    if (!table_) {
        timer_->stop();
        return;
    }
    if (pendingKey_ != 0) {
        const int key = pendingKey_;
        pendingKey_ = 0;
        navigate(key);
        pass_.noteMove();
        schedule();
        return;
    }
    if (interrupt_ && pass_.running() && bgActive_ && pass_.wait() == 0) {
        const int k = pass_.take(table_->RecCount());  // none when the table shrank under the pass
        if (k >= 0) {
            const int nof = table_->NOF();
            ostrel::VArray record{0, std::vector<Variant>(size_t(std::max(0, nof)))};
            for (int j = 0; j < nof; ++j) record.items[size_t(j)] = table_->cellRef(k, j);
            InterruptObjectRef handler = interrupt_;
            ostrel::TableRef table = table_;
            try {
                handler->lineevent(descr_, record);
                const int back = std::min(nof, int(record.items.size()));
                if (k < table->RecCount())
                    for (int j = 0; j < back; ++j) table->setCell(k, j, record.items[size_t(j)]);
            } catch (const std::exception& e) {
                // No caller to hand the failure to: stop the pass and say why.
                pass_.stop();
                detail::showRuntimeError(e, this);
            }
            if (table_ == table && k - top_ >= 0 && k - top_ < maxrow_) showRow(k - top_);
            if (pass_.next() >= records()) pass_.stop();
        }
    }
    schedule();
}

void frmOuthand::csvExport() {
    bgActive_ = false;
    ExportCsv(subject_, descr_, table_, stru_);
    bgActive_ = true;
    schedule();
}

void frmOuthand::printWithEngine() {
    const sembrin::사업자 user = sembrin::pptZepPublicValue().ZepPv사용자();
    PrintReport(subject_, descr_, table_, stru_, user.사업자등록번호, user.상호, user.전화번호, divideby5_, landscape_);
}

void frmOuthand::print() {
    if (!printobj_) {
        printWithEngine();
        return;
    }
    PrintObjectRef obj = printobj_;
    QString subject = subject_;
    Variant descr = descr_, stru = stru_;
    ostrel::TableRef table = table_;
    try {
        obj->run(subject, descr, table, stru);
    } catch (const std::exception& e) {
        detail::showRuntimeError(e, this);
    }
}

void frmOuthand::quickPrint() { printWithEngine(); }

void frmOuthand::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // The two text lines reach to the window's right edge.
    for (QLineEdit* t : {text1_, text2_}) {
        QRect g = t->geometry();
        g.setRight(std::max(g.left() + 20, width() - tessel::twipsToPixels(kGap) - 1));
        t->setGeometry(g);
    }
}

void frmOuthand::closeEvent(QCloseEvent* e) {
    timer_->stop();
    clearGrid();
    printobj_.reset();
    interrupt_.reset();
    table_.reset();
    QWidget::closeEvent(e);
}

}  // namespace tavrin
