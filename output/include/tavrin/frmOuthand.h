#pragma once
// The report window: a fixed grid of output cells over a table, paged with the keyboard and the
// wheel, with CSV export (F6), print (F9) and quick print (Alt+P), and an idle-time record pass.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"
#include "tavrin/PrintObject.h"
#include "tessel/IdlePass.h"

#include <QWidget>
#include <vector>

class QLineEdit;
class QPushButton;
class QTimer;

namespace tessel {
class MouseHelper;
class outvar;
}  // namespace tessel

namespace tavrin {

class frmOuthand : public QWidget {
    Q_OBJECT
public:
    explicit frmOuthand(QWidget* parent = nullptr);
    ~frmOuthand() override;

    // Setting any of these loads the window first (font size 12, 20 rows).
    void setFontsize(int points);
    void setStru(const ostrel::Variant& stru);  // builds the grid; error 6 when it cannot be indexed
    void setSubject(const QString& subject);
    void setDescr(const ostrel::Variant& descr);
    void setEtc(const QString& etc);
    void setValue(const ostrel::TableRef& table);
    void setPrintobj(PrintObjectRef obj);
    void showWindow();
    // These only store: a row count given before the window is loaded is replaced by 20.
    void setMaxrow(int rows) { maxrow_ = rows; }
    void setDivideby5(bool on) { divideby5_ = on; }
    void setLandscape(bool on) { landscape_ = on; }
    void setInterruptobj(InterruptObjectRef obj) { interrupt_ = std::move(obj); }

    // Restarts the background pass at the first record.
    void DoInterrupt();

    const ostrel::TableRef& value() const { return table_; }
    int maxrow() const { return maxrow_; }
    int fontsize() const { return fontSize_; }
    bool isLoaded() const { return loaded_; }
    bool landscape() const { return landscape_; }

    // The state and controls, for the host and for tests.
    int currentRecord() const { return cur_; }
    int topRecord() const { return top_; }
    int markedRow() const { return marked_; }
    int columnCount() const { return count_; }
    int pendingKey() const { return pendingKey_; }
    int backgroundCounter() const { return pass_.next(); }
    bool backgroundUnfinished() const { return pass_.running(); }
    // The clock of the idle wait before the background pass, for tests.
    void setIdleClock(tessel::IdlePass::Clock clock) { pass_.setClock(std::move(clock)); }
    tessel::outvar* outvar1(int i) const { return heads_.at(size_t(i)); }
    tessel::outvar* outvar2(int k) const { return cells_.at(size_t(k)); }
    int outvar1Count() const { return int(heads_.size()); }
    int outvar2Count() const { return int(cells_.size()); }
    QPushButton* cmdF6() const { return cmdF6_; }
    QPushButton* cmdF9() const { return cmdF9_; }
    QPushButton* cmdAltP() const { return cmdAltP_; }
    QLineEdit* Text1() const { return text1_; }
    QLineEdit* Text2() const { return text2_; }

    // The one key handler of every cell (key command codes).
    void keycommand(int key);
    // A wheel turn: the signed delta, 120 per notch.
    void MouseWheel(int delta);
    void csvExport();
    void print();
    void quickPrint();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void load();
    void clearGrid();
    void refresh();
    void showRow(int r);
    void markRow(int r);
    void paintRow(int r, long colour);
    void clickCell(int k);
    void tick();
    void schedule();
    void navigate(int key);
    int records() const { return table_ ? table_->RecCount() : 0; }
    void printWithEngine();

    bool loaded_ = false;
    int maxrow_ = 20;
    int fontSize_ = 12;
    bool divideby5_ = false, landscape_ = false;
    InterruptObjectRef interrupt_;
    PrintObjectRef printobj_;
    ostrel::TableRef table_;
    ostrel::Variant stru_;
    int count_ = 0;
    QString subject_, etc_;
    ostrel::Variant descr_;

    // Record numbers are 32-bit: reports of more than 32767 records page like any other.
    int cur_ = 0, top_ = 0, marked_ = -1;
    int pendingKey_ = 0;
    tessel::IdlePass pass_;
    bool bgActive_ = true;  // off while a wheel turn or the CSV export runs

    std::vector<tessel::outvar*> heads_, cells_;
    QPushButton *cmdF6_ = nullptr, *cmdF9_ = nullptr, *cmdAltP_ = nullptr;
    QLineEdit *text1_ = nullptr, *text2_ = nullptr;
    tessel::MouseHelper* mouseHelper_ = nullptr;
    QTimer* timer_ = nullptr;
    int gridTop_ = 0;
};

}  // namespace tavrin
