#pragma once
// What the pick list's "다음검색 F3" hands the typed text to: a code lookup's F3 search.
#include "ostrel/Variant.h"

#include <QString>
#include <memory>

namespace sembrin {

class NextSearch {
public:
    virtual ~NextSearch() = default;
    // The chosen value, or null when nothing was chosen.
    virtual ostrel::Variant AfterF3(QString& text) = 0;
};
using NextSearchRef = std::shared_ptr<NextSearch>;

}  // namespace sembrin
