#include "sembrin/clsCodeInput.h"

#include "sembrin/frmCodeInput.h"

#include <QComboBox>

namespace sembrin {

using ostrel::Variant;

clsCodeInput::clsCodeInput(QWidget* parent) : form_(std::make_unique<frmCodeInput>(parent)) {}
clsCodeInput::~clsCodeInput() = default;

void clsCodeInput::setCaption(const QString& caption) { form_->setWindowTitle(caption); }
QString clsCodeInput::combo1text() const { return form_->Combo1->currentText(); }
void clsCodeInput::setcombo1text(const QString& text) { form_->Combo1->setEditText(text); }

void clsCodeInput::additem(const QString& value, const QString& title) {
    form_->values.AppendRec(Variant::array({Variant(value)}));
    form_->addTitle(title);
    form_->ReturnValue = value;
}

int16_t clsCodeInput::ListCount() const { return int16_t(std::min(form_->Combo1->count(), 32767)); }
void clsCodeInput::setListIndex(int16_t i) { form_->setListIndex(i); }

QString clsCodeInput::ReturnValue() const {
    const Variant& v = form_->ReturnValue;
    return v.isNull() || v.isEmpty() ? QString() : v.toString();
}

void clsCodeInput::zap() {
    form_->Combo1->clear();
    form_->values.zap();
    form_->setListIndex(-1);
}

NextSearchRef clsCodeInput::NextYj() const { return form_->NextYj; }
void clsCodeInput::setNextYj(NextSearchRef next) { form_->NextYj = std::move(next); }

void clsCodeInput::Show() { form_->exec(); }
bool clsCodeInput::modified() const { return form_->modified; }

}  // namespace sembrin
