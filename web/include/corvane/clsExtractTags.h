#pragma once
// Walks through all elements of one tag name in tag text, matching the name in exact case.
#include <QString>

namespace corvane {

class clsExtractTags {
public:
    // Setting the text or the tag does not reset the position.
    void setString1(const QString& s) { text_ = s; }
    void setTag(const QString& t) { tag_ = t; }

    // Starts again from the first character, then MoveNext.
    void MoveFirst();
    // The next element at or after the position: its content becomes `value`, or EOF becomes
    // true (value keeps its last content). An opening tag without a closing tag after it raises
    // error 5.
    void MoveNext();

    const QString& value() const { return value_; }
    bool isEOF() const { return eof_; }
    // The flag as its standard text, "True" or "False" (False before the first MoveFirst).
    QString EOFText() const;

private:
    QString text_;
    QString tag_;
    QString value_;
    bool eof_ = false;
    qsizetype pos_ = 0;  // 0-based index where the next search starts
};

}  // namespace corvane
