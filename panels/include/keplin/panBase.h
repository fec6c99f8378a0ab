#pragma once
// What every input panel shares: labelled input cells in a row of two columns, "확  인" and
// "취  소" buttons, the key navigation between them, and the confirmation flag.
#include "keplin/PanelLayout.h"

#include "ostrel/DateTime.h"
#include "ostrel/Variant.h"

#include <QDialog>
#include <QString>
#include <vector>

class QLabel;

namespace tessel {
class invar;
class button;
}  // namespace tessel

namespace keplin {

// Date and name cells, and the code cells a new lookup of their master table backs.
enum class InputKind { Date, Name, Partner, Account, Group, Warehouse, LineSpacing };

struct PanelInput {
    QString label;
    InputKind kind;
    int number = 0;             // the cell is invarN; 0 numbers it by its place in the list
    int row = -1, column = -1;  // its place; -1 puts the inputs two to a row in order
};

class panBase : public QDialog {
    Q_OBJECT
public:
    // True only after the user confirmed; closing the panel any other way leaves it false.
    bool flag = false;

    int inputCount() const { return int(cells_.size()); }
    tessel::invar* cell(int i) const { return cells_.at(size_t(i)); }
    QLabel* label(int i) const { return labels_.at(size_t(i)); }
    tessel::button* button1() const { return button1_; }
    tessel::button* button2() const { return button2_; }
    const PanelLayout& layout() const { return layout_; }

    // A cell's value as a date (anything that is no date reads as the zero date) or a string.
    ostrel::Date dateOf(int i) const;
    QString textOf(int i) const;
    void setCellValue(int i, const ostrel::Variant& v);

protected:
    panBase(const QString& objectName, const QString& title, std::vector<PanelInput> inputs, PanelLayout layout,
            QWidget* parent = nullptr);
    void showEvent(QShowEvent* e) override;

private:
    void onKey(int control, int& key);
    QWidget* control(int i) const;

    std::vector<tessel::invar*> cells_;
    std::vector<QLabel*> labels_;
    tessel::button* button1_ = nullptr;
    tessel::button* button2_ = nullptr;
    PanelLayout layout_;
};

// "기간 입력": first and last day.
class panIn2ds : public panBase {
    Q_OBJECT
public:
    explicit panIn2ds(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
};

// "날짜입력": one date.
class panInd : public panBase {
    Q_OBJECT
public:
    explicit panInd(QWidget* parent = nullptr);
    ostrel::Date dDate() const { return dateOf(0); }
    void setdDate(ostrel::Date d) { setCellValue(0, d); }
};

// "옛이름과 새이름": an old and a new name.
class panIn2gs : public panBase {
    Q_OBJECT
public:
    explicit panIn2gs(QWidget* parent = nullptr);
    QString sGrc1() const { return textOf(0); }
    void setsGrc1(const QString& s) { setCellValue(0, s); }
    QString sGrc2() const { return textOf(1); }
    void setsGrc2(const QString& s) { setCellValue(1, s); }
};

}  // namespace keplin
