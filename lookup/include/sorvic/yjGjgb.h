#pragma once
// The account group lookup: no table, five group names ("자산", "부채", "자본", "수익", "비용").
#include "sorvic/PickList.h"

#include "sembrin/NextSearch.h"
#include "tessel/InputProcess.h"

namespace sorvic {

class yjGjgb : public tessel::InputProcess, public sembrin::NextSearch {
public:
    explicit yjGjgb(PickList pick = {});

    // The group that x names by number, name or one of its syllables; "비용" for anything else.
    ostrel::Variant AfterEnter(QString& x) override;
    // A pick among the five groups, titled "1 자산" ... "5 비용".
    ostrel::Variant AfterF3(QString& x) override;
    bool LastFilter(ostrel::Variant& vValue) override;

private:
    PickList pick_;
};

}  // namespace sorvic
