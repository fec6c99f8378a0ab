#include "keplin/CodePanels.h"

#include "tessel/invar.h"

namespace keplin {

PanelLayout threeInputColumns() {
    // 0 invar1, 1 invar2, 2 invar3, 3 button1, 4 button2
    return PanelLayout(3, {-1, -1, 0, 2, 1}, {2, 4, 3, -1, -1});
}

PanelLayout fourInputColumns() {
    // 0 invar1, 1 invar2, 2 invar3, 3 invar4, 4 button1, 5 button2
    return PanelLayout(4, {-1, -1, 0, 1, 2, 3}, {2, 3, 4, 5, -1, -1});
}

PanelLayout fiveInputColumns() {
    // 0 invar1, 1 invar2, 2 invar3, 3 invar5, 4 invar6, 5 button1, 6 button2
    return PanelLayout(5, {-1, -1, 0, 2, 1, 3, 4}, {2, 4, 3, 5, 6, -1, -1});
}

namespace {

QString text(const char* s) { return QString::fromUtf8(s); }
PanelInput first() { return {text("첫날:"), InputKind::Date}; }
PanelInput last() { return {text("끝날:"), InputKind::Date}; }
PanelInput day() { return {text("날짜:"), InputKind::Date}; }
PanelInput partner() { return {text("거래처:"), InputKind::Partner}; }
PanelInput account() { return {text("계정:"), InputKind::Account}; }
PanelInput group() { return {text("그룹:"), InputKind::Group}; }

}  // namespace

panIn2dsg::panIn2dsg(QWidget* parent)
    : panBase(text("panIn2dsg"), text("기간과 거래처 입력"), {first(), last(), partner()}, threeInputColumns(), parent) {}

panIn2dsgl::panIn2dsgl(QWidget* parent)
    : panBase(text("panIn2dsgl"), text("기간과 거래처,줄띄우기"),
              {first(), last(), partner(), {text("줄띄우기:"), InputKind::LineSpacing}}, fourInputColumns(), parent) {}

ostrel::Variant panIn2dsgl::iLine() const { return cell(3)->value(); }

panIn2dsgr::panIn2dsgr(QWidget* parent)
    : panBase(text("panIn2dsgr"), text("기간과 거래처,그룹"), {first(), last(), partner(), group()}, fourInputColumns(),
              parent) {}

panIn2dsj::panIn2dsj(QWidget* parent)
    : panBase(text("panIn2dsj"), text("기간과 계정 입력"), {first(), last(), account()}, threeInputColumns(), parent) {}

panIn2dsjg::panIn2dsjg(QWidget* parent)
    : panBase(text("panIn2dsjg"), text("기간, 계정, 거래처 입력"), {first(), last(), account(), partner()},
              fourInputColumns(), parent) {}

panIn2dsjr::panIn2dsjr(QWidget* parent)
    : panBase(text("panIn2dsjr"), text("기간과 계정,그룹"), {first(), last(), account(), group()}, fourInputColumns(),
              parent) {}

panIn2dsjgr::panIn2dsjgr(QWidget* parent)
    : panBase(text("panIn2dsjgr"), text("기간과 계정,거래처,그룹"),
              {first(), last(), account(), {text("거래처:"), InputKind::Partner, 5, 2, 0},
               {text("그룹:"), InputKind::Group, 6, 2, 1}},
              fiveInputColumns(), parent) {}

panIn2dsr::panIn2dsr(QWidget* parent)
    : panBase(text("panIn2dsr"), text("기간과 그룹 입력"), {first(), last(), group()}, threeInputColumns(), parent) {}

panIn2dss::panIn2dss(QWidget* parent)
    : panBase(text("panIn2dss"), text("기간과 창고 입력"), {first(), last(), {text("창  고:"), InputKind::Warehouse}},
              threeInputColumns(), parent) {}

panIng::panIng(QWidget* parent)
    : panBase(text("panIng"), text("거래처 입력"), {partner()}, PanelLayout::singleInput(), parent) {}

panIndg::panIndg(QWidget* parent)
    : panBase(text("panIndg"), text("날짜와 거래처 입력"), {day(), partner()}, PanelLayout::twoColumns(), parent) {}

panIndr::panIndr(QWidget* parent)
    : panBase(text("panIndr"), text("날짜와 그룹 입력"), {day(), group()}, PanelLayout::twoColumns(), parent) {}

panInds::panInds(QWidget* parent)
    : panBase(text("panInds"), text("날짜와 창고명 입력"), {day(), {text("창고:"), InputKind::Warehouse}},
              PanelLayout::twoColumns(), parent) {}

}  // namespace keplin
