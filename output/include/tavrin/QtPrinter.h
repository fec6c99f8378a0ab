#pragma once
// The printer over QPrinter and QPainter: a system printer (through CUPS) or a PDF file.
#include "tavrin/Printer.h"

#include <QFont>
#include <memory>

class QPainter;
class QPrinter;

namespace tavrin {

class QtPrinter : public Printer {
public:
    // The system's default printer; none when no printer is installed.
    static std::shared_ptr<QtPrinter> systemDefault();
    // A PDF file on A4 paper (written when the first page is drawn, complete at EndDoc).
    static std::shared_ptr<QtPrinter> pdf(const QString& fileName);
    // True when the system knows at least one printer.
    static bool printerInstalled();

    explicit QtPrinter(std::unique_ptr<QPrinter> printer);
    ~QtPrinter() override;

    QString FontName() const override { return fontName_; }
    void setFontName(const QString& name) override { fontName_ = name; }
    double FontSize() const override { return fontSize_; }
    void setFontSize(double points) override;
    int Orientation() const override { return orientation_; }
    void setOrientation(int orientation) override;
    double CurrentX() const override { return x_; }
    void setCurrentX(double x) override { x_ = x; }
    double CurrentY() const override { return y_; }
    void setCurrentY(double y) override { y_ = y; }
    int DrawWidth() const override { return drawWidth_; }
    void setDrawWidth(int width) override { drawWidth_ = width < 1 ? 1 : width; }

    void Rectangle(double x1, double y1, double x2, double y2) override;
    void Print(const QString& text) override;
    void NewPage() override;
    void EndDoc() override;
    void KillDoc() override;
    QString DeviceName() const override;

    // Pages emitted in the current or last document.
    int pagesPrinted() const { return pages_; }

private:
    void beginDrawing();  // starts the document or the pending page
    QFont font() const;
    double px(double twips) const { return twips * dotsPerTwip_; }

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    QString fontName_ = QStringLiteral("굴림체");
    double fontSize_ = 10;
    int orientation_ = 1;
    double x_ = 0, y_ = 0;
    int drawWidth_ = 1;
    double dotsPerTwip_ = 1;
    bool pageOpen_ = false;  // something was drawn on the current page
    bool breakPending_ = false;
    int pages_ = 0;
};

}  // namespace tavrin
