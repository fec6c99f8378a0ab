#pragma once
// The cells and buttons lay themselves out from their font size and length; a layout that holds
// one gets exactly that size instead of squeezing or stretching it.
#include <QSize>
#include <QWidget>

namespace tessel {

class FixedSizeWidget : public QWidget {
public:
    explicit FixedSizeWidget(QWidget* parent = nullptr) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override { return laidOut_; }
    QSize minimumSizeHint() const override { return laidOut_; }

protected:
    void setLaidOutSize(QSize size) {
        laidOut_ = size;
        updateGeometry();
        resize(size);
    }

private:
    QSize laidOut_;
};

}  // namespace tessel
