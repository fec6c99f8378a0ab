#include "tavrin/clsOuthand.h"

namespace tavrin {

clsOuthand::clsOuthand() : frm_(new frmOuthand) {}

clsOuthand::~clsOuthand() {
    // A window that was never shown has no one to close it.
    if (frm_ && !frm_->isVisible()) frm_->deleteLater();
}

frmOuthand* clsOuthand::window() {
    if (!frm_) frm_ = new frmOuthand;
    return frm_;
}

void clsOuthand::setStru(const ostrel::Variant& stru) { window()->setStru(stru); }
void clsOuthand::setFontsize(int points) { window()->setFontsize(points); }
void clsOuthand::setMaxrow(int rows) { window()->setMaxrow(rows); }
void clsOuthand::show() { window()->showWindow(); }
void clsOuthand::setValue(const ostrel::TableRef& table) { window()->setValue(table); }
void clsOuthand::setPrintobj(PrintObjectRef obj) { window()->setPrintobj(std::move(obj)); }
void clsOuthand::setDivideby5(bool on) { window()->setDivideby5(on); }
void clsOuthand::setSubject(const QString& subject) { window()->setSubject(subject); }
void clsOuthand::setDescr(const ostrel::Variant& descr) { window()->setDescr(descr); }
void clsOuthand::setEtc(const QString& etc) { window()->setEtc(etc); }
void clsOuthand::setLandscape(bool on) { window()->setLandscape(on); }
void clsOuthand::setInterruptobj(InterruptObjectRef obj) { window()->setInterruptobj(std::move(obj)); }
void clsOuthand::DoInterrupt() { window()->DoInterrupt(); }
ostrel::TableRef clsOuthand::value() { return window()->value(); }

}  // namespace tavrin
