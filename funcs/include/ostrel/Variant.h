#pragma once
// Variant: the tagged value of the system. Table cells, record arrays and optional arguments.
#include "ostrel/Currency.h"
#include "ostrel/DateTime.h"

#include <QString>
#include <compare>
#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

namespace ostrel {

class Variant;

// Codes as the platform's VarType reports them.
enum class VarType : int {
    Empty = 0, Null = 1, Integer = 2, Long = 3, Single = 4, Double = 5, Currency = 6,
    Date = 7, String = 8, Object = 9, Boolean = 11, Array = 8192
};

// Anything a variant can hold by reference. Its default value takes part in comparisons.
class VObject {
public:
    virtual ~VObject() = default;
    virtual Variant defaultValue() const;
};
using ObjectRef = std::shared_ptr<VObject>;

// An array with its lower bound (most are 0-based; a 1-based array fills fields from 1).
struct VArray {
    int lower = 0;
    std::vector<Variant> items;

    // Defined below Variant: clang instantiates the vector's members where they are used.
    int upper() const;
    bool contains(int i) const;
    const Variant& at(int i) const;  // raises error 9 outside the bounds
    Variant& at(int i);
};

struct NullTag {
    bool operator==(const NullTag&) const = default;
};

class Variant {
public:
    Variant() = default;                      // empty
    Variant(int16_t v) : v_(v) {}             // Integer
    Variant(int32_t v) : v_(v) {}             // Long
    Variant(float v) : v_(v) {}               // Single
    Variant(double v) : v_(v) {}              // Double
    Variant(Currency v) : v_(v) {}
    Variant(Date v) : v_(v) {}
    Variant(QString v) : v_(std::move(v)) {}
    Variant(const char* utf8) : v_(QString::fromUtf8(utf8)) {}
    Variant(const char16_t* text) : v_(QString::fromUtf16(text)) {}
    Variant(bool v) : v_(v) {}
    Variant(ObjectRef v) : v_(std::move(v)) {}
    Variant(VArray v) : v_(std::move(v)) {}
    Variant(NullTag) : v_(NullTag{}) {}
    static Variant null() { return Variant(NullTag{}); }
    static Variant array(std::vector<Variant> items, int lower = 0) { return Variant(VArray{lower, std::move(items)}); }

    VarType type() const;
    bool isEmpty() const { return v_.index() == 0; }
    bool isNull() const { return std::holds_alternative<NullTag>(v_); }
    bool isString() const { return std::holds_alternative<QString>(v_); }
    bool isObject() const { return std::holds_alternative<ObjectRef>(v_); }
    bool isArray() const { return std::holds_alternative<VArray>(v_); }
    bool isBoolean() const { return std::holds_alternative<bool>(v_); }
    bool isDate() const { return std::holds_alternative<Date>(v_); }
    // Integer, Long, Single, Double or Currency (not Boolean, Date, text or empty).
    bool isNumber() const;

    // Conversions as the platform's CDbl, CCur, CLng, CInt, CBool, CDate and CStr make them.
    // Empty converts to 0 / "" / false; null and non-numeric text raise errors 94 and 13.
    double toDouble() const;
    Currency toCurrency() const;
    int32_t toLong() const;    // rounds half to even, error 6 outside 32 bits
    int16_t toInteger() const; // rounds half to even, error 6 outside 16 bits
    bool toBool() const;
    Date toDate() const;
    QString toString() const;
    ObjectRef toObject() const;      // error 13 unless an object
    const VArray& toArray() const;   // error 13 unless an array
    VArray& toArray();

    // Direct views without conversion; nullptr when the variant holds something else.
    const QString* stringIf() const { return std::get_if<QString>(&v_); }
    const VArray* arrayIf() const { return std::get_if<VArray>(&v_); }

    // The variant comparison rules: empty equals "" and 0; numbers, Booleans (true is -1) and
    // dates compare by value; text compares binary; a number is less than any text; objects
    // compare by their default value. Anything against null is unordered.
    friend std::partial_ordering compare(const Variant& a, const Variant& b);
    friend bool operator==(const Variant& a, const Variant& b) { return compare(a, b) == 0; }
    friend bool operator<(const Variant& a, const Variant& b) { return compare(a, b) < 0; }

    // The same kind and the same value (a strict check, unlike ==).
    bool identical(const Variant& other) const;

private:
    std::variant<std::monostate, NullTag, int16_t, int32_t, float, double, Currency, Date, QString, bool,
                 ObjectRef, VArray>
        v_;
};

// Platform helpers the libraries rely on.
double Int(double v);  // floor
double Fix(double v);  // toward zero
// Standard text of a number: "." as point, no grouping, 15 significant digits, E notation
// beyond them, as the platform's Str/CStr give it (without the leading space of Str).
QString NumberText(double v, int significant = 15);
// A locale-independent decimal reader: spaces around, a sign, digits, one ".", an exponent.
bool ParseNumber(QStringView text, double& out);
bool IsNumeric(const Variant& v);
// The leading number of a text, 0 when there is none.
double Val(QStringView text);

inline int VArray::upper() const { return lower + static_cast<int>(items.size()) - 1; }
inline bool VArray::contains(int i) const { return i >= lower && i <= upper(); }

}  // namespace ostrel
