#include "ostrel/DbTypes.h"

#include "ostrel/RuntimeError.h"

namespace ostrel {

FieldList::FieldList(std::vector<FieldDef> fields) {
    for (auto& f : fields) Append(std::move(f));
}

const FieldDef& FieldList::operator[](int i) const {
    if (i < 0 || i >= Count()) throw RuntimeError::engine(err::DbItemNotFound, QString::number(i));
    return fields_[static_cast<size_t>(i)];
}

const FieldDef& FieldList::operator[](const QString& name) const {
    int i = indexOf(name);
    if (i < 0) throw RuntimeError::engine(err::DbItemNotFound, name);
    return fields_[static_cast<size_t>(i)];
}

void FieldList::Append(FieldDef field) {
    if (byName_.contains(field.Name)) throw RuntimeError::engine(err::DbDuplicateField, field.Name);
    byName_.insert(field.Name, Count());
    fields_.push_back(std::move(field));
}

}  // namespace ostrel
