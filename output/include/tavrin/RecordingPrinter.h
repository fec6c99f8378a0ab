#pragma once
// A printer that keeps every call instead of printing, for tests of the print engine and of
// anything that prints through it.
#include "tavrin/Printer.h"

#include <QList>
#include <QString>

namespace tavrin {

class RecordingPrinter : public Printer {
public:
    enum class Op { Text, Rectangle, NewPage, EndDoc, KillDoc, Orientation };
    struct Call {
        explicit Call(Op o = Op::Text) : op(o) {}
        Op op;
        double x = 0, y = 0, x2 = 0, y2 = 0;  // position (Text), corners (Rectangle)
        QString text;
        QString fontName;
        double fontSize = 0;
        int drawWidth = 0;
        int orientation = 0;  // at the call; the new value for Op::Orientation
        int page = 0;         // 0-based page the call was drawn on
    };

    QString FontName() const override { return fontName_; }
    void setFontName(const QString& name) override { fontName_ = name; }
    double FontSize() const override { return fontSize_; }
    void setFontSize(double points) override { fontSize_ = points; }
    int Orientation() const override { return orientation_; }
    void setOrientation(int orientation) override;
    double CurrentX() const override { return x_; }
    void setCurrentX(double x) override { x_ = x; }
    double CurrentY() const override { return y_; }
    void setCurrentY(double y) override { y_ = y; }
    int DrawWidth() const override { return drawWidth_; }
    void setDrawWidth(int width) override { drawWidth_ = width; }

    void Rectangle(double x1, double y1, double x2, double y2) override;
    void Print(const QString& text) override;
    void NewPage() override;
    void EndDoc() override;
    void KillDoc() override;
    QString DeviceName() const override { return deviceName_; }
    void setDeviceName(const QString& name) { deviceName_ = name; }

    // Makes the n-th Print from now on (0 = the next) fail with error 482.
    void failAtPrint(int n) { failAt_ = n; }

    const QList<Call>& calls() const { return calls_; }
    QList<Call> texts() const;                 // the Text calls only
    QList<Call> textsOnPage(int page) const;
    // Pages that something was drawn on, as a real printer would emit them.
    int pageCount() const;
    void clear();

private:
    void record(Call c);

    QList<Call> calls_;
    QString fontName_ = QStringLiteral("굴림");
    QString deviceName_ = QStringLiteral("Recording");
    double fontSize_ = 10;
    int orientation_ = 1;
    double x_ = 0, y_ = 0;
    int drawWidth_ = 1;
    int page_ = 0;
    bool pageUsed_ = false;
    int failAt_ = -1;
};

}  // namespace tavrin
