#include "ostrel/fncCmnDlg.h"

#include <QFileDialog>
#include <QStandardPaths>

namespace ostrel {

QString fncCmnDlg::DesktopFolder() {
    QString drive = qEnvironmentVariable("HOMEDRIVE");
    QString path = qEnvironmentVariable("HOMEPATH");
    if (!drive.isEmpty() || !path.isEmpty()) return drive + path + QStringLiteral("\\바탕 화면");
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString fncCmnDlg::QtFilter(const QString& filter) {
    if (filter.isEmpty()) return {};
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString description = parts[i];
        QString patterns = i + 1 < parts.size() ? parts[i + 1] : QStringLiteral("*");
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

namespace {
bool showDialog(bool save, QString& FileName, QString& InitDir, const QString& Filter, const QString& DefaultExt) {
    if (InitDir.isEmpty()) InitDir = fncCmnDlg::DesktopFolder();
    QFileDialog dialog(nullptr, QString(), InitDir, fncCmnDlg::QtFilter(Filter));
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // No test that the file exists, for opening either: the caller judges the name it gets.
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog asks nothing beyond the choice: no overwrite prompt, as callers expect.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!DefaultExt.isEmpty()) dialog.setDefaultSuffix(DefaultExt);
    if (!FileName.isEmpty()) dialog.selectFile(FileName);
    if (dialog.exec() != QDialog::Accepted) return false;
    QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) return false;
    FileName = chosen.first();
    return true;
}
}  // namespace

bool fncCmnDlg::DlgFileSave(QString& FileName, QString& InitDir, QString& Filter, QString& DefaultExt) const {
    return showDialog(true, FileName, InitDir, Filter, DefaultExt);
}

bool fncCmnDlg::DlgFileOpen(QString& FileName, QString& InitDir, QString& Filter, QString& DefaultExt) const {
    return showDialog(false, FileName, InitDir, Filter, DefaultExt);
}

}  // namespace ostrel
