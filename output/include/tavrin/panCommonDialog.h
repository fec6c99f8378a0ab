#pragma once
#include <QString>

namespace tavrin {

class panCommonDialog {
public:
    // The save dialog for a CSV file, starting in the desktop folder. `FileName` is the suggested
    // name on entry and the chosen path on return; false (and `FileName` unchanged) on cancel.
    bool CsvFileSave(QString& FileName) const;
};

}  // namespace tavrin
