#include "keplin/PanelInputs.h"

#include "sorvic/Lookups.h"
#include "tessel/invar.h"

namespace keplin {

namespace {

void set(tessel::invar& cell, const char* type, int length, tessel::InputProcessRef lookup = {}) {
    cell.setValueType(QString::fromLatin1(type));
    cell.setLength(length);
    cell.setInputProcess(std::move(lookup));
}

}  // namespace

void setUpInput(tessel::invar& cell, InputKind kind) {
    // Each cell gets a lookup of its own, so nothing of one panel's search reaches another.
    QWidget* window = cell.window();
    switch (kind) {
    case InputKind::Date: set(cell, "d", 8); break;
    case InputKind::Name: set(cell, "c", 16); break;
    case InputKind::Partner: set(cell, "c", 16, std::make_shared<sorvic::yjGrc>(sorvic::codeInputPick(window))); break;
    case InputKind::Account: set(cell, "c", 16, std::make_shared<sorvic::yjGj>(sorvic::codeInputPick(window))); break;
    case InputKind::Group: set(cell, "c", 16, std::make_shared<sorvic::yjGr>(sorvic::codeInputPick(window))); break;
    case InputKind::Warehouse: set(cell, "c", 16, std::make_shared<sorvic::yjCg>(sorvic::codeInputPick(window))); break;
    case InputKind::LineSpacing: set(cell, "n", 5); break;
    }
}

}  // namespace keplin
