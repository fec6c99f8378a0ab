#pragma once
// The pick list window ("필드입력도우미"): a combo box of titles, "확인", "취소" and "다음검색 F3".
// Enter in the combo box confirms, Esc cancels, F3 searches on, a double click confirms.
#include "sembrin/NextSearch.h"

#include "ostrel/clsTable.h"

#include <QDialog>

class QComboBox;
class QPushButton;

namespace sembrin {

class frmCodeInput : public QDialog {
    Q_OBJECT
public:
    explicit frmCodeInput(QWidget* parent = nullptr);

    QComboBox* Combo1 = nullptr;
    QPushButton* Command1 = nullptr;  // 확인
    QPushButton* Command2 = nullptr;  // 취소
    QPushButton* Command3 = nullptr;  // 다음검색 F3

    // The value of each title, at the same position.
    ostrel::clsTable values;
    ostrel::Variant ReturnValue;
    bool modified = false;
    NextSearchRef NextYj;

    // Appends a title without disturbing the typed text or the selection.
    void addTitle(const QString& title);
    // -1 while the text is typed rather than chosen.
    int listIndex() const { return listIndex_; }
    void setListIndex(int i);

    void ok();
    void cancel();
    void nextSearch();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* e) override;

private:
    int listIndex_ = -1;
};

}  // namespace sembrin
