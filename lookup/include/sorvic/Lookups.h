#pragma once
// The lookups of the master tables: one implementation (yjMaster), one table description each.
#include "sorvic/yjMaster.h"

namespace sorvic {

// Warehouses (cg).
class yjCg : public yjMaster {
public:
    explicit yjCg(PickList pick = {}) : yjMaster(MasterTable::cg(), std::move(pick)) {}
};
// Accounts (gj); validates with "기초등록된계정만입력".
class yjGj : public yjMaster {
public:
    explicit yjGj(PickList pick = {}) : yjMaster(MasterTable::gj(), std::move(pick)) {}
};
// Groups (gr).
class yjGr : public yjMaster {
public:
    explicit yjGr(PickList pick = {}) : yjMaster(MasterTable::gr(), std::move(pick)) {}
};
// dy: no abbreviations; titles of code and name, 6 bytes each. A cancelled pick gives null like
// every other lookup, so the cell keeps the typed text.
class yjDy : public yjMaster {
public:
    explicit yjDy(PickList pick = {}) : yjMaster(MasterTable::dy(), std::move(pick)) {}
};
class yjHj : public yjMaster {
public:
    explicit yjHj(PickList pick = {}) : yjMaster(MasterTable::hj(), std::move(pick)) {}
};
class yjGg : public yjMaster {
public:
    explicit yjGg(PickList pick = {}) : yjMaster(MasterTable::gg(), std::move(pick)) {}
};
class yjBg : public yjMaster {
public:
    explicit yjBg(PickList pick = {}) : yjMaster(MasterTable::bg(), std::move(pick)) {}
};
// Partners (grc), withdrawn ones left out; validates with "기초등록된거래처만입력".
class yjGrc : public yjMaster {
public:
    explicit yjGrc(PickList pick = {}) : yjMaster(MasterTable::grc(), std::move(pick)) {}
};
// Products (pd), withdrawn ones left out; validates with "기초등록된품목만입력".
class yjPd : public yjMaster {
public:
    explicit yjPd(PickList pick = {}) : yjMaster(MasterTable::pd(), std::move(pick)) {}
};

}  // namespace sorvic
