#pragma once
// The one copy of the process-wide values behind every instance of the store classes.
#include "ostrel/Database.h"
#include "ostrel/Variant.h"
#include "sembrin/pptZepPublicValue.h"

#include <QHash>
#include <QString>

namespace sembrin::detail {

// Keys compare without regard to letter case; the key as given is kept beside the value.
class KeyedValues {
public:
    ostrel::Variant value(const QString& key) const;
    void set(const QString& key, const ostrel::Variant& value);  // replaces an earlier value
    bool contains(const QString& key) const;
    void clear() { items_.clear(); }

private:
    struct Item {
        QString key;
        ostrel::Variant value;
    };
    QHash<QString, Item> items_;
};

struct Store {
    QString programVersion, path, name, ext, fullName;
    ostrel::DatabaseRef db;
    ostrel::WorkspaceRef ws;
    ostrel::ObjectRef mainCom;
    bool readOnly = false;
    KeyedValues settings, publicValues;
    사업자 user;
    bool invoiceServerOk = false;
};

Store& store();

}  // namespace sembrin::detail
