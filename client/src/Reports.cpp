#include "vendra/Reports.h"

#include "vendra/Messages.h"
#include "vendra/ServerLink.h"
#include "vendra/OrderSheet.h"
#include "vendra/frmMain.h"
#include "vendra/mdlLoad.h"
#include "vendra/mdlOrder.h"

#include "vendra/order/ProductKey.h"
#include "vendra/order/Vat.h"
#include "ostrel/clsIndexedTable.h"
#include "ostrel/fncDate.h"
#include "tavrin/clsOuthand.h"
#include "tessel/Stru.h"

namespace vendra {

using ostrel::clsIndexedTable;
using ostrel::clsTable;
using ostrel::Currency;
using ostrel::Date;
using ostrel::TableRef;
using ostrel::Variant;

tavrin::frmOuthand* ShowReport(const Report& r) {
    tavrin::clsOuthand viewer;
    viewer.setStru(r.stru);
    viewer.setSubject(r.subject);
    viewer.setDescr(r.descr);
    viewer.setEtc(r.etc);
    viewer.setValue(r.table);
    viewer.show();
    return viewer.window();
}

// Dates stay date values: the viewer and the printout show them through DtoC, the CSV file in # form.
Variant PeriodDescr(Date from, Date to) {
    return Variant::array({Variant(QStringLiteral("기간:")), Variant(from), Variant(QStringLiteral("~")), Variant(to)});
}

namespace {

bool taxable(const Variant& flag) {
    const QString f = flag.isString() ? flag.toString() : QString();
    return f == QLatin1String("+") || f == QLatin1String("/");
}

// A delivery with fewer fields than expected reads the missing ones as empty.
Variant cell(const clsTable& t, int i, int j) { return j < t.NOF() ? t.Cell(i, j) : Variant(); }

Currency money(const clsTable& t, int i, int j) { return CellCurrency(cell(t, i, j)); }

// A detail's number as shown: blank when the delivery left it empty.
Variant shown(const clsTable& t, int i, int j) {
    const Variant v = cell(t, i, j);
    return v.isEmpty() || v.isNull() ? Variant() : Variant(CellCurrency(v));
}

void appendBlank(clsTable& t) { t.AppendBlank(); }

}  // namespace

namespace mdlNy {

Currency ExactIntQuotient(Currency a, Currency b) {
    // Both scaled alike, so the raw quotient is the exact one; Int rounds toward minus infinity.
    const int64_t n = a.raw(), d = b.raw();
    int64_t q = n / d;
    if ((n % d != 0) && ((n < 0) != (d < 0))) --q;
    return Currency::fromInt(q);
}

Variant PurchaseHistoryStru() {
    using tessel::fieldDef;
    return tessel::makeStru(std::vector<Variant>{
        fieldDef(QStringLiteral("d"), 8, 0, QStringLiteral("날짜")),
        fieldDef(QStringLiteral("c"), 30, 0, QStringLiteral("품명")),
        fieldDef(QStringLiteral("n"), 8, 1, QStringLiteral("수량")),
        fieldDef(QStringLiteral("c"), 6, 0, QStringLiteral("단위")),
        fieldDef(QStringLiteral("n"), 7, 0, QStringLiteral("단가")),
        fieldDef(QStringLiteral("c"), 1, 0, QStringLiteral("V")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("가액")),
        fieldDef(QStringLiteral("n"), 11, 0, QStringLiteral("세액")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("금액")),
    });
}

Variant TaxTotalsStru() {
    using tessel::fieldDef;
    return tessel::makeStru(std::vector<Variant>{
        fieldDef(QStringLiteral("d"), 8, 0, QStringLiteral("날짜")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("총합")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("면세합계")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("과세합계")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("과세가액")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("부가세액")),
    });
}

namespace {
struct Sums {
    Currency freeSupply, taxSupply, tax, taxAmount, all;
    Sums& operator+=(const Sums& o) {
        freeSupply = freeSupply + o.freeSupply;
        taxSupply = taxSupply + o.taxSupply;
        tax = tax + o.tax;
        taxAmount = taxAmount + o.taxAmount;
        all = all + o.all;
        return *this;
    }
};

void appendSummary(clsTable& t, const Sums& s) {
    auto row = [&t](const char* label, Variant f6, Variant f7, Variant f8) {
        t.AppendBlank();
        t.setFields(3, QString::fromUtf8(label));
        t.setFields(6, f6);
        t.setFields(7, f7);
        t.setFields(8, f8);
    };
    row("면세", s.freeSupply, Variant(), s.freeSupply);
    row("과세", s.taxSupply, s.tax, s.taxAmount);
    row("합계", s.freeSupply + s.taxSupply, Variant(), s.all);
}
}  // namespace

TableRef BuildPurchaseHistory(const clsTable& d) {
    auto out = std::make_shared<clsTable>();
    out->setNOF(9);
    clsIndexedTable products;
    products.setNOF(9);
    Sums day, period;
    const int n = d.RecCount();
    Variant current = n > 0 ? cell(d, 0, 0) : Variant();
    for (int i = 0; i < n; ++i) {
        const QString key = cell(d, i, 1).toString();
        const ProductName p = SplitProductKey(key);
        const Currency qty = money(d, i, 2), supply = money(d, i, 5), tax = money(d, i, 6), amount = money(d, i, 7);
        const Variant flag = cell(d, i, 4);
        out->AppendRec(Variant::array({cell(d, i, 0), Variant(p.name), shown(d, i, 2), Variant(p.unit), cell(d, i, 3),
                                       flag, shown(d, i, 5), shown(d, i, 6), shown(d, i, 7)}));
        if (taxable(flag)) {
            day.taxSupply = day.taxSupply + supply;
            day.tax = day.tax + tax;
            day.taxAmount = day.taxAmount + amount;
        } else {
            day.freeSupply = day.freeSupply + supply;
        }
        day.all = day.all + amount;

        std::vector<Variant> tpl(9);
        tpl[1] = key;
        tpl[6] = tpl[7] = tpl[8] = Variant(Currency());
        products.poke(Variant::array(std::move(tpl)), key);
        products.setFields(2, CellCurrency(products.Fields(2)) + qty);
        products.setFields(6, CellCurrency(products.Fields(6)) + supply);
        products.setFields(7, CellCurrency(products.Fields(7)) + tax);
        products.setFields(8, CellCurrency(products.Fields(8)) + amount);

        const bool last = i + 1 >= n;
        if (last || !(cell(d, i + 1, 0) == current)) {
            appendBlank(*out);
            appendSummary(*out, day);
            appendBlank(*out);
            appendBlank(*out);
            period += day;
            day = Sums{};
            if (!last) current = cell(d, i + 1, 0);
        }
    }
    appendSummary(*out, period);
    appendBlank(*out);
    appendBlank(*out);

    const TableRef rows = products.Table();
    for (int i = 0; i < rows->RecCount(); ++i) {
        const ProductName p = SplitProductKey(rows->Cell(i, 1).toString());
        rows->setCell(i, 1, p.name);
        rows->setCell(i, 3, p.unit);
        const Currency qty = CellCurrency(rows->Cell(i, 2));
        const Currency supply = CellCurrency(rows->Cell(i, 6));
        // Int(supply / quantity); no division for a quantity sum of 0.
        const Currency average = qty == Currency() ? Currency() : ExactIntQuotient(supply, qty);
        rows->setCell(i, 4, average);
        out->AppendBlank();
        for (int j = 0; j < 9; ++j) out->setFields(j, rows->Cell(i, j));
    }
    out->MoveFirst();
    return out;
}

TableRef BuildTaxTotals(const clsTable& d) {
    const ostrel::fncDate fd;
    clsIndexedTable dates;
    dates.setNOF(6);
    for (int i = 0; i < d.RecCount(); ++i) {
        const Variant date = cell(d, i, 0);
        const Date day = date.isEmpty() ? Date() : date.toDate();
        dates.poke(Variant::array({Variant(day), Variant(), Variant(), Variant(), Variant(), Variant()}), fd.DtoL(day));
        const Currency amount = money(d, i, 7);
        auto add = [&dates](int j, Currency v) { dates.setFields(j, CellCurrency(dates.Fields(j)) + v); };
        add(1, amount);
        if (taxable(cell(d, i, 4))) {
            add(3, amount);
            add(4, money(d, i, 5));
            add(5, money(d, i, 6));
        } else {
            add(2, amount);
        }
    }
    const TableRef out = dates.Table();
    Currency s[6];
    for (int i = 0; i < out->RecCount(); ++i)
        for (int j = 1; j <= 5; ++j) s[j] = s[j] + CellCurrency(out->Cell(i, j));
    const Currency c = SupplyFromGross(s[3]);
    const Currency t = s[3] - c;
    out->AppendBlank();
    out->AppendRec(Variant::array({Variant(), Variant(), Variant(), Variant(), s[4], s[5]}));
    out->AppendRec(Variant::array({Variant(), Variant(), Variant(), Variant(), c - s[4], t - s[5]}));
    out->AppendRec(Variant::array({Variant(), s[1], s[2], s[3], c, t}));
    out->MoveFirst();
    return out;
}

namespace {
// Period panel, deliveries, then the report; a list that could not be loaded still shows the
// (empty) report, with the reason in its extra line.
tavrin::frmOuthand* showDeliveriesReport(frmMain& main, const QString& subject, Variant stru,
                                         TableRef (*build)(const clsTable&)) {
    Date from, to;
    if (!main.pannel().in2ds(from, to)) return nullptr;
    Report r;
    r.stru = std::move(stru);
    r.subject = subject;
    r.descr = PeriodDescr(from, to);
    const LoadResult l = mdlLoad::LoadDeliveries(main.server(), from, to, main.ReceiverCI(), main.OrdererCI());
    QString problem = l.problem;
    // A delivery the report cannot use (a date that is none, sums beyond the currency) is unreadable too.
    if (problem.isEmpty()) problem = ReadReply([&] { r.table = build(*l.table); });
    if (!problem.isEmpty()) {
        r.table = build(clsTable());
        r.etc = problem + QStringLiteral(" 매입 내역을 불러오지 못했습니다.");
    }
    return ShowReport(r);
}
}  // namespace

tavrin::frmOuthand* ShowPurchaseHistory(frmMain& main) {
    return showDeliveriesReport(main, QStringLiteral("구매내역"), PurchaseHistoryStru(), &BuildPurchaseHistory);
}

tavrin::frmOuthand* ShowTaxTotalsByDate(frmMain& main) {
    return showDeliveriesReport(main, QStringLiteral("세액의 날짜별 합계"), TaxTotalsStru(), &BuildTaxTotals);
}

}  // namespace mdlNy

namespace mdlOrder {

Variant OrderCheckStru() {
    using tessel::fieldDef;
    return tessel::makeStru(std::vector<Variant>{
        fieldDef(QStringLiteral("c"), 30, 0, QStringLiteral("품목")),
        fieldDef(QStringLiteral("n"), 9, 1, QStringLiteral("수량")),
        fieldDef(QStringLiteral("c"), 6, 0, QStringLiteral("단위")),
        fieldDef(QStringLiteral("n"), 7, 0, QStringLiteral("단가")),
        fieldDef(QStringLiteral("c"), 1, 0, QStringLiteral("V")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("가액")),
        fieldDef(QStringLiteral("n"), 11, 0, QStringLiteral("세액")),
        fieldDef(QStringLiteral("n"), 13, 0, QStringLiteral("금액")),
        fieldDef(QStringLiteral("c"), 16, 0, QStringLiteral("비고")),
    });
}

Report BuildOrderCheck(const OrdersLoad& stored, Date deliverDate, const QString& ordererCI,
                       const QString& receiverCI) {
    Report r;
    r.stru = OrderCheckStru();
    r.subject = QStringLiteral("발주내역");
    std::vector<Variant> descr{Variant(QStringLiteral("날짜:")), Variant(deliverDate), Variant(QStringLiteral("발주처:")),
                               Variant(ordererCI),           Variant(QStringLiteral("수주처:")), Variant(receiverCI)};
    // An order that could not be loaded has no known status.
    if (stored.problem.isEmpty())
        descr.emplace_back(stored.received ? QStringLiteral("수주완료") : QStringLiteral("미수주"));
    r.descr = Variant::array(std::move(descr));
    auto t = std::make_shared<clsTable>();
    t->setNOF(9);
    Currency gg, gv, gt;
    const clsTable& s = *stored.table;
    for (int i = 0; i < s.RecCount(); ++i) {
        const Variant key = cell(s, i, 0);
        if (key.isEmpty() || key.toString().isEmpty()) {
            r.etc = cell(s, i, 7).toString();
            continue;
        }
        const ProductName p = SplitProductKey(key.toString());
        t->AppendRec(Variant::array({Variant(p.name), cell(s, i, 1), Variant(p.unit), cell(s, i, 2), cell(s, i, 3),
                                     cell(s, i, 4), cell(s, i, 5), cell(s, i, 6), cell(s, i, 7)}));
        gg = gg + money(s, i, 4);
        gv = gv + money(s, i, 5);
        gt = gt + money(s, i, 6);
    }
    t->AppendBlank();
    t->AppendBlank();
    t->setFields(5, gg);
    t->setFields(6, gv);
    t->setFields(7, gt);
    t->MoveFirst();
    r.table = t;
    return r;
}

tavrin::frmOuthand* ShowOrderCheck(frmMain& main) {
    Date d = ProposedDeliveryDate(ostrel::Now());
    if (!main.pannel().ind(d)) return nullptr;
    const OrdersLoad stored = mdlLoad::LoadOrders(main.server(), d, main.OrdererCI(), main.ReceiverCI());
    Report r;
    QString problem = stored.problem;
    if (problem.isEmpty())
        problem = ReadReply([&] { r = BuildOrderCheck(stored, d, main.OrdererCI(), main.ReceiverCI()); });
    if (!problem.isEmpty()) {
        OrdersLoad failed;
        failed.problem = problem;
        r = BuildOrderCheck(failed, d, main.OrdererCI(), main.ReceiverCI());
        r.etc = problem + QStringLiteral(" 발주 내역을 불러오지 못했습니다.");
    }
    return ShowReport(r);
}

}  // namespace mdlOrder
}  // namespace vendra
