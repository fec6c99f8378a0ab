#pragma once
// ab: the editable grid. A fixed window of `maxrow` rows of input cells under a row of headings,
// over a table the grid owns. Moves reported by the cells are carried out from a timer, so that
// a CellGotFocus handler can steer the cursor by writing `nextkey`.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"
#include "tessel/GridCursor.h"
#include "tessel/IdlePass.h"
#include "tessel/InputProcess.h"
#include "tessel/Stru.h"

#include <QWidget>
#include <vector>

class QTimer;

namespace tessel {

class invar;
class outvar;

class ab : public QWidget {
    Q_OBJECT
public:
    // Record, field and row numbers are 16-bit in the grid's interface.
    static constexpr int kMaxRecords = 32767;

    explicit ab(QWidget* parent = nullptr);
    ~ab() override;
    using QWidget::resize;  // the `resize` signal below hides it otherwise

    int maxrow() const { return maxrow_; }
    void setMaxrow(int rows);  // before stru
    int NOF() const { return nof_; }
    void setNOF(int fields);  // before stru; 0 means the displayed fields
    float fontsize() const { return fontsize_; }
    void setFontsize(float size);  // used at the next layout
    const ostrel::Variant& stru() const { return stru_; }
    // Lays the grid out (once). Error 13 or 9 for a malformed structure, 5 when written again.
    void setStru(const ostrel::Variant& structure);
    ostrel::Variant titles(int i) const;
    void setTitles(int i, const ostrel::Variant& title);
    void DoInterrupt();

    // Table cell (rec, fie) and its visible cell; no events. Error 9 when the record does not exist.
    void setOCell(int rec, int fie, const ostrel::Variant& v);
    // Appends blank records until rec exists, oCell, then Modified.
    void setPCell(int rec, int fie, const ostrel::Variant& v);
    ostrel::Variant Cell(int rec, int fie) const;
    // Appends blank records until rec exists, oCell, then CellModified(internaledit false), Modified.
    void setCell(int rec, int fie, const ostrel::Variant& v);
    void zap();
    void trim();  // blank records off the end; the display is not refreshed
    void appendblank();
    void MoveFirst();
    void MoveNext();
    void MouseWheel(int Direction);
    int RecCount() const;
    bool isEOF() const;
    int Recno() const;
    void setRecno(int r);
    ostrel::Variant Fields(int fie) const;
    void setFields(int fie, const ostrel::Variant& v);  // Cell(current record, fie), with events
    void setOFields(int fie, const ostrel::Variant& v);
    void setPFields(int fie, const ostrel::Variant& v);
    void setPassby(int fie, bool pass);
    // AppendBlank, then oCell(new record, f) = v(f) for every field the array holds. No events.
    void appendrec(const ostrel::Variant& v);
    ostrel::Variant Record() const;
    // The grid's own table.
    ostrel::TableRef value() const { return table_; }
    // zap, then a copy of every record of `t` from its first to its EOF. Error 6 (grid unchanged)
    // beyond kMaxRecords records.
    void setValue(const ostrel::TableRef& t);
    void setUpExit(bool on) { upExit_ = on; }
    void setDoubleEnterExit(bool on) { doubleEnterExit_ = on; }
    void setReturnExit(bool on) { returnExit_ = on; }
    void setLineLock(bool on) { lineLock_ = on; }
    bool LineLock() const { return lineLock_; }
    // LineLock, and the Locked flag of every cell but those of LOCKED and NOTSTOP fields.
    void setLocked(bool locked);
    bool RecordExists(int rec) const { return rec >= 0 && rec < RecCount(); }
    // lastkey when it is Enter or an arrow (Integer), else Right (Long).
    ostrel::Variant NotStopNextkey() const;
    void CloseMe();  // commits the edit in progress of every cell
    void finish();   // unloads the cells and headings but the first of each, releases the table

    // The cursor and the window, for containers that read them.
    int rec() const { return cursor_.rec; }
    int fie() const { return cursor_.fie; }
    int top() const { return cursor_.top; }
    const GridCursor& cursor() const { return cursor_; }
    int lastkey() const { return lastkey_; }
    int nextkey() const { return nextkey_; }
    int displayedFields() const { return df_; }
    // Data cell for visible row r and field f is invar1(r x displayedFields + f).
    invar* invar1(int index) const;
    int invar1Count() const { return int(cells_.size()); }
    outvar* outvar1(int index) const;
    int outvar1Count() const { return int(heads_.size()); }
    // The clock of the idle wait before the Interrupt pass, for tests.
    void setIdleClock(IdlePass::Clock clock) { interruptPass_.setClock(std::move(clock)); }

signals:
    void abexit(int& key);
    void resize();
    void CellGotFocus(int& rec, int& fie, int& lastkey, int& nextkey);
    void CellInputProcess(int& rec, int& fie, tessel::InputProcessRef& ProcessObj);
    void CellAfterInputProcess(int& rec, int& fie, tessel::InputProcessRef& ProcessObj);
    void CellModified(int& rec, int& fie, ostrel::Variant& oldvalue, bool& internaledit);
    void LineDeleted(int& rec, ostrel::Variant& vRecord);
    void Modified();
    void keycommand(int& key);
    void Interrupt(int& rec);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    // Keys typed ahead of a pending move are held until the move lands, then go to its cell.
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Focus, keys and the timer.
    void onCellFocus(int index);
    void onCellKey(int index, int& key);
    void onCellModified(int index);
    void arrival();
    void tick();
    void kick();
    void carryOut(int key);
    void apply(const GridMove& m);
    void focusCursor();
    bool carryOutPending();  // false when a handler destroyed the grid
    // Tab and Shift+Tab: the grid is one stop of its window's tab order, left from any cell.
    void leave(bool forward);
    QWidget* tabStopOutside(bool forward);
    void clearPassby();
    GridShape shape() const { return {RecCount(), maxrow_, df_, lineLock_}; }
    GridCursor cursorAt(int index) const { return {cursor_.top, index / df_ + cursor_.top, index % df_}; }
    // Display.
    void redisplay();
    void redisplayRow(int r);
    void toggleHeading(int f);
    // Line commands.
    void deleteLine();
    void insertLine();
    void find();
    // Layout and data.
    void ensureRecord(int rec);  // appends blanks until rec exists
    void requireTable() const;
    void requireField(int fie) const;
    bool isShown(int rec) const { return rec >= cursor_.top && rec < cursor_.top + maxrow_; }
    void wireCell(int index);
    void wireHeading(int index);

    QTimer* timer_ = nullptr;
    std::vector<outvar*> heads_;
    std::vector<invar*> cells_;
    ostrel::TableRef table_;
    ostrel::Variant stru_;
    std::vector<FieldDef> defs_;
    std::vector<bool> notStop_, passby_;
    bool allNotStop_ = false;
    int maxrow_ = 0;
    int nof_ = 0;
    int df_ = 0;
    float fontsize_ = 12;
    int rowGap_ = 30, colGap_ = 30;
    GridCursor cursor_;
    int focusRow_ = -1, focusField_ = -1;
    int lastkey_ = 0, nextkey_ = 0;
    bool upExit_ = false, doubleEnterExit_ = false, returnExit_ = false, lineLock_ = false;
    IdlePass interruptPass_;
    QString lastFind_;
};

}  // namespace tessel
