#pragma once
// Date texts in the system's fixed formats, and month and week boundaries.
#include "ostrel/DateTime.h"
#include "ostrel/Variant.h"

#include <QString>

namespace ostrel {

class fncDate {
public:
    QString DtoYYYYMMDD(Date d) const;  // "20240305"; the zero date gives "00000000"
    QString DtoL(Date d) const;         // "#2024-03-05#"
    Date LtoD(const QString& l) const;  // reads a DtoL literal
    // "YYYY-MM-DD", "HH:MM:SS" (0 < d < 1) or "YYYY-MM-DD HH:MM:SS"; the zero date is "0000-00-00".
    QString DtoG(Date d) const;
    // Reads "#...#" literals, YYYY-MM-DD, YYYY/MM/DD (with a time) and YYYY.MM.DD; unreadable text
    // gives the zero date, never an error.
    Date GtoD(const QString& g) const;
    QString DtoC(const Variant& d) const;  // "24/03/05"; empty 8 spaces, 0 "  /  /  ", text padr'ed
    QString TtoC(const Variant& d) const;  // "09:05:00"; empty 8 spaces, 0 "  :  :  ", text padr'ed
    QString Dto년월일(Date dDate) const;       // "2024년  3월  5일"
    QString Dto년월일short(Date dDate) const;  // "2024년 3월 5일"
    Date Choha(Date d) const;   // first day of the month, no time
    Date Malil(Date d) const;   // last day of the month, no time
    bool IsMalil(Date d) const;
    Variant MondayDate(Date d) const;  // Monday of d's week (Monday to Sunday), time kept
};

}  // namespace ostrel
