#pragma once
// The panels that ask for codes besides dates: partners, accounts, groups, warehouses (each cell
// backed by a new lookup of its master table) and a line spacing.
#include "keplin/panBase.h"

namespace keplin {

// The two columns of the code panels (controls: the inputs in order, then button1, button2).
// Three inputs: invar1, invar3, button1 | invar2, button2.
PanelLayout threeInputColumns();
// Four: invar1, invar3, button1 | invar2, invar4, button2.
PanelLayout fourInputColumns();
// Five (invar1, invar2, invar3, invar5, invar6): invar1, invar3, invar5, button1 | invar2, invar6, button2.
PanelLayout fiveInputColumns();

// "기간과 거래처 입력"
class panIn2dsg : public panBase {
    Q_OBJECT
public:
    explicit panIn2dsg(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
    QString sGrc() const { return textOf(2); }
    void setsGrc(const QString& s) { setCellValue(2, s); }
};

// "기간과 거래처,줄띄우기"
class panIn2dsgl : public panBase {
    Q_OBJECT
public:
    explicit panIn2dsgl(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
    QString sGrc() const { return textOf(2); }
    void setsGrc(const QString& s) { setCellValue(2, s); }
    ostrel::Variant iLine() const;
    void setiLine(const ostrel::Variant& v) { setCellValue(3, v); }
};

// "기간과 거래처,그룹"
class panIn2dsgr : public panBase {
    Q_OBJECT
public:
    explicit panIn2dsgr(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
    QString sGrc() const { return textOf(2); }
    void setsGrc(const QString& s) { setCellValue(2, s); }
    QString sGroup() const { return textOf(3); }
    void setsGroup(const QString& s) { setCellValue(3, s); }
};

// "기간과 계정 입력"
class panIn2dsj : public panBase {
    Q_OBJECT
public:
    explicit panIn2dsj(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
    QString sGj() const { return textOf(2); }
    void setsGj(const QString& s) { setCellValue(2, s); }
};

// "기간, 계정, 거래처 입력"
class panIn2dsjg : public panBase {
    Q_OBJECT
public:
    explicit panIn2dsjg(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
    QString sGj() const { return textOf(2); }
    void setsGj(const QString& s) { setCellValue(2, s); }
    QString sGrc() const { return textOf(3); }
    void setsGrc(const QString& s) { setCellValue(3, s); }
};

// "기간과 계정,그룹"
class panIn2dsjr : public panBase {
    Q_OBJECT
public:
    explicit panIn2dsjr(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
    QString sGj() const { return textOf(2); }
    void setsGj(const QString& s) { setCellValue(2, s); }
    QString sGroup() const { return textOf(3); }
    void setsGroup(const QString& s) { setCellValue(3, s); }
};

// "기간과 계정,거래처,그룹"
class panIn2dsjgr : public panBase {
    Q_OBJECT
public:
    explicit panIn2dsjgr(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
    QString sGj() const { return textOf(2); }
    void setsGj(const QString& s) { setCellValue(2, s); }
    QString sGrc() const { return textOf(3); }
    void setsGrc(const QString& s) { setCellValue(3, s); }
    QString sGroup() const { return textOf(4); }
    void setsGroup(const QString& s) { setCellValue(4, s); }
};

// "기간과 그룹 입력"
class panIn2dsr : public panBase {
    Q_OBJECT
public:
    explicit panIn2dsr(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
    QString sGroup() const { return textOf(2); }
    void setsGroup(const QString& s) { setCellValue(2, s); }
};

// "기간과 창고 입력"
class panIn2dss : public panBase {
    Q_OBJECT
public:
    explicit panIn2dss(QWidget* parent = nullptr);
    ostrel::Date dDate1() const { return dateOf(0); }
    void setdDate1(ostrel::Date d) { setCellValue(0, d); }
    ostrel::Date dDate2() const { return dateOf(1); }
    void setdDate2(ostrel::Date d) { setCellValue(1, d); }
    QString sCg() const { return textOf(2); }
    void setsCg(const QString& s) { setCellValue(2, s); }
};

// "거래처 입력"
class panIng : public panBase {
    Q_OBJECT
public:
    explicit panIng(QWidget* parent = nullptr);
    QString sGrc() const { return textOf(0); }
    void setsGrc(const QString& s) { setCellValue(0, s); }
};

// "날짜와 거래처 입력"
class panIndg : public panBase {
    Q_OBJECT
public:
    explicit panIndg(QWidget* parent = nullptr);
    ostrel::Date dDate() const { return dateOf(0); }
    void setdDate(ostrel::Date d) { setCellValue(0, d); }
    QString sGrc() const { return textOf(1); }
    void setsGrc(const QString& s) { setCellValue(1, s); }
};

// "날짜와 그룹 입력"
class panIndr : public panBase {
    Q_OBJECT
public:
    explicit panIndr(QWidget* parent = nullptr);
    ostrel::Date dDate() const { return dateOf(0); }
    void setdDate(ostrel::Date d) { setCellValue(0, d); }
    QString sGroup() const { return textOf(1); }
    void setsGroup(const QString& s) { setCellValue(1, s); }
};

// "날짜와 창고명 입력"
class panInds : public panBase {
    Q_OBJECT
public:
    explicit panInds(QWidget* parent = nullptr);
    ostrel::Date dDate() const { return dateOf(0); }
    void setdDate(ostrel::Date d) { setCellValue(0, d); }
    QString sCg() const { return textOf(1); }
    void setsCg(const QString& s) { setCellValue(1, s); }
};

}  // namespace keplin
