#include "corvane/clsGetLineFromText.h"

namespace corvane {

QString clsGetLineFromText::Line() {
    if (pos_ >= text_.size()) {
        pos_ = text_.size() + 1;
        return {};
    }
    qsizetype end = text_.indexOf(QLatin1String("\r\n"), pos_);
    QString line;
    if (end < 0) {
        line = text_.mid(pos_);
        pos_ = text_.size() + 1;
    } else {
        line = text_.mid(pos_, end - pos_);
        pos_ = end + 2;
    }
    return line;
}

}  // namespace corvane
