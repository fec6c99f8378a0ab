#pragma once
// Staff work from the keyboard alone: Enter on a focused push button presses it, as Space does.
// Qt only does this for a dialog's default button, so the client installs this filter on the application.
#include <QObject>

namespace vendra {

class EnterPressesButtons : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};

}  // namespace vendra
