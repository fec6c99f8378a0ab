// Sort keys, groups, warehouses, wildcard patterns and partner data over a seeded ledger; the
// caches' refresh after 10 idle seconds on an injected clock.
#include "ErrorNumber.h"
#include "Ledger.h"
#include "sorvic/fncGrc.h"
#include "sorvic/fncPrj.h"
#include "sorvic/fnc사업자.h"

#include "ostrel/RuntimeError.h"

using namespace sorvic;
using ostrel::Date;
using vendra::test::addRecord;

namespace {

// A clock the test moves by hand.
struct TestClock {
    Date now = ostrel::DateSerial(2024, 3, 1);
    void advance(int seconds) { now.serial += seconds / 86400.0; }
    Clock clock() {
        return [this] { return now; };
    }
};

struct MasterFunctions : test::LedgerTest {
    TestClock t;
    void SetUp() override {
        LedgerTest::SetUp();
        record("gr", "서울", "01");
        record("gr", "지방", "");
        record("cg", "본창고", "1", "", "창고");
        record("cg", "매장", "2", "", "매장");
        record("gj", "현금", "101", "", "자산");
        record("gj", "미지급금", "201", "", "부채");
        record("gj", "잡손실", "901", "", "");
        record("gj", "이상한것", "902", "", "기타");
        addRecord(*db, "pd", {{"pd", QStringLiteral("배추")}, {"code", QStringLiteral("P1")}, {"deleted", false}});
        addRecord(*db, "pd", {{"pd", QStringLiteral("단종품")}, {"code", QStringLiteral("P2")}, {"deleted", true}});
        addRecord(*db, "grc", {{"grc", QStringLiteral("O'Brien \\ #1")}, {"code", QStringLiteral("7")},
                               {"gr", QStringLiteral("서울")}, {"deleted", false},
                               {"사업자등록번호", QStringLiteral("123-45-67890")}, {"상호", QStringLiteral("오브라이언")},
                               {"성명", QStringLiteral("오")}, {"주소", QStringLiteral("서울시")},
                               {"업태", QStringLiteral("도매")}, {"종목", QStringLiteral("채소")},
                               {"이메일", QStringLiteral("o@b.kr")}, {"전화", QStringLiteral("02-1")},
                               {"비고", QStringLiteral("메모")}});
        addRecord(*db, "grc", {{"grc", QStringLiteral("폐업상사")}, {"code", QStringLiteral("9")},
                               {"gr", QStringLiteral("지방")}, {"deleted", true},
                               {"사업자등록번호", QStringLiteral("999-99-99999")}, {"상호", QStringLiteral("폐업")}});
    }
};

}  // namespace

TEST_F(MasterFunctions, SortKeysPutCodedRecordsFirst) {
    fncPrj prj(t.clock());
    fncGrc grc(t.clock());
    EXPECT_EQ(prj.GroupOrder("서울"), QStringLiteral("A01 서울"));
    EXPECT_EQ(prj.GroupOrder("지방"), QStringLiteral("B지방"));
    EXPECT_EQ(prj.GroupOrder("없음"), QStringLiteral("B없음"));
    EXPECT_EQ(prj.CgOrder("본창고"), QStringLiteral("A1 본창고"));
    EXPECT_EQ(prj.GjOrder("현금"), QStringLiteral("A101 현금"));
    EXPECT_EQ(prj.PdOrder("배추"), QStringLiteral("AP1 배추"));
    EXPECT_EQ(prj.PdOrder("단종품"), QStringLiteral("B단종품"));  // withdrawn
    EXPECT_EQ(grc.GrcOrder("O'Brien \\ #1"), QStringLiteral("A7 O'Brien \\ #1"));
    EXPECT_EQ(grc.GrcOrder("폐업상사"), QStringLiteral("B폐업상사"));
    EXPECT_EQ(grc.grc2code("O'Brien \\ #1"), QStringLiteral("7"));
    EXPECT_EQ(grc.grc2group("O'Brien \\ #1"), QStringLiteral("서울"));
    EXPECT_EQ(grc.grc2code("폐업상사"), QString());
    EXPECT_EQ(grc.grc2group("없음"), QString());
}

TEST_F(MasterFunctions, GroupsAndWarehouses) {
    fncPrj prj(t.clock());
    const std::vector<std::pair<const char*, const char*>> groups = {
        {"현금", "자산"}, {"미지급금", "부채"}, {"잡손실", "비용"}, {"이상한것", "비용"}, {"없는계정", "비용"}};
    for (auto [account, group] : groups) EXPECT_EQ(prj.gj2gb(account), QString::fromUtf8(group)) << account;
    EXPECT_TRUE(prj.IsCg("본창고"));
    EXPECT_FALSE(prj.IsCg("매장"));
    EXPECT_FALSE(prj.IsCg("없음"));
}

TEST_F(MasterFunctions, CachesReloadOnlyAfterMoreThanTenIdleSeconds) {
    fncPrj prj(t.clock());
    fncGrc grc(t.clock());
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("B신규"));
    EXPECT_EQ(prj.IsCg("새창고"), false);
    EXPECT_EQ(grc.grc2code("새거래처"), QString());
    record("gr", "신규", "05");
    record("cg", "새창고", "3", "", "창고");
    addRecord(*db, "grc", {{"grc", QStringLiteral("새거래처")}, {"code", QStringLiteral("55")}, {"deleted", false}});
    // Calls 9 seconds apart keep every cache, however long it has been in all.
    for (int i = 0; i < 3; ++i) {
        t.advance(9);
        EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("B신규")) << i;
    }
    t.advance(10);  // exactly 10 seconds is not more than 10
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("B신규"));
    t.advance(11);
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("A05 신규"));
    // Each function keeps its own cache and its own last call.
    EXPECT_TRUE(prj.IsCg("새창고"));
    EXPECT_EQ(grc.grc2code("새거래처"), QStringLiteral("55"));
    EXPECT_EQ(grc.GrcOrder("새거래처"), QStringLiteral("A55 새거래처"));  // first call of this one
    t.now.serial -= 1;  // a clock set back cannot tell how long it was: reload
    db->Execute(QStringLiteral("UPDATE gr SET code='06' WHERE gr='신규'"));
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("A06 신규"));
}

TEST(Patterns, MatchByStars) {
    fncPrj prj;
    struct Case { const char* a; const char* pattern; bool match; };
    const std::vector<Case> cases = {
        {"아무거나", "*", true},      {"", "*", true},
        {"서울상회", "*상회", true},  {"상회서울", "*상회", false},
        {"서울상회", "서울*", true},  {"서울", "서울*", true},  {"부산상회", "서울*", false}, {"상회서울", "서울*", false},
        {"서울상회", "*울상*", true}, {"부산상회", "*울상*", false}, {"x", "**", true},
        {"서울", "서울", true},       {"서울상회", "서울", false},   {"서울", "서울 ", false},
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
