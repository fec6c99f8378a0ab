#pragma once
// Hands out the lines of a text one by one; only CR LF ends a line.
#include <QString>

namespace corvane {

class clsGetLineFromText {
public:
    const QString& Text() const { return text_; }
    void setText(const QString& t) { text_ = t; pos_ = 0; }
    bool isEOF() const { return pos_ >= text_.size(); }
    // The next line without its CR LF; at EOF the empty string.
    QString Line();

private:
    QString text_;
    qsizetype pos_ = 0;  // 0-based start of the next line
};

}  // namespace corvane
