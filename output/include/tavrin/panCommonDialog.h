#pragma once
#include <QString>

namespace tavrin {

// The save dialogs for a CSV file and a PDF file. The first opens in the desktop folder, every
// later one in the folder of the last file saved in the run. `FileName` is the suggested name on
// entry and the chosen path on return; false (and `FileName` unchanged) on cancel.
class panCommonDialog {
public:
    bool CsvFileSave(QString& FileName) const;
    bool PdfFileSave(QString& FileName) const;
};

}  // namespace tavrin
