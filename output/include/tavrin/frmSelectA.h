#pragma once
// The selection window: an editable grid over a table with OK and Cancel.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QDialog>

class QPushButton;

namespace tessel {
class ab;
class MouseHelper;
}  // namespace tessel

namespace tavrin {

class frmSelectA : public QDialog {
    Q_OBJECT
public:
    explicit frmSelectA(QWidget* parent = nullptr);

    float fontsize() const { return fontSize_; }
    void setFontsize(float points) { fontSize_ = points; }
    // Lays the grid out for the structure, holding at least `fields` fields per record, and
    // sizes the window around it.
    void setStructure(const ostrel::Variant& stru, int fields);
    bool result() const { return flag_; }
    void clearResult() { flag_ = false; }

    tessel::ab* ab1() const { return ab1_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    void confirm();
    void cancel();

protected:
    void reject() override;  // Esc and the close box
    void showEvent(QShowEvent* e) override;

private:
    void fitOuterSize();

    tessel::ab* ab1_ = nullptr;
    QPushButton *cmdOK_ = nullptr, *cmdCancel_ = nullptr;
    tessel::MouseHelper* mouseHelper_ = nullptr;
    QSize outer_;
    float fontSize_ = 12;
    bool flag_ = false;
};

}  // namespace tavrin
