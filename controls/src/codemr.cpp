#include "tessel/codemr.h"

namespace tessel {

codemr::codemr(QWidget* parent)
    : SheetList(SheetListKind::Codes,
                {{SheetCommand::Last, QStringLiteral("맨뒤 END")},
                 {SheetCommand::Edit, QStringLiteral("수정 ENTER")},
                 {SheetCommand::New, QStringLiteral("새코드 F7")},
                 {SheetCommand::Delete, QStringLiteral("삭제 F8")},
                 {SheetCommand::Csv, QStringLiteral("CSV내보내기 F6")},
                 {SheetCommand::Load, QStringLiteral("불러 오기")}},
                parent) {}

void codemr::runOwn(SheetCommand c) {
    if (c == SheetCommand::Csv)
        emit CsvSheets();
    else if (c == SheetCommand::Load)
        emit LoadSheets();
}

void codemr::EditShno(const QString& sOldShno, const QString& sNewShno) {
    const int rec = sheets().rename(sOldShno, sNewShno);
    if (rec >= 0) select(rec);
}

}  // namespace tessel
