#pragma once
// The front of the report window: creates one frmOuthand and forwards every property to it.
// Releasing the object leaves a shown window open; it closes on Esc or by the user.
#include "tavrin/frmOuthand.h"

#include <QPointer>

namespace tavrin {

class clsOuthand {
public:
    clsOuthand();
    ~clsOuthand();
    clsOuthand(const clsOuthand&) = delete;
    clsOuthand& operator=(const clsOuthand&) = delete;

    // Usual order: fontsize, maxrow, stru, then subject, descr, etc, value, printobj,
    // interruptobj, divideby5, landscape, and show last.
    void setStru(const ostrel::Variant& stru);
    void setFontsize(int points);
    void setMaxrow(int rows);
    void show();
    void setValue(const ostrel::TableRef& table);
    void setPrintobj(PrintObjectRef obj);
    void setDivideby5(bool on);
    void setSubject(const QString& subject);
    void setDescr(const ostrel::Variant& descr);
    void setEtc(const QString& etc);
    void setLandscape(bool on);
    void setInterruptobj(InterruptObjectRef obj);

    void DoInterrupt();
    ostrel::TableRef value();

    // The window (a new one when the last was closed).
    frmOuthand* window();

private:
    QPointer<frmOuthand> frm_;
};

}  // namespace tavrin
