#pragma once
// mrform: the sheet list form for sheets (vouchers), with copying (F5).
#include "tessel/SheetList.h"

namespace tessel {

class mrform : public SheetList {
    Q_OBJECT
public:
    explicit mrform(QWidget* parent = nullptr);

    // Uses `X` as the sheet table (shared, not copied) and indexes it. Error 5 for no table.
    void setvalue(const ostrel::TableRef& X) { setSheetTable(X); }
    button* cmdCopySheet() const { return buttonFor(SheetCommand::Copy); }

signals:
    void CopySheet(QString& sShno);

protected:
    void runOwn(SheetCommand c) override;
};

}  // namespace tessel
