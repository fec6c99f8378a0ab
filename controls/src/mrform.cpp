#include "tessel/mrform.h"

namespace tessel {

mrform::mrform(QWidget* parent)
    : SheetList(SheetListKind::Sheets,
                {{SheetCommand::Last, QStringLiteral("맨뒤 END")},
                 {SheetCommand::Copy, QStringLiteral("복제 F5")},
                 {SheetCommand::Edit, QStringLiteral("수정 ENTER")},
                 {SheetCommand::New, QStringLiteral("새전표 F7")},
                 {SheetCommand::Delete, QStringLiteral("삭제 F8")}},
                parent) {}

void mrform::runOwn(SheetCommand c) {
    // The new-sheet line has no sheet to copy.
    if (c != SheetCommand::Copy || isEOF()) return;
    QString shno = Shno();
    emit CopySheet(shno);
}

}  // namespace tessel
