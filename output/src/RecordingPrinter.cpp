#include "tavrin/RecordingPrinter.h"

#include "ostrel/RuntimeError.h"

#include <algorithm>

namespace tavrin {

void RecordingPrinter::record(Call c) {
    c.fontName = fontName_;
    c.fontSize = fontSize_;
    c.drawWidth = drawWidth_;
    if (c.op != Op::Orientation) c.orientation = orientation_;
    c.page = page_;
    calls_.append(std::move(c));
}

void RecordingPrinter::setOrientation(int orientation) {
    orientation_ = orientation;
    Call c{Op::Orientation};
    c.orientation = orientation;
    record(c);
}

void RecordingPrinter::Rectangle(double x1, double y1, double x2, double y2) {
    Call c{Op::Rectangle};
    c.x = x1, c.y = y1, c.x2 = x2, c.y2 = y2;
    record(c);
    pageUsed_ = true;
}

void RecordingPrinter::Print(const QString& text) {
    if (failAt_ == 0) {
        failAt_ = -1;
        throw ostrel::RuntimeError(ostrel::err::Printer, QStringLiteral("Printer error"));
    }
    if (failAt_ > 0) --failAt_;
    Call c{Op::Text};
    c.x = x_, c.y = y_;
    c.text = text;
    record(c);
    pageUsed_ = true;
    x_ = 0;
    y_ += fontSize_ * 20;
}

void RecordingPrinter::NewPage() {
    record(Call{Op::NewPage});
    if (pageUsed_) ++page_;
    pageUsed_ = false;
}

void RecordingPrinter::EndDoc() { record(Call{Op::EndDoc}); }
void RecordingPrinter::KillDoc() { record(Call{Op::KillDoc}); }

QList<RecordingPrinter::Call> RecordingPrinter::texts() const {
    QList<Call> out;
    for (const Call& c : calls_)
        if (c.op == Op::Text) out.append(c);
    return out;
}

QList<RecordingPrinter::Call> RecordingPrinter::textsOnPage(int page) const {
    QList<Call> out;
    for (const Call& c : calls_)
        if (c.op == Op::Text && c.page == page) out.append(c);
    return out;
}

int RecordingPrinter::pageCount() const {
    int pages = 0;
    for (const Call& c : calls_)
        if (c.op == Op::Text || c.op == Op::Rectangle) pages = std::max(pages, c.page + 1);
    return pages;
}

void RecordingPrinter::clear() {
    calls_.clear();
    page_ = 0;
    pageUsed_ = false;
}

}  // namespace tavrin
