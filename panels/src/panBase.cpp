#include "keplin/panBase.h"

#include "keplin/PanelInputs.h"

#include "tessel/Fonts.h"
#include "tessel/button.h"
#include "tessel/invar.h"

#include <QGridLayout>
#include <QLabel>
#include <QTimer>

namespace keplin {

panBase::panBase(const QString& objectName, const QString& title, std::vector<PanelInput> inputs,
                 PanelLayout layout, QWidget* parent)
    : QDialog(parent), layout_(std::move(layout)) {
    tessel::registerFontSubstitutions();
    setObjectName(objectName);
    setWindowTitle(title);
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(10);

    // Inputs two to a row: label and cell in the left column, then in the right one.
    for (size_t i = 0; i < inputs.size(); ++i) {
        auto* lbl = new QLabel(inputs[i].label, this);
        lbl->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        lbl->setFont(tessel::captionFont(11));
        auto* c = new tessel::invar(this);
        c->setObjectName(QStringLiteral("invar%1").arg(inputs[i].number > 0 ? inputs[i].number : int(i + 1)));
        setUpInput(*c, inputs[i].kind);
        const int row = inputs[i].row >= 0 ? inputs[i].row : int(i / 2);
        const int col = (inputs[i].column >= 0 ? inputs[i].column : int(i % 2)) * 2;
        grid->addWidget(lbl, row, col, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(c, row, col + 1, Qt::AlignLeft | Qt::AlignVCenter);
        labels_.push_back(lbl);
        cells_.push_back(c);
    }
    button1_ = new tessel::button(this);
    button1_->setObjectName(QStringLiteral("button1"));
    button1_->setLength(10);
    button1_->setValue(QStringLiteral("확  인"));
    button2_ = new tessel::button(this);
    button2_->setObjectName(QStringLiteral("button2"));
    button2_->setLength(10);
    button2_->setValue(QStringLiteral("취  소"));
    const int buttonRow = int((inputs.size() + 1) / 2);
    grid->addWidget(button1_, buttonRow, 1, Qt::AlignLeft);
    grid->addWidget(button2_, buttonRow, 3, Qt::AlignLeft);

    for (int i = 0; i < layout_.controls(); ++i) {
        QWidget* w = control(i);
        if (i > 0) setTabOrder(control(i - 1), w);
        if (auto* c = qobject_cast<tessel::invar*>(w))
            connect(c, &tessel::invar::keycommand, this, [this, i](int& key) { onKey(i, key); });
        else if (auto* b = qobject_cast<tessel::button*>(w))
            connect(b, &tessel::button::keycommand, this, [this, i](int& key) { onKey(i, key); });
    }
    setSizeGripEnabled(false);
}

QWidget* panBase::control(int i) const {
    if (i < int(cells_.size())) return cells_[size_t(i)];
    return i == layout_.button1() ? static_cast<QWidget*>(button1_) : static_cast<QWidget*>(button2_);
}

void panBase::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    QTimer::singleShot(0, this, [this] {
        if (!cells_.empty()) cells_.front()->setFocus(Qt::OtherFocusReason);
    });
}

void panBase::onKey(int from, int& key) {
    const PanelMove m = layout_.move(from, key);
    switch (m.action) {
    case PanelAction::Focus:
        control(m.target)->setFocus(Qt::TabFocusReason);
        break;
    case PanelAction::Confirm:
        flag = true;
        accept();
        break;
    case PanelAction::Cancel:
        flag = false;
        reject();
        break;
    case PanelAction::None:
        break;
    }
}

ostrel::Date panBase::dateOf(int i) const {
    const ostrel::Variant& v = cell(i)->value();
    if (v.isDate()) return v.toDate();
    if (v.isEmpty()) return ostrel::Date();
    try {
        return v.toDate();
    } catch (const std::exception&) {
        return ostrel::Date();
    }
}

QString panBase::textOf(int i) const {
    const ostrel::Variant& v = cell(i)->value();
    if (v.isEmpty() || v.isArray() || v.isObject()) return QString();
    return v.toString();
}

void panBase::setCellValue(int i, const ostrel::Variant& v) { cell(i)->setValue(v); }

panIn2ds::panIn2ds(QWidget* parent)
    : panBase(QStringLiteral("panIn2ds"), QStringLiteral("기간 입력"),
              {{QStringLiteral("첫날:"), InputKind::Date}, {QStringLiteral("끝날:"), InputKind::Date}},
              PanelLayout::twoColumns(), parent) {}

panInd::panInd(QWidget* parent)
    : panBase(QStringLiteral("panInd"), QStringLiteral("날짜입력"), {{QStringLiteral("날짜:"), InputKind::Date}},
              PanelLayout::singleInput(), parent) {}

panIn2gs::panIn2gs(QWidget* parent)
    : panBase(QStringLiteral("panIn2gs"), QStringLiteral("옛이름과 새이름"),
              {{QStringLiteral("옛이름:"), InputKind::Name}, {QStringLiteral("새이름:"), InputKind::Name}},
              PanelLayout::twoColumns(), parent) {}

}  // namespace keplin
