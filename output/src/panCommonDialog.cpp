#include "tavrin/panCommonDialog.h"

#include "ostrel/fncCmnDlg.h"

namespace tavrin {

bool panCommonDialog::CsvFileSave(QString& FileName) const {
    QString name = FileName, dir = ostrel::fncCmnDlg::DesktopFolder(),
            filter = QStringLiteral("CSV형식파일(*.csv)|*.csv"), ext = QStringLiteral("csv");
    if (!ostrel::fncCmnDlg().DlgFileSave(name, dir, filter, ext)) return false;
    FileName = name;
    return true;
}

}  // namespace tavrin
