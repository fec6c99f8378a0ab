#include "tavrin/panCommonDialog.h"

#include "ostrel/fncCmnDlg.h"

#include <QFileInfo>

namespace tavrin {

namespace {

// The folder of the last file saved, for the run: the next save dialog opens there.
QString& lastFolder() {
    static QString folder;
    return folder;
}

bool saveDialog(QString& FileName, QString filter, QString ext) {
    QString name = FileName, dir = lastFolder().isEmpty() ? ostrel::fncCmnDlg::DesktopFolder() : lastFolder();
    if (!ostrel::fncCmnDlg().DlgFileSave(name, dir, filter, ext)) return false;
    FileName = name;
    lastFolder() = QFileInfo(name).absolutePath();
    return true;
}

}  // namespace

bool panCommonDialog::CsvFileSave(QString& FileName) const {
    return saveDialog(FileName, QStringLiteral("CSV형식파일(*.csv)|*.csv"), QStringLiteral("csv"));
}

bool panCommonDialog::PdfFileSave(QString& FileName) const {
    return saveDialog(FileName, QStringLiteral("PDF 파일(*.pdf)|*.pdf"), QStringLiteral("pdf"));
}

}  // namespace tavrin
