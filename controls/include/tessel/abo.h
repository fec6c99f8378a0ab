#pragma once
// abo: the editable grid `ab1` under a caption `outvar1` that can hold the focus. The grid's
// leaving keys park the focus on the caption (Esc, Enter when an exit flag allows it, Up on the
// first record with UpExit), and Down, Enter or typing on the caption go back into the grid.
// Every other member and event is the inner grid's, passed through unchanged.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"
#include "tessel/InputProcess.h"

#include <QWidget>

namespace tessel {

class ab;
class outvar;

class abo : public QWidget {
    Q_OBJECT
public:
    explicit abo(QWidget* parent = nullptr);

    void appendblank();
    void appendrec(const ostrel::Variant& li);
    // The caption takes the focus first when the cursor is in the grid; then the grid is emptied.
    void zap();
    void trim();
    void CloseMe();
    void finish();
    void MoveFirst();
    void MoveNext();
    void DoInterrupt();
    bool isEOF() const;
    int Recno() const;
    void setRecno(int r);
    ostrel::Variant Cell(int rec, int fie) const;
    void setCell(int rec, int fie, const ostrel::Variant& v);
    void setOCell(int rec, int fie, const ostrel::Variant& v);
    void setPCell(int rec, int fie, const ostrel::Variant& v);
    ostrel::Variant Fields(int fie) const;
    void setFields(int fie, const ostrel::Variant& v);
    void setOFields(int fie, const ostrel::Variant& v);
    void setPFields(int fie, const ostrel::Variant& v);
    void setPassby(int fie, bool pass);
    ostrel::Variant Record() const;
    ostrel::TableRef value() const;
    void setValue(const ostrel::TableRef& t);
    int RecCount() const;
    // The caption cell's value.
    void setCaption(const ostrel::Variant& text);
    void setFontsize(float size);
    const ostrel::Variant& stru() const;
    void setStru(const ostrel::Variant& structure);
    ostrel::Variant titles(int i) const;
    void setTitles(int i, const ostrel::Variant& title);
    int maxrow() const;
    void setMaxrow(int rows);
    int NOF() const;
    void setNOF(int fields);
    void setUpExit(bool on);
    void setDoubleEnterExit(bool on);
    void setLineLock(bool on);
    void setLocked(bool locked);
    bool RecordExists(int rec) const;
    ostrel::Variant NotStopNextkey() const;

    ab* ab1() const { return grid_; }
    outvar* outvar1() const { return caption_; }
    // Set while the cursor is in the grid: from its CellGotFocus until the caption gets the focus.
    bool inGrid() const { return inGrid_; }

signals:
    void CellGotFocus(int& rec, int& fie, int& lastkey, int& nextkey);
    void CellInputProcess(int& rec, int& fie, tessel::InputProcessRef& ProcessObj);
    void CellAfterInputProcess(int& rec, int& fie, tessel::InputProcessRef& ProcessObj);
    void CellModified(int& rec, int& fie, ostrel::Variant& oldvalue, bool& internaledit);
    void LineDeleted(int& rec, ostrel::Variant& vRecord);
    void Modified();
    void keycommand(int& key);
    void Interrupt(int& rec);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void layOut();
    void onGridExit(int key);
    void onCaptionKey(int key);
    // Gives the grid the focus and types `code` into the cell it lands on.
    void typeIntoGrid(int code);

    ab* grid_ = nullptr;
    outvar* caption_ = nullptr;
    bool inGrid_ = false;
};

}  // namespace tessel
