#include "corvane/clsExtractTags.h"

#include "TagScan.h"

namespace corvane {

void clsExtractTags::MoveFirst() {
    pos_ = 0;
    MoveNext();
}

void clsExtractTags::MoveNext() {
    QStringView content;
    qsizetype pos = pos_;
    if (detail::nextElement(text_, detail::openTag(tag_), detail::closeTag(tag_), pos, content)) {
        eof_ = false;
        value_ = content.toString();
        pos_ = pos;
    } else {
        eof_ = true;
    }
}

QString clsExtractTags::EOFText() const {
    return eof_ ? QStringLiteral("True") : QStringLiteral("False");
}

}  // namespace corvane
