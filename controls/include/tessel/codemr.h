#pragma once
// codemr: the sheet list form for code cards, with CSV export (F6), loading and renumbering.
#include "tessel/SheetList.h"

namespace tessel {

class codemr : public SheetList {
    Q_OBJECT
public:
    explicit codemr(QWidget* parent = nullptr);

    // Uses `X` as the sheet table (shared, not copied) and indexes it. Error 5 for no table.
    void setValue(const ostrel::TableRef& X) { setSheetTable(X); }
    // Sheet sOldShno was renumbered sNewShno: its record and index entry follow, and it is selected.
    void EditShno(const QString& sOldShno, const QString& sNewShno);
    button* cmdCsv() const { return buttonFor(SheetCommand::Csv); }
    button* cmdLoad() const { return buttonFor(SheetCommand::Load); }

signals:
    void LoadSheets();
    void CsvSheets();

protected:
    void runOwn(SheetCommand c) override;
};

}  // namespace tessel
