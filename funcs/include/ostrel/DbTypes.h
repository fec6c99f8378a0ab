#pragma once
// The database engine's definitions: field type codes, and field, index and table definitions.
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace ostrel {

// The engine's field type codes, as callers pass them in structure descriptions.
namespace dbType {
inline constexpr int Boolean = 1;
inline constexpr int Byte = 2;
inline constexpr int Integer = 3;
inline constexpr int Long = 4;
inline constexpr int Currency = 5;
inline constexpr int Single = 6;
inline constexpr int Double = 7;
inline constexpr int Date = 8;
inline constexpr int Text = 10;
inline constexpr int Memo = 12;
inline constexpr int MaxTextSize = 255;  // also the size of a text field created with size 0
}  // namespace dbType

struct FieldDef {
    QString Name;
    int Type = dbType::Text;
    int Size = 0;  // characters for text; 0 asks for the type's own size
    bool AllowZeroLength = false;
};

struct IndexDef {
    QString Name;
    QStringList Fields;  // one field of the index's own name when left empty
    bool Unique = false;
};

// Fields in order, found by exact (case-sensitive) name through a hash.
class FieldList {
public:
    FieldList() = default;
    explicit FieldList(std::vector<FieldDef> fields);

    int Count() const { return static_cast<int>(fields_.size()); }
    const FieldDef& operator[](int i) const;  // error 3265 outside 0..Count()-1
    const FieldDef& operator[](const QString& name) const;  // error 3265 when missing
    int indexOf(const QString& name) const { return byName_.value(name, -1); }
    bool contains(const QString& name) const { return byName_.contains(name); }
    void Append(FieldDef field);  // error 3191 for a name already there

    auto begin() const { return fields_.begin(); }
    auto end() const { return fields_.end(); }

private:
    std::vector<FieldDef> fields_;
    QHash<QString, int> byName_;
};

struct TableDef {
    QString Name;
    FieldList Fields;
    std::vector<IndexDef> Indexes;
};

}  // namespace ostrel
