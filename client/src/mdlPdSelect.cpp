#include "vendra/mdlPdSelect.h"

#include "vendra/Messages.h"
#include "vendra/ServerLink.h"
#include "vendra/Requests.h"
#include "vendra/frmMain.h"
#include "vendra/mdlLoad.h"

#include "corvane/ValueText.h"
#include "ostrel/RuntimeError.h"
#include "tavrin/fncSelectA.h"
#include "tessel/Stru.h"
#include "vendra/order/ProductKey.h"
#include "vendra/order/Protocol.h"

#include <QStringList>

namespace vendra::mdlPdSelect {

using ostrel::clsTable;
using ostrel::TableRef;
using ostrel::Variant;

Variant SelectionStru() {
    using tessel::fieldDef;
    return tessel::makeStru(std::vector<Variant>{
        fieldDef(QStringLiteral("b"), 4, 0, QStringLiteral("선택")),
        fieldDef(QStringLiteral("c"), 30, 0, QStringLiteral("품명"), QStringLiteral("Locked")),
        fieldDef(QStringLiteral("c"), 6, 0, QStringLiteral("단위"), QStringLiteral("NotStop")),
    });
}

bool ContainsKey(clsTable& table, const Variant& value) {
    if (table.NOF() < 1) return false;
    for (table.MoveFirst(); !table.isEOF(); table.MoveNext())
        if (table.Fields(0) == value) return true;
    return false;
}

TableRef BuildSelectionTable(const clsTable& unitPrices, clsTable& displayItems) {
    auto out = std::make_shared<clsTable>();
    out->setNOF(3);
    if (unitPrices.NOF() < 1) return out;
    for (int i = 0; i < unitPrices.RecCount(); ++i) {
        const Variant key = unitPrices.Cell(i, 0);
        const ProductName p = SplitProductKey(key.toString());
        out->AppendRec(Variant::array({Variant(ContainsKey(displayItems, key)), Variant(p.name), Variant(p.unit)}));
    }
    out->MoveFirst();
    return out;
}

namespace {
bool marked(const Variant& v) {
    if (v.isEmpty() || v.isNull()) return false;
    try {
        return v.toBool();
    } catch (const ostrel::RuntimeError&) {
        return false;  // a mark that is no Boolean is no mark
    }
}
}  // namespace

QString DisplayUpdateBody(const corvane::fncGetAndPost& g, const QString& ordererCI, const QString& receiverCI,
                          const clsTable& selection) {
    QStringList keys;
    if (selection.NOF() >= 3)
        for (int i = 0; i < selection.RecCount(); ++i)
            if (marked(selection.Cell(i, 0)))
                keys << JoinProductKey(selection.Cell(i, 1).toString(), selection.Cell(i, 2).toString());
    // RecCount goes as a number, not encoded.
    QStringList parts{g.ParaForm(field::OrdererCI, ordererCI), g.ParaForm(field::ReceiverCI, receiverCI),
                      QLatin1String(field::RecCount) + QLatin1Char('=') + QString::number(keys.size())};
    for (int i = 0; i < keys.size(); ++i) parts << g.IndexedParaForm(field::Product, i, keys[i]);
    return parts.join(QLatin1Char('&'));
}

SendOutcome SendOrderItems(ServerLink& server, const QString& ordererCI, const QString& receiverCI,
                           const clsTable& selection) {
    SendOutcome o;
    const Reply r = server.post(path::DisplayUpdate, DisplayUpdateBody(server.web(), ordererCI, receiverCI, selection));
    const QString problem = ReplyProblem(r, server.baseUrl());
    if (!problem.isEmpty()) {
        o.message = problem + QStringLiteral("\n발주 품목을 저장하지 못했습니다.");
        return o;
    }
    QString why;
    const QString unreadable = ReadReply([&] {
        // As the order send: a 2xx reply counts unless it says success 0.
        const Variant ok = server.xml().GetTag(r.text, u"success", corvane::valuetype::Boolean);
        o.confirmed = !ok.isBoolean() || ok.toBool();
        if (!o.confirmed) why = server.xml().GetTag(r.text, u"failmsg").toString();
    });
    if (!unreadable.isEmpty()) return SendOutcome{false, unreadable};
    if (!o.confirmed) o.message = why.isEmpty() ? QStringLiteral("주문 서버가 발주 품목을 저장하지 않았습니다.") : why;
    return o;
}

void SelectOrderItems(frmMain& main) {
    const LoadResult prices = mdlLoad::LoadUnitPrices(main.server(), main.ReceiverCI(), main.OrdererDgr());
    LoadResult display;
    if (prices.problem.isEmpty())
        display = mdlLoad::LoadDisplayItems(main.server(), main.ReceiverCI(), main.OrdererCI());
    QString problem = prices.problem.isEmpty() ? display.problem : prices.problem;
    TableRef selection;
    if (problem.isEmpty())
        problem = ReadReply([&] { selection = BuildSelectionTable(*prices.table, *display.table); });
    if (!problem.isEmpty()) {
        // An empty or unmarked list confirmed would wipe the stored display list.
        ostrel::showMessage(problem + QStringLiteral("\n발주 품목을 불러오지 못했습니다."), &main);
        return;
    }
    const tavrin::fncSelectA select;
    // After a failed save the same marks are offered again.
    while (select.selectb(QStringLiteral("발주품목선택"), selection, SelectionStru(), 12)) {
        const SendOutcome o = SendOrderItems(main.server(), main.OrdererCI(), main.ReceiverCI(), *selection);
        if (o.confirmed) {
            ostrel::showMessage(QStringLiteral("발주 품목을 저장했습니다."), &main);
            return;
        }
        ostrel::showMessage(o.message + QStringLiteral("\n선택한 내용을 다시 보여 드립니다."), &main);
    }
}

}  // namespace vendra::mdlPdSelect
