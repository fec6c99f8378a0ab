#pragma once
// The client's read-only reports: what a report hands to the viewer, built apart from the
// requests so the tables can be checked on their own.
#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QString>

namespace tavrin {
class frmOuthand;
}

namespace vendra {

class frmMain;
struct OrdersLoad;

struct Report {
    ostrel::TableRef table;
    ostrel::Variant stru;
    QString subject;
    ostrel::Variant descr;
    QString etc;
};

// Shows the report in a new viewer window, which stays open once shown.
tavrin::frmOuthand* ShowReport(const Report& r);

// "기간:", from, "~", to.
ostrel::Variant PeriodDescr(ostrel::Date from, ostrel::Date to);

namespace mdlNy {

// Int(a / b) of the exact quotient; b must not be 0.
ostrel::Currency ExactIntQuotient(ostrel::Currency a, ostrel::Currency b);

ostrel::Variant PurchaseHistoryStru();
ostrel::Variant TaxTotalsStru();

// Deliveries: 0 date, 1 product key, 2 quantity, 3 unit price, 4 VAT flag, 5 supply, 6 tax, 7 amount.
ostrel::TableRef BuildPurchaseHistory(const ostrel::clsTable& deliveries);
ostrel::TableRef BuildTaxTotals(const ostrel::clsTable& deliveries);

// Ask for the period, load the deliveries and show the report; the viewer, or nullptr when the
// period was cancelled or the list could not be read.
tavrin::frmOuthand* ShowPurchaseHistory(frmMain& main);
tavrin::frmOuthand* ShowTaxTotalsByDate(frmMain& main);

}  // namespace mdlNy

namespace mdlOrder {

ostrel::Variant OrderCheckStru();
// The report of one stored order: its lines, a blank and a totals record; the message in etc.
Report BuildOrderCheck(const OrdersLoad& stored, ostrel::Date deliverDate, const QString& ordererCI,
                       const QString& receiverCI);
// "발주확인": asks for the date and shows the stored order; the viewer or nullptr.
tavrin::frmOuthand* ShowOrderCheck(frmMain& main);

}  // namespace mdlOrder
}  // namespace vendra
