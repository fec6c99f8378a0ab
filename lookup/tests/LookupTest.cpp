// The code lookups and the master-table functions against one seeded ledger: Enter's resolution
// order, the candidates and their order, F3, the validating filters, what a cell does when a lookup
// cannot answer; sort keys, groups, warehouses, wildcard patterns and partner data, and the caches'
// refresh after 10 idle seconds on an injected clock.
#include "ErrorNumber.h"
#include "LedgerSeed.h"
#include "RecordingFeedback.h"
#include "WidgetTest.h"
#include "sorvic/Lookups.h"
#include "sorvic/fncGrc.h"
#include "sorvic/fncPrj.h"
#include "sorvic/fnc사업자.h"
#include "sorvic/yjGjgb.h"

#include "ostrel/RuntimeError.h"
#include "sembrin/Settings.h"
#include "tessel/invar.h"

#include <QLineEdit>

using namespace sorvic;
using ostrel::Variant;
using vendra::test::addRecord;
using vendra::test::errorOf;

namespace {

const QString ob = QStringLiteral("O'Brien \\ #1");

QString spaces(int n) { return QString(n, u' '); }

// Stands in for the pick list: records the text and the rows offered, answers with the first
// value, or null (a cancelled pick) when `cancel` is set.
struct Picks {
    QStringList texts;
    std::vector<QStringList> offered, titles;
    bool cancel = false;
    PickList list() {
        return [this](const QString& text, const ostrel::clsTable& rows) {
            texts << text;
            offered.emplace_back(), titles.emplace_back();
            for (int i = 0; i < rows.RecCount(); ++i)
                offered.back() << rows.Cell(i, 0).toString(), titles.back() << rows.Cell(i, 1).toString();
            return cancel || rows.RecCount() == 0 ? Variant::null() : rows.Cell(0, 0);
        };
    }
};

// Partners (one withdrawn), groups, warehouses, accounts and products; a clock the test moves by hand.
struct Lookups : ::testing::Test {
    vendra::test::ScopedLedger ledger;
    ostrel::DatabaseRef db = ledger.db;
    Picks picks;
    ostrel::Date now = ostrel::DateSerial(2024, 3, 1);
    Clock clock = [this] { return now; };
    Lookups() {
        for (auto [name, code, yj] : std::vector<std::array<const char*, 3>>{
                 {"배추상회", "007", "배"}, {"무역상사", "", "무"}, {"감자농원", "010", "감"}, {"고구마농원", "011", "감"},
                 {"가나상사", "020", "ab"}, {"다라상사", "021", "ab"}, {"마바상사", "ab", ""}})
            ledger.partner(name, code, yj);
        addRecord(*db, "grc", {{"grc", ob}, {"code", "030"}, {"yj", "ob"}, {"gr", "서울"}, {"deleted", false},
                               {"사업자등록번호", "123-45-67890"}, {"상호", "오브라이언"}, {"성명", "오"},
                               {"주소", "서울시"}, {"업태", "도매"}, {"종목", "채소"}, {"이메일", "o@b.kr"},
                               {"전화", "02-1"}, {"비고", "메모"}});
        addRecord(*db, "grc", {{"grc", "폐업상사"}, {"code", "099"}, {"yj", "폐"}, {"gr", "지방"}, {"deleted", true},
                               {"사업자등록번호", "999-99-99999"}, {"상호", "폐업"}});
        for (auto [t, name, code, gb] : std::vector<std::array<const char*, 4>>{
                 {"gr", "서울", "01", ""}, {"gr", "지방", "", ""}, {"cg", "본창고", "05", "창고"}, {"cg", "보조창고", "005", ""},
                 {"cg", "매장", "2", "매장"}, {"gj", "현금", "101", "자산"}, {"gj", "미지급금", "201", "부채"},
                 {"gj", "잡손실", "901", ""}, {"gj", "이상한것", "902", "기타"}})
            ledger.record(t, name, code, "", gb);
        addRecord(*db, "pd", {{"pd", QStringLiteral("배추")}, {"code", QStringLiteral("P1")}, {"deleted", false}});
        addRecord(*db, "pd", {{"pd", QStringLiteral("단종품")}, {"code", QStringLiteral("P2")}, {"deleted", true}});
    }
};

}  // namespace

TEST_F(Lookups, EnterResolvesByNameAbbreviationCodeZerosAndSyllablesInThatOrderAndF3OffersCandidates) {
    struct Case { const char* typed; const char* expected; std::vector<QStringList> offered; };
    const std::vector<Case> cases = {
        {"", "", {}}, {"*", "*", {}}, {"배추상회", "배추상회", {}}, {"배", "배추상회", {}}, {"007", "배추상회", {}},
        {"7", "배추상회", {}},     // the code without its leading zeros
        {"ab", "마바상사", {}},    // two share the abbreviation: the code decides
        {"추회", "배추상회", {}},  // syllables of one name only
        {"O'Brien \\ #1", "O'Brien \\ #1", {}}, {"ob", "O'Brien \\ #1", {}}, {"30", "O'Brien \\ #1", {}},
        {"'; DROP", "'; DROP", {}}, {"zzz", "zzz", {}},  // nothing matches: as typed, no pick list
        {"폐업상사", "폐업상사", {}},                     // withdrawn: not found
        {"농원", "감자농원", {{"감자농원", "고구마농원"}}},
        // Coded records first, in code order; the uncoded one last.
        {"상", "배추상회", {{"배추상회", "가나상사", "다라상사", "마바상사", "무역상사"}}},
    };
    for (const Case& c : cases) {
        picks.offered.clear();
        QString x = QString(c.typed);
        EXPECT_EQ(yjGrc(picks.list()).AfterEnter(x), Variant(QString(c.expected))) << c.typed;
        EXPECT_EQ(picks.offered, c.offered) << c.typed;
    }
    // Two codes that both read "5" without their zeros: the pick offers both, with the text typed.
    QString five = QStringLiteral("5");
    EXPECT_EQ(yjCg(picks.list()).AfterEnter(five), Variant(QString("보조창고")));
    EXPECT_TRUE(picks.offered.back() == QStringList({"보조창고", "본창고"}) && picks.texts.back() == five);

    // F3 offers the candidates, or everything for a whole name, with fixed-width titles.
    picks.titles.clear();
    const auto all = QStringList({"배추상회", "감자농원", "고구마농원", "가나상사", "다라상사", "O'Brien \\ #1", "마바상사", "무역상사"});
    const std::vector<std::pair<const char*, QStringList>> f3 = {
        {"배추상회", all},  // already whole: everything, withdrawn partners left out
        {"", all}, {"농", QStringList({"감자농원", "고구마농원"})}, {"01", QStringList({"감자농원", "고구마농원"})},  // the code's start
        {"2", QStringList({"가나상사", "다라상사"})}, {"없는것", {}},  // the start of the code without zeros; nothing
    };
    for (const auto& [typed, offered] : f3) {
        QString x = QString(typed);
        const Variant r = yjGrc(picks.list()).AfterF3(x);
        EXPECT_EQ(picks.offered.back(), offered) << typed;
        EXPECT_EQ(picks.texts.back(), x);
        EXPECT_TRUE(r.identical(offered.isEmpty() ? Variant::null() : Variant(offered.front()))) << typed;
    }
    EXPECT_EQ(picks.titles.front().front(), "007" + spaces(8) + QString("배추상회") + spaces(9) + QString("배") + spaces(8));
    EXPECT_EQ(picks.titles.front().back(), spaces(11) + QString("무역상사") + spaces(9) + QString("무") + spaces(8));
    ledger.record("dy", "현금", "01");
    QString none;
    yjDy(picks.list()).AfterF3(none);
    EXPECT_EQ(picks.titles.back(), QStringList{"01" + spaces(5) + QString("현금") + spaces(2)});
}

TEST_F(Lookups, ValidatingFiltersRefuseUnregisteredValuesOnlyWithTheirSettingOn) {
    vendra::test::ScopedFeedback feedback;
    struct Filter { tessel::InputProcessRef lookup; QString setting, refusal; };
    namespace s = sembrin::setting;
    const Filter grc{std::make_shared<yjGrc>(), s::RegisteredPartnersOnly(), QString("거래처코드에 기초등록이 되어 있지 않습니다.")},
        gj{std::make_shared<yjGj>(), s::RegisteredAccountsOnly(), QString("계정코드에 기초등록이 되어 있지 않습니다.")},
        pd{std::make_shared<yjPd>(), s::RegisteredProductsOnly(), QString("품목코드에 기초등록이 되어 있지 않습니다.")},
        cg{std::make_shared<yjCg>(), s::RegisteredPartnersOnly(), {}},
        gb{std::make_shared<yjGjgb>(), s::RegisteredAccountsOnly(), {}};  // an account group: anything goes
    struct Case { const Filter& f; const char* value; bool on, refused; };
    const std::vector<Case> cases = {
        {grc, "없는거래처", false, false}, {grc, "배추상회", true, false}, {grc, "O'Brien \\ #1", true, false},
        {grc, "*", true, false}, {grc, "없는거래처", true, true}, {grc, "폐업상사", true, true},
        {gj, "현금", true, false}, {gj, "현금'", true, true}, {pd, "배추", true, false}, {pd, "단종품", true, true},
        {pd, "단종품", false, false}, {cg, "없는창고", true, false}, {gb, "아무거나", true, false},
    };
    for (const Case& c : cases) {
        feedback->messages.clear();
        sembrin::pptPublicValue().setInisetting(c.f.setting, c.on ? "true" : "FALSE");
        Variant v(QString(c.value));
        EXPECT_EQ(c.f.lookup->LastFilter(v), !c.refused) << c.value;
        EXPECT_EQ(feedback->messages, c.refused ? QStringList{c.f.refusal} : QStringList()) << c.value;
        sembrin::pptPublicValue().setInisetting(c.f.setting, QString());
    }
}

TEST(AccountGroups, NumbersNamesAndSyllablesNameTheGroupAnythingElseIsExpenses) {
    const std::vector<std::pair<const char*, const char*>> cases = {  // "자" is the first group's, "본" the third's
        {"1", "자산"}, {"자산", "자산"}, {"자", "자산"}, {"산", "자산"}, {"채", "부채"}, {"3", "자본"}, {"본", "자본"},
        {"익", "수익"}, {"5", "비용"}, {"용", "비용"}, {"", "비용"}, {"6", "비용"}, {"자산총계", "비용"}};
    Picks picks;
    yjGjgb gb(picks.list());
    for (auto [typed, group] : cases) {
        QString x = typed;
        EXPECT_EQ(gb.AfterEnter(x), Variant(group)) << typed;
    }
    QString x = "자";
    EXPECT_EQ(gb.AfterF3(x), Variant(QString("자산")));
    EXPECT_EQ(picks.texts, QStringList{QString()});
    EXPECT_EQ(picks.titles.front(), QStringList({"1 자산", "2 부채", "3 자본", "4 수익", "5 비용"}));
}

// A lookup cannot answer for a cancelled pick, a missing table or no database; a cell whose lookup
// cannot answer keeps the typed text and goes on editing.
TEST_F(Lookups, CancelledPicksMissingTablesNoDatabaseAndTheCellThatKeepsTheTypedText) {
    db->DeleteTable(QStringLiteral("gg"));
    picks.cancel = true;
    QString x = QString("농원"), dotted = QString("배추."), plain = QString("배추");
    EXPECT_TRUE(yjGrc(picks.list()).AfterEnter(x).isNull());
    EXPECT_TRUE(yjDy(picks.list()).AfterEnter(x).identical(Variant(x)));  // dy is empty: as typed
    EXPECT_EQ(errorOf([&] { yjGg(picks.list()).AfterEnter(x); }), ostrel::err::DbTableNotFound);
    EXPECT_EQ(errorOf([&] { yjGg(picks.list()).AfterF3(x); }), ostrel::err::DbTableNotFound);
    struct Case { const char* what; tessel::InputProcessRef lookup; QString typed; Qt::Key key; bool stored; };
    const std::vector<Case> cases = {
        {"cancelled pick", std::make_shared<yjGrc>(picks.list()), "0", Qt::Key_Return, false},
        {"cancelled F3 pick", std::make_shared<yjGrc>(picks.list()), "0", Qt::Key_F3, false},
        {"missing table", std::make_shared<yjGg>(picks.list()), "where", Qt::Key_Return, false},
        {"empty table", std::make_shared<yjHj>(picks.list()), "new", Qt::Key_Return, true},
    };
    for (const Case& c : cases) {
        picks.offered.clear();
        QWidget window;
        auto* cell = new tessel::invar(&window);
        cell->setValueType(QStringLiteral("c"));
        cell->setValue(QString("이전"));
        cell->setInputProcess(c.lookup);
        ASSERT_TRUE(vendra::test::showActive(&window) && vendra::test::focusOn(cell->Text1()));
        QTest::keyClicks(cell->Text1(), c.typed);
        QTest::keyClick(cell->Text1(), c.key);
        EXPECT_EQ(cell->Text1()->text(), c.typed) << c.what;
        EXPECT_EQ(cell->value(), Variant(c.stored ? c.typed : QString("이전"))) << c.what;
        EXPECT_EQ(cell->mode(), c.stored ? tessel::invar::Mode::Selected : tessel::invar::Mode::Editing) << c.what;
        EXPECT_EQ(picks.offered.size(), c.what[0] == 'c' ? 1u : 0u) << c.what;  // the pick list did come up
    }
    sembrin::pptPublicValue().setZepDb(nullptr);
    EXPECT_EQ(yjGrc(picks.list()).AfterEnter(dotted), Variant(plain));  // the dot needs no database
    EXPECT_EQ(errorOf([&] { yjGrc(picks.list()).AfterEnter(plain); }), ostrel::err::DbClosed);
}

TEST_F(Lookups, SortKeysPutCodedRecordsFirstGroupsWarehousesAndPartnerDataComeFromTheirTablesPatternsMatch) {
    fncPrj prj(clock);
    fncGrc grc(clock);
    fnc사업자 f;
    const std::vector<std::pair<std::function<QString()>, const char*>> cases = {
        {[&] { return prj.GroupOrder("서울"); }, "A01 서울"}, {[&] { return prj.GroupOrder("지방"); }, "B지방"},
        {[&] { return prj.GroupOrder("없음"); }, "B없음"}, {[&] { return prj.CgOrder("본창고"); }, "A05 본창고"},
        {[&] { return prj.GjOrder("현금"); }, "A101 현금"}, {[&] { return prj.PdOrder("배추"); }, "AP1 배추"},
        {[&] { return prj.PdOrder("단종품"); }, "B단종품"},  // withdrawn
        {[&] { return grc.GrcOrder(ob); }, "A030 O'Brien \\ #1"}, {[&] { return grc.GrcOrder("폐업상사"); }, "B폐업상사"},
        {[&] { return grc.grc2code(ob); }, "030"}, {[&] { return grc.grc2group(ob); }, "서울"},
        {[&] { return grc.grc2code("폐업상사"); }, ""}, {[&] { return grc.grc2group("없음"); }, ""},
        {[&] { return prj.gj2gb("현금"); }, "자산"}, {[&] { return prj.gj2gb("미지급금"); }, "부채"},
        {[&] { return prj.gj2gb("잡손실"); }, "비용"}, {[&] { return prj.gj2gb("이상한것"); }, "비용"},
        {[&] { return prj.gj2gb("없는계정"); }, "비용"},
        {[&] { return f.grc2ci("*"); }, "*"}, {[&] { return f.ci2grc("123-45-67890"); }, "O'Brien \\ #1"},
        // A withdrawn partner has no data, and nobody holds its number; a quote is only a character.
        {[&] { return f.grc2상호("폐업상사"); }, ""}, {[&] { return f.ci2grc("999-99-99999"); }, ""},
        {[&] { return f.grc2상호("x' OR '1'='1"); }, ""},
    };
    for (const auto& [call, expected] : cases) EXPECT_EQ(call(), QString::fromUtf8(expected)) << expected;
    using Field = QString (fnc사업자::*)(const QString&) const;  // the partner's data by name
    for (auto [field, value] : std::vector<std::pair<Field, const char*>>{
             {&fnc사업자::grc2사업자등록번호, "123-45-67890"}, {&fnc사업자::grc2상호, "오브라이언"}, {&fnc사업자::grc2성명, "오"},
             {&fnc사업자::grc2주소, "서울시"}, {&fnc사업자::grc2업태, "도매"}, {&fnc사업자::grc2종목, "채소"},
             {&fnc사업자::grc2이메일, "o@b.kr"}, {&fnc사업자::grc2전화, "02-1"}, {&fnc사업자::grc2비고, "메모"},
             {&fnc사업자::grc2ci, "123-45-67890"}})
        EXPECT_EQ((f.*field)(ob), QString::fromUtf8(value)) << value;
    EXPECT_TRUE(prj.IsCg("본창고") && !prj.IsCg("매장") && !prj.IsCg("없음"));  // a warehouse by its gb
    struct Pattern { const char* a; const char* pattern; bool match; };
    for (const Pattern& c : std::vector<Pattern>{
             {"아무거나", "*", true}, {"", "*", true}, {"서울상회", "*상회", true}, {"상회서울", "*상회", false},
             {"서울상회", "서울*", true}, {"서울", "서울*", true}, {"부산상회", "서울*", false}, {"상회서울", "서울*", false},
             {"서울상회", "*울상*", true}, {"부산상회", "*울상*", false}, {"x", "**", true},
             {"서울", "서울", true}, {"서울상회", "서울", false}, {"서울", "서울 ", false}})
        EXPECT_EQ(prj.IsPertinent(c.a, c.pattern), c.match) << c.a << " " << c.pattern;
    sembrin::pptPublicValue().setZepDb(nullptr);
    vendra::test::expectError(ostrel::err::DbClosed, [&] { f.grc2상호(ob); });
}

TEST_F(Lookups, CachesReloadOnlyAfterMoreThanTenIdleSeconds) {
    fncPrj prj(clock);
    fncGrc grc(clock);
    EXPECT_TRUE(prj.GroupOrder("신규") == "B신규" && !prj.IsCg("새창고") && grc.grc2code("새거래처").isEmpty());
    ledger.record("gr", "신규", "05");
    ledger.record("cg", "새창고", "3", "", "창고");
    ledger.partner("새거래처", "55");
    // Calls 9 seconds apart keep every cache, however long in all; exactly 10 seconds is not more than 10.
    for (int seconds : {9, 9, 9, 10}) {
        now.serial += seconds / 86400.0;
        EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("B신규")) << seconds;
    }
    now.serial += 11 / 86400.0;
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("A05 신규"));
    // Each function keeps its own cache and its own last call.
    EXPECT_TRUE(prj.IsCg("새창고") && grc.grc2code("새거래처") == QStringLiteral("55"));
    EXPECT_EQ(grc.GrcOrder("새거래처"), QStringLiteral("A55 새거래처"));  // first call of this one
    now.serial -= 1;  // a clock set back cannot tell how long it was: reload
    ledger.db->Execute(QStringLiteral("UPDATE gr SET code='06' WHERE gr='신규'"));
    EXPECT_EQ(prj.GroupOrder("신규"), QStringLiteral("A06 신규"));
}
