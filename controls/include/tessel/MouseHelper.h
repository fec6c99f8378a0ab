#pragma once
// The mouse-wheel source: reports the wheel turns made over one window, with the signed delta
// (120 per notch; positive away from the user), and can pass them to the window's grid.
#include <QObject>
#include <QPointer>

class QWidget;

namespace tessel {

class ab;

class MouseHelper : public QObject {
    Q_OBJECT
public:
    // Watches the wheel over `window` and all its children; lives as long as the window.
    explicit MouseHelper(QWidget* window);
    ~MouseHelper() override;

    // Every turn then also reaches grid->MouseWheel(delta). nullptr detaches.
    void attach(ab* grid);

signals:
    // shift: 1 Shift, 2 Ctrl, 4 Alt held; Delta: the signed wheel delta.
    void MouseWheel(int& shift, int& Delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    QPointer<ab> grid_;
};

}  // namespace tessel
