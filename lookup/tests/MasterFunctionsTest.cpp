// Sort keys, groups, warehouses, wildcard patterns and partner data over a seeded ledger; the
// caches' refresh after 10 idle seconds on an injected clock.
#include "ErrorNumber.h"
#include "LedgerSeed.h"
#include "sorvic/fncGrc.h"
#include "sorvic/fncPrj.h"
#include "sorvic/fnc사업자.h"

#include "ostrel/RuntimeError.h"

#include <gtest/gtest.h>

using namespace sorvic;
using vendra::test::addRecord;

namespace {

struct MasterFunctions : ::testing::Test {
    vendra::test::ScopedLedger ledger;
    ostrel::Date now = ostrel::DateSerial(2024, 3, 1);  // a clock the test moves by hand
    Clock clock = [this] { return now; };
    void advance(int seconds) { now.serial += seconds / 86400.0; }
    MasterFunctions() {
        for (auto [t, name, code, gb] : std::vector<std::array<const char*, 4>>{
                 {"gr", "서울", "01", ""}, {"gr", "지방", "", ""}, {"cg", "본창고", "1", "창고"}, {"cg", "매장", "2", "매장"},
                 {"gj", "현금", "101", "자산"}, {"gj", "미지급금", "201", "부채"}, {"gj", "잡손실", "901", ""},
                 {"gj", "이상한것", "902", "기타"}})
            ledger.record(t, name, code, "", gb);
        addRecord(*ledger.db, "pd", {{"pd", QStringLiteral("배추")}, {"code", QStringLiteral("P1")}, {"deleted", false}});
        addRecord(*ledger.db, "pd", {{"pd", QStringLiteral("단종품")}, {"code", QStringLiteral("P2")}, {"deleted", true}});
        addRecord(*ledger.db, "grc", {{"grc", "O'Brien \\ #1"}, {"code", "7"}, {"gr", "서울"}, {"deleted", false},
                                      {"사업자등록번호", "123-45-67890"}, {"상호", "오브라이언"}, {"성명", "오"},
                                      {"주소", "서울시"}, {"업태", "도매"}, {"종목", "채소"}, {"이메일", "o@b.kr"},
                                      {"전화", "02-1"}, {"비고", "메모"}});
        addRecord(*ledger.db, "grc", {{"grc", "폐업상사"}, {"code", "9"}, {"gr", "지방"}, {"deleted", true},
                                      {"사업자등록번호", "999-99-99999"}, {"상호", "폐업"}});
    }
};

}  // namespace

TEST_F(MasterFunctions, SortKeysPutCodedRecordsFirstGroupsAndWarehousesComeFromTheirTables) {
    fncPrj prj(clock);
    fncGrc grc(clock);
    const QString ob = QStringLiteral("O'Brien \\ #1");
    const std::vector<std::pair<std::function<QString()>, const char*>> cases = {
        {[&] { return prj.GroupOrder("서울"); }, "A01 서울"}, {[&] { return prj.GroupOrder("지방"); }, "B지방"},
        {[&] { return prj.GroupOrder("없음"); }, "B없음"}, {[&] { return prj.CgOrder("본창고"); }, "A1 본창고"},
        {[&] { return prj.GjOrder("현금"); }, "A101 현금"}, {[&] { return prj.PdOrder("배추"); }, "AP1 배추"},
        {[&] { return prj.PdOrder("단종품"); }, "B단종품"},  // withdrawn
        {[&] { return grc.GrcOrder(ob); }, "A7 O'Brien \\ #1"}, {[&] { return grc.GrcOrder("폐업상사"); }, "B폐업상사"},
        {[&] { return grc.grc2code(ob); }, "7"}, {[&] { return grc.grc2group(ob); }, "서울"},
        {[&] { return grc.grc2code("폐업상사"); }, ""}, {[&] { return grc.grc2group("없음"); }, ""},
        {[&] { return prj.gj2gb("현금"); }, "자산"}, {[&] { return prj.gj2gb("미지급금"); }, "부채"},
        {[&] { return prj.gj2gb("잡손실"); }, "비용"}, {[&] { return prj.gj2gb("이상한것"); }, "비용"},
        {[&] { return prj.gj2gb("없는계정"); }, "비용"},
    };
    for (const auto& [call, expected] : cases) EXPECT_EQ(call(), QString::fromUtf8(expected)) << expected;
    EXPECT_TRUE(prj.IsCg("본창고"));
    EXPECT_FALSE(prj.IsCg("매장"));
    EXPECT_FALSE(prj.IsCg("없음"));
}

TEST_F(MasterFunctions, CachesReloadOnlyAfterMoreThanTenIdleSeconds) {
    fncPrj prj(clock);
    fncGrc grc(clock);
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("B신규"));
    EXPECT_EQ(prj.IsCg("새창고"), false);
    EXPECT_EQ(grc.grc2code("새거래처"), QString());
    ledger.record("gr", "신규", "05");
    ledger.record("cg", "새창고", "3", "", "창고");
    ledger.partner("새거래처", "55");
    // Calls 9 seconds apart keep every cache, however long it has been in all.
    for (int i = 0; i < 3; ++i) {
        advance(9);
        EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("B신규")) << i;
    }
    advance(10);  // exactly 10 seconds is not more than 10
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("B신규"));
    advance(11);
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("A05 신규"));
    // Each function keeps its own cache and its own last call.
    EXPECT_TRUE(prj.IsCg("새창고"));
    EXPECT_EQ(grc.grc2code("새거래처"), QStringLiteral("55"));
    EXPECT_EQ(grc.GrcOrder("새거래처"), QStringLiteral("A55 새거래처"));  // first call of this one
    now.serial -= 1;  // a clock set back cannot tell how long it was: reload
    ledger.db->Execute(QStringLiteral("UPDATE gr SET code='06' WHERE gr='신규'"));
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("A06 신규"));
}

TEST(Patterns, MatchByStars) {
    fncPrj prj;
    struct Case { const char* a; const char* pattern; bool match; };
    const std::vector<Case> cases = {
        {"아무거나", "*", true}, {"", "*", true}, {"서울상회", "*상회", true}, {"상회서울", "*상회", false},
        {"서울상회", "서울*", true}, {"서울", "서울*", true}, {"부산상회", "서울*", false}, {"상회서울", "서울*", false},
        {"서울상회", "*울상*", true}, {"부산상회", "*울상*", false}, {"x", "**", true},
        {"서울", "서울", true}, {"서울상회", "서울", false}, {"서울", "서울 ", false},
    };
    for (const Case& c : cases) EXPECT_EQ(prj.IsPertinent(c.a, c.pattern), c.match) << c.a << " " << c.pattern;
}

TEST_F(MasterFunctions, PartnerBusinessDataByNameOrNumber) {
    fnc사업자 f;
    const QString name = QStringLiteral("O'Brien \\ #1");
    using Field = QString (fnc사업자::*)(const QString&) const;
    const std::vector<std::pair<Field, const char*>> fields = {
        {&fnc사업자::grc2사업자등록번호, "123-45-67890"}, {&fnc사업자::grc2상호, "오브라이언"}, {&fnc사업자::grc2성명, "오"},
        {&fnc사업자::grc2주소, "서울시"}, {&fnc사업자::grc2업태, "도매"}, {&fnc사업자::grc2종목, "채소"},
        {&fnc사업자::grc2이메일, "o@b.kr"}, {&fnc사업자::grc2전화, "02-1"}, {&fnc사업자::grc2비고, "메모"},
        {&fnc사업자::grc2ci, "123-45-67890"}};
    for (auto [field, value] : fields) EXPECT_EQ((f.*field)(name), QString::fromUtf8(value)) << value;
    EXPECT_EQ(f.grc2ci("*"), QStringLiteral("*"));
    EXPECT_EQ(f.ci2grc("123-45-67890"), name);
    // A withdrawn partner has no data, and nobody holds its number.
    EXPECT_EQ(f.grc2상호("폐업상사"), QString());
    EXPECT_EQ(f.ci2grc("999-99-99999"), QString());
    EXPECT_EQ(f.grc2상호("x' OR '1'='1"), QString());
    sembrin::pptPublicValue().setZepDb(nullptr);
    vendra::test::expectError(ostrel::err::DbClosed, [&] { f.grc2상호(name); });
}
