// The code lookups against a seeded ledger: Enter's resolution order, the candidates and their
// order, F3, the validating filters, and what a cell does when a lookup cannot answer.
#include "ErrorNumber.h"
#include "LedgerSeed.h"
#include "RecordingFeedback.h"
#include "sorvic/Lookups.h"
#include "sorvic/yjGjgb.h"

#include "ostrel/RuntimeError.h"
#include "sembrin/Settings.h"
#include "tessel/invar.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace sorvic;
using ostrel::Variant;
using vendra::test::errorOf;

namespace {

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

struct Lookups : ::testing::Test {
    vendra::test::ScopedLedger ledger;
    ostrel::DatabaseRef db = ledger.db;
    Picks picks;
    Lookups() {
        for (auto [name, code, yj] : std::vector<std::array<const char*, 3>>{
                 {"배추상회", "007", "배"}, {"무역상사", "", "무"}, {"감자농원", "010", "감"}, {"고구마농원", "011", "감"},
                 {"가나상사", "020", "ab"}, {"다라상사", "021", "ab"}, {"마바상사", "ab", ""}, {"O'Brien \\ #1", "030", "ob"}})
            ledger.partner(name, code, yj);
        ledger.partner("폐업상사", "099", "폐", true);
        ledger.record("cg", "본창고", "05");
        ledger.record("cg", "보조창고", "005");
    }
};

}  // namespace

TEST_F(Lookups, EnterResolvesByNameAbbreviationCodeZerosAndSyllablesInThatOrder) {
    struct Case { const char* typed; const char* expected; QStringList offered; };
    const std::vector<Case> cases = {
        {"", "", {}}, {"*", "*", {}}, {"배추상회", "배추상회", {}}, {"배", "배추상회", {}}, {"007", "배추상회", {}},
        {"7", "배추상회", {}},     // the code without its leading zeros
        {"ab", "마바상사", {}},    // two share the abbreviation: the code decides
        {"추회", "배추상회", {}},  // syllables of one name only
        {"O'Brien \\ #1", "O'Brien \\ #1", {}}, {"ob", "O'Brien \\ #1", {}}, {"30", "O'Brien \\ #1", {}},
        {"'; DROP", "'; DROP", {}}, {"zzz", "zzz", {}},  // nothing matches: as typed, no pick list
        {"폐업상사", "폐업상사", {}},                     // withdrawn: not found
        {"농원", "감자농원", {"감자농원", "고구마농원"}},
        // Coded records first, in code order; the uncoded one last.
        {"상", "배추상회", {"배추상회", "가나상사", "다라상사", "마바상사", "무역상사"}},
    };
    for (const Case& c : cases) {
        picks.offered.clear();
        QString x = QString(c.typed);
        EXPECT_EQ(yjGrc(picks.list()).AfterEnter(x), Variant(QString(c.expected))) << c.typed;
        EXPECT_EQ(picks.offered, c.offered.empty() ? std::vector<QStringList>{} : std::vector{c.offered})
            << c.typed;
    }
    // Two codes that both read "5" without their zeros: the pick offers both, with the text typed.
    QString five = QStringLiteral("5");
    EXPECT_EQ(yjCg(picks.list()).AfterEnter(five), Variant(QString("보조창고")));
    EXPECT_EQ(picks.offered.back(), QStringList({"보조창고", "본창고"}));
    EXPECT_EQ(picks.texts.back(), five);
}

TEST_F(Lookups, CancelledPicksMissingTablesAndNoDatabase) {
    picks.cancel = true;
    QString x = QString("농원"), dotted = QString("배추."), plain = QString("배추");
    EXPECT_TRUE(yjGrc(picks.list()).AfterEnter(x).isNull());
    EXPECT_TRUE(yjDy(picks.list()).AfterEnter(x).identical(Variant(x)));  // dy is empty: as typed
    db->DeleteTable(QStringLiteral("gg"));
    EXPECT_EQ(errorOf([&] { yjGg(picks.list()).AfterEnter(x); }), ostrel::err::DbTableNotFound);
    EXPECT_EQ(errorOf([&] { yjGg(picks.list()).AfterF3(x); }), ostrel::err::DbTableNotFound);
    sembrin::pptPublicValue().setZepDb(nullptr);
    EXPECT_EQ(yjGrc(picks.list()).AfterEnter(dotted), Variant(plain));  // the dot needs no database
    EXPECT_EQ(errorOf([&] { yjGrc(picks.list()).AfterEnter(plain); }), ostrel::err::DbClosed);
    EXPECT_EQ(picks.offered.size(), 1u);
}

TEST_F(Lookups, F3OffersTheCandidatesOrEverythingForAWholeNameWithFixedWidthTitles) {
    const auto all = QStringList({"배추상회", "감자농원", "고구마농원", "가나상사", "다라상사", "O'Brien \\ #1", "마바상사", "무역상사"});
    const std::vector<std::pair<const char*, QStringList>> cases = {
        {"배추상회", all},  // already whole: everything, withdrawn partners left out
        {"", all}, {"농", QStringList({"감자농원", "고구마농원"})}, {"01", QStringList({"감자농원", "고구마농원"})},  // the code's start
        {"2", QStringList({"가나상사", "다라상사"})}, {"없는것", {}},  // the start of the code without zeros; nothing
    };
    for (const auto& [typed, offered] : cases) {
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
    ledger.record("gj", "현금", "101");
    vendra::test::addRecord(*db, "pd", {{"pd", QString("배추")}, {"deleted", false}});
    vendra::test::addRecord(*db, "pd", {{"pd", QString("단종품")}, {"deleted", true}});
    struct Filter { tessel::InputProcessRef lookup; QString setting, refusal; };
    namespace s = sembrin::setting;
    const Filter grc{std::make_shared<yjGrc>(), s::RegisteredPartnersOnly(), QString("거래처코드에 기초등록이 되어 있지 않습니다.")},
        gj{std::make_shared<yjGj>(), s::RegisteredAccountsOnly(), QString("계정코드에 기초등록이 되어 있지 않습니다.")},
        pd{std::make_shared<yjPd>(), s::RegisteredProductsOnly(), QString("품목코드에 기초등록이 되어 있지 않습니다.")},
        cg{std::make_shared<yjCg>(), s::RegisteredPartnersOnly(), {}};
    struct Case { const Filter& f; const char* value; bool on, refused; };
    const std::vector<Case> cases = {
        {grc, "없는거래처", false, false}, {grc, "배추상회", true, false}, {grc, "O'Brien \\ #1", true, false},
        {grc, "*", true, false}, {grc, "없는거래처", true, true}, {grc, "폐업상사", true, true},
        {gj, "현금", true, false}, {gj, "현금'", true, true}, {pd, "배추", true, false}, {pd, "단종품", true, true},
        {pd, "단종품", false, false}, {cg, "없는창고", true, false},
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
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"1", "자산"}, {"자산", "자산"}, {"자", "자산"}, {"산", "자산"}, {"2", "부채"}, {"부", "부채"}, {"채", "부채"},
        {"3", "자본"}, {"자본", "자본"}, {"본", "자본"}, {"4", "수익"}, {"수", "수익"}, {"익", "수익"}, {"5", "비용"},
        {"비", "비용"}, {"용", "비용"}, {"", "비용"}, {"6", "비용"}, {"자산총계", "비용"}};
    Picks picks;
    yjGjgb gb(picks.list());
    for (auto [typed, group] : cases) {
        QString x = typed;
        EXPECT_EQ(gb.AfterEnter(x), Variant(group)) << typed;
    }
    QString x = "자";
    Variant any = x;
    EXPECT_EQ(gb.AfterF3(x), Variant(QString("자산")));
    EXPECT_EQ(picks.texts, QStringList{QString()});
    EXPECT_EQ(picks.titles.front(), QStringList({"1 자산", "2 부채", "3 자본", "4 수익", "5 비용"}));
    EXPECT_TRUE(gb.LastFilter(any));
}

// A cell whose lookup cannot answer keeps the typed text and goes on editing.
TEST_F(Lookups, CellsKeepTheTypedTextWhenTheLookupCannotAnswer) {
    db->DeleteTable(QStringLiteral("gg"));
    picks.cancel = true;
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
        window.show();
        QApplication::setActiveWindow(&window);
        cell->Text1()->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return cell->Text1()->hasFocus(); }));
        QTest::keyClicks(cell->Text1(), c.typed);
        QTest::keyClick(cell->Text1(), c.key);
        EXPECT_EQ(cell->Text1()->text(), c.typed) << c.what;
        EXPECT_EQ(cell->value(), Variant(c.stored ? c.typed : QString("이전"))) << c.what;
        EXPECT_EQ(cell->mode(), c.stored ? tessel::invar::Mode::Selected : tessel::invar::Mode::Editing) << c.what;
        EXPECT_EQ(picks.offered.size(), c.what[0] == 'c' ? 1u : 0u) << c.what;  // the pick list did come up
    }
}
