#pragma once
// The callback objects the report viewer takes: a print object that replaces its printing, and
// an interrupt object that sees (and may rewrite) every record while the viewer is idle.
#include "ostrel/Variant.h"
#include "ostrel/clsTable.h"

#include <QString>
#include <memory>

namespace tavrin {

class PrintObject {
public:
    virtual ~PrintObject() = default;
    virtual void run(QString& subject, ostrel::Variant& descr, ostrel::TableRef& table, ostrel::Variant& stru) = 0;
};
using PrintObjectRef = std::shared_ptr<PrintObject>;

class InterruptObject {
public:
    virtual ~InterruptObject() = default;
    // `record` holds the fields of one record (element j for field j); what the handler leaves
    // there is written back into the table.
    virtual void lineevent(ostrel::Variant& descr, ostrel::VArray& record) = 0;
};
using InterruptObjectRef = std::shared_ptr<InterruptObject>;

}  // namespace tavrin
