#pragma once
// Currency: 64-bit fixed point with four decimals; all money and quantity arithmetic uses it.
#include <QString>
#include <compare>
#include <cstdint>

namespace ostrel {

class Currency {
public:
    static constexpr int64_t kScale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(int64_t raw) { Currency c; c.raw_ = raw; return c; }
    // Rounds half to even at the fourth decimal; overflow raises error 6.
    static Currency fromDouble(double value);
    static Currency fromInt(int64_t whole);

    constexpr int64_t raw() const { return raw_; }
    double toDouble() const { return static_cast<double>(raw_) / kScale; }
    bool isWhole() const { return raw_ % kScale == 0; }

    Currency floor() const;  // Int
    Currency trunc() const;  // Fix
    Currency abs() const;

    // Standard text: "." as decimal point, no grouping, trailing decimal zeros dropped.
    QString toString() const;

    Currency operator-() const;
    Currency operator+(Currency other) const;
    Currency operator-(Currency other) const;
    Currency operator*(Currency other) const;  // exact, rounded half to even to four decimals
    Currency& operator+=(Currency other) { return *this = *this + other; }
    Currency& operator-=(Currency other) { return *this = *this - other; }

    constexpr auto operator<=>(const Currency&) const = default;

private:
    int64_t raw_ = 0;
};

}  // namespace ostrel
