#pragma once
// The sheet list forms (mrform for sheets, codemr for code cards): one summary line per sheet in
// a fixed window of rows, the selected line highlighted. The form moves, pages, finds and picks;
// opening, creating, copying and deleting sheets is the container's work, announced by events and
// answered with AddTitle, EditTitle or DeleteTitle.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"
#include "tessel/SheetCursor.h"
#include "tessel/SheetIndex.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace tessel {

class button;
class outvar;

// The questions and messages a sheet list shows; hosts and tests may answer them otherwise.
struct SheetDialogs {
    // "삭제하시겠습니까?" with Yes and No: true for Yes.
    std::function<bool(QWidget* parent)> confirmDelete;
    // The find text ("" when cancelled), offering `last`.
    std::function<QString(QWidget* parent, const QString& last)> askFind;
    // A message box captioned "찾기".
    std::function<void(QWidget* parent, const QString& text)> findMessage;

    static SheetDialogs standard();
};

class SheetList : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultMaxrow = 20;

    // Column definitions: an array of (type code, width, decimal places, title); set before prepare.
    const ostrel::Variant& ext() const { return ext_; }
    void setExt(const ostrel::Variant& ext) { ext_ = ext; }
    int maxrow() const { return maxrow_; }
    void setMaxrow(int rows) { maxrow_ = rows; }  // before prepare
    // Lays out headings, content cells and buttons. Errors 13 and 9 for malformed definitions.
    void prepare();
    int columns() const { return columns_; }

    int TopRec() const { return view_.top; }
    void setTopRec(int top);  // stores and redisplays every row
    int EditRec() const { return view_.edit; }
    // Selects line n (0 to RecCount); anything else selects the first line of a window at the top.
    void setEditRec(int n);
    bool isEOF() const { return view_.edit >= RecCount(); }
    // The selected sheet's number, "" on the new-sheet line; the table's current record becomes EditRec.
    QString Shno();
    int RecCount() const { return sheets_.recCount(); }

    // On a sheet line, asks and on Yes raises DeleteSheet(Shno).
    void DeleteSheet();
    // The last sheet four rows above the bottom, selected (or the new-sheet line after it).
    void GotoEnd(bool bNewSheet);
    void MoveNext() { run(SheetCommand::Next); }
    void MovePrevious() { run(SheetCommand::Previous); }
    void ShiftNext() { run(SheetCommand::ShiftNext); }
    void ShiftPrevious() { run(SheetCommand::ShiftPrevious); }
    void MouseWheel(int Direction);

    // `v` is a whole record, v(0) the sheet number. A refused record (errors 13, 9) changes nothing.
    void AddTitle(const ostrel::Variant& v);
    void EditTitle(const ostrel::Variant& v);
    void DeleteTitle(const ostrel::Variant& v);

    // The sheet table (shared with the container).
    ostrel::TableRef value() const { return sheets_.table(); }
    // Record numbers in sheet number order, for checks.
    std::vector<int> indexRecords() const { return sheets_.records(); }

    outvar* outHead(int i) const { return heads_.at(size_t(i)); }
    int outHeadCount() const { return int(heads_.size()); }
    // Content cell of row r, column c: outCon(r x columns + c).
    outvar* outCon(int i) const { return cells_.at(size_t(i)); }
    int outConCount() const { return int(cells_.size()); }
    button* cmdEnd() const { return buttonFor(SheetCommand::Last); }
    button* cmdEditSheet() const { return buttonFor(SheetCommand::Edit); }
    button* cmdNewSheet() const { return buttonFor(SheetCommand::New); }
    button* cmdDeleteSheet() const { return buttonFor(SheetCommand::Delete); }
    void setDialogs(SheetDialogs dialogs) { dialogs_ = std::move(dialogs); }

signals:
    void NewSheet();
    void EditSheet(QString& sShno);
    // The method DeleteSheet() asks first; connect with qOverload<QString&>(&SheetList::DeleteSheet).
    void DeleteSheet(QString& sShno);
    void EndMr();

protected:
    struct ButtonSpec {
        SheetCommand command;
        QString caption;
    };
    SheetList(SheetListKind kind, std::vector<ButtonSpec> buttons, QWidget* parent);
    // Shares `table` as the sheet table and indexes it (error 5 for none); shows the first line.
    void setSheetTable(const ostrel::TableRef& table);
    SheetIndex& sheets() { return sheets_; }
    // Commands only one of the forms has (copy, CSV export, load).
    virtual void runOwn(SheetCommand c) = 0;
    button* buttonFor(SheetCommand c) const;
    // Selecting as the title methods do: the old row grey, the new one blue, no scrolling.
    void select(int n);

    void focusInEvent(QFocusEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void run(SheetCommand c);
    void apply(SheetView next);
    void editLine();
    void find();
    void clickRow(int row, bool edit);
    void layOutButtons();
    void clearCells();
    void showRow(int r);
    void paintRow(int r, long colour);
    void redisplay();
    void syncRecno();
    int rows() const { return int(rowColour_.size()); }  // rows laid out by prepare
    void backToWindow();

    SheetListKind kind_;
    std::vector<ButtonSpec> buttonSpecs_;
    std::vector<button*> buttons_;
    std::vector<outvar*> heads_, cells_;
    std::vector<long> rowColour_;
    ostrel::Variant ext_;
    int maxrow_ = kDefaultMaxrow;
    int columns_ = 0;
    bool placeholder_ = true;
    SheetIndex sheets_;
    SheetView view_;
    QString lastFind_;
    SheetDialogs dialogs_ = SheetDialogs::standard();
};

}  // namespace tessel
