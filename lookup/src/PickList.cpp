#include "sorvic/PickList.h"

#include "sembrin/clsCodeInput.h"

#include <QPointer>
#include <QWidget>

namespace sorvic {

PickList codeInputPick(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [owner](const QString& text, const ostrel::clsTable& rows) {
        sembrin::clsCodeInput list(owner);
        list.setcombo1text(text);
        for (int i = 0; i < rows.RecCount(); ++i)
            list.additem(rows.cellRef(i, 0).toString(), rows.cellRef(i, 1).toString());
        list.Show();
        return list.modified() ? ostrel::Variant(list.ReturnValue()) : ostrel::Variant::null();
    };
}

}  // namespace sorvic
