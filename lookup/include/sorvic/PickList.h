#pragma once
// How a lookup lets the user choose among candidates: the typed text and the rows (field 0 the
// value, field 1 its title) in; the chosen value out, or null when the user cancelled.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QString>
#include <functional>

class QWidget;

namespace sorvic {

using PickList = std::function<ostrel::Variant(const QString& text, const ostrel::clsTable& rows)>;

// The modal pick list of the settings library ("필드입력도우미").
PickList codeInputPick(QWidget* parent = nullptr);

}  // namespace sorvic
