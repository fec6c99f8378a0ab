#pragma once
// The input process interface: what a cell asks before it stores typed text (a code lookup, say).
// Any object implementing it serves. It derives from VObject so that a field definition can carry
// it in a Variant.
#include "ostrel/Variant.h"

#include <QString>
#include <memory>

namespace tessel {

class InputProcess : public ostrel::VObject {
public:
    // The trimmed typed text on commit: the value to store; null rejects the text.
    virtual ostrel::Variant AfterEnter(QString& text) = 0;
    // The current text on F3: the chosen value, null for none.
    virtual ostrel::Variant AfterF3(QString& text) = 0;
    // Asked before any non-empty converted value is stored; true accepts it.
    virtual bool LastFilter(ostrel::Variant& vValue) = 0;
};
using InputProcessRef = std::shared_ptr<InputProcess>;

// The input process held by a variant (an object reference), or nullptr.
InputProcessRef toInputProcess(const ostrel::Variant& v);
// A variant holding the process as an object reference (nothing gives empty).
ostrel::Variant fromInputProcess(const InputProcessRef& p);

}  // namespace tessel
