#pragma once
// The file save and file open dialogs.
#include <QString>

namespace ostrel {

class fncCmnDlg {
public:
    // `Filter` is "description|pattern|description|pattern..." (patterns separated by ";").
    // An empty `InitDir` becomes the user's desktop folder, in the caller's variable too.
    // True with the chosen full path in `FileName`; false on cancel, `FileName` unchanged.
    bool DlgFileSave(QString& FileName, QString& InitDir, QString& Filter, QString& DefaultExt) const;
    bool DlgFileOpen(QString& FileName, QString& InitDir, QString& Filter, QString& DefaultExt) const;

    // HOMEDRIVE + HOMEPATH + "\바탕 화면" when those are set, else the platform's desktop folder.
    static QString DesktopFolder();
    // The dialog's own filter text from the "description|pattern" form.
    static QString QtFilter(const QString& filter);
};

}  // namespace ostrel
