#pragma once
// The printer the print engine draws on. Positions and sizes are in twips (1/1440 inch), fonts
// in points, orientation 1 portrait and 2 landscape. A printer failure raises error 482.
#include <QString>
#include <memory>

namespace tavrin {

class Printer {
public:
    virtual ~Printer() = default;

    virtual QString FontName() const = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual double FontSize() const = 0;
    virtual void setFontSize(double points) = 0;
    // Takes effect from the next page that is started.
    virtual int Orientation() const = 0;
    virtual void setOrientation(int orientation) = 0;
    virtual double CurrentX() const = 0;
    virtual void setCurrentX(double x) = 0;
    virtual double CurrentY() const = 0;
    virtual void setCurrentY(double y) = 0;
    virtual int DrawWidth() const = 0;
    virtual void setDrawWidth(int width) = 0;

    // A black rectangle outline from (x1, y1) to (x2, y2).
    virtual void Rectangle(double x1, double y1, double x2, double y2) = 0;
    // The text with its top left corner at the current position; the position then moves to the
    // start of the next line.
    virtual void Print(const QString& text) = 0;
    // Ends the page. A page nothing was drawn on is never emitted, so a break after the last
    // page adds no blank sheet.
    virtual void NewPage() = 0;
    virtual void EndDoc() = 0;
    // Drops the document in progress (after a failure), so the next report starts clean.
    virtual void KillDoc() = 0;
    virtual QString DeviceName() const = 0;
};

using PrinterRef = std::shared_ptr<Printer>;

// The printer reports go to. While none is set, each report goes to the system's default
// printer; when no printer is installed the user is told so and asked for a PDF file instead.
void setCurrentPrinter(PrinterRef printer);
PrinterRef currentPrinter();

}  // namespace tavrin
