#pragma once
// Request time stamps: 16 digits, year to hundredths of a second, never twice the same per instance.
#include <QString>

namespace corvane {

class fncTimeStamp {
public:
    // YYYYMMDDHHMMSSCC of the local time. Waits for the next hundredth when the clock has not
    // moved since the last stamp, and never goes below the last stamp when the clock is set back.
    QString MakeTimeStamp();

private:
    QString last_;
};

}  // namespace corvane
