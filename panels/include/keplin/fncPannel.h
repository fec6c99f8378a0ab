#pragma once
// The input panels: each method shows a fresh modal panel pre-filled from its arguments and, only
// when the user confirmed, writes the entered values back and returns true.
#include "ostrel/DateTime.h"

#include <QString>

class QWidget;

namespace keplin {

class fncPannel {
public:
    // Period: "첫날:" and "끝날:". The panel does not check that d1 <= d2.
    bool in2ds(ostrel::Date& d1, ostrel::Date& d2) const;
    // Old and new name: "옛이름:" and "새이름:".
    bool in2gs(QString& sGrc1, QString& sGrc2) const;
    // One date: "날짜:".
    bool ind(ostrel::Date& dDate) const;

    // Window the panels are centred on (none by default).
    void setParentWindow(QWidget* w) { parent_ = w; }

private:
    QWidget* parent_ = nullptr;
};

}  // namespace keplin
