// The code lookups against a seeded ledger: Enter's resolution order, the candidates and their
// order, F3, the validating filters, and what a cell does when a lookup cannot answer.
#include "ErrorNumber.h"
#include "Ledger.h"
#include "RecordingFeedback.h"
#include "sorvic/Lookups.h"
#include "sorvic/yjGjgb.h"

#include "ostrel/RuntimeError.h"
#include "ostrel/fncString.h"
#include "sembrin/Settings.h"
#include "tessel/invar.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace sorvic;
using ostrel::Variant;
using vendra::test::addRecord;
using vendra::test::errorOf;

namespace {

// Stands in for the pick list: records what was offered and answers with the first value, or
// null (a cancelled pick) when `cancel` is set.
struct Picks {
    QStringList texts;
    std::vector<QStringList> offered, titles;
    bool cancel = false;
    PickList list() {
        return [this](const QString& text, const ostrel::clsTable& rows) {
            texts << text;
            QStringList values, shown;
            for (int i = 0; i < rows.RecCount(); ++i) {
                values << rows.Cell(i, 0).toString();
                shown << rows.Cell(i, 1).toString();
            }
            offered.push_back(values);
            titles.push_back(shown);
            return cancel || values.isEmpty() ? Variant::null() : Variant(values.front());
        };
    }
};

QString spaces(int n) { return QString(n, u' '); }

struct Lookups : test::LedgerTest {
    Picks picks;
    void SetUp() override {
        LedgerTest::SetUp();
        partner("배추상회", "007", "배");
        partner("무역상사", "", "무");
        partner("감자농원", "010", "감");
        partner("고구마농원", "011", "감");
        partner("가나상사", "020", "ab");
        partner("다라상사", "021", "ab");
        partner("마바상사", "ab", "");
        partner("O'Brien \\ #1", "030", "ob");
        partner("폐업상사", "099", "폐", true);
        record("cg", "본창고", "05", "", "창고");
        record("cg", "보조창고", "005", "", "창고");
    }
};

}  // namespace

TEST_F(Lookups, EnterResolvesByNameAbbreviationCodeZerosAndSyllablesInThatOrder) {
    struct Case { const char* typed; const char* expected; std::vector<const char*> offered; };
    const std::vector<Case> cases = {
        {"", "", {}},
        {"*", "*", {}},
        {"배추상회", "배추상회", {}},
        {"배", "배추상회", {}},             // the abbreviation
        {"007", "배추상회", {}},            // the code
        {"7", "배추상회", {}},              // the code without its leading zeros
        {"ab", "마바상사", {}},             // two share the abbreviation: the code decides
        {"추회", "배추상회", {}},           // syllables of one name only
        {"O'Brien \\ #1", "O'Brien \\ #1", {}},
        {"ob", "O'Brien \\ #1", {}},
        {"30", "O'Brien \\ #1", {}},
        {"'; DROP", "'; DROP", {}},         // matches nothing: as typed, no pick list
        {"zzz", "zzz", {}},
        {"폐업상사", "폐업상사", {}},       // withdrawn: not found, returned as typed
        {"농원", "감자농원", {"감자농원", "고구마농원"}},
        // Coded records first, in code order; the uncoded one last.
        {"상", "배추상회", {"배추상회", "가나상사", "다라상사", "마바상사", "무역상사"}},
    };
    for (const Case& c : cases) {
        picks.offered.clear();
        QString x = QString::fromUtf8(c.typed);
        EXPECT_EQ(yjGrc(picks.list()).AfterEnter(x), Variant(QString::fromUtf8(c.expected))) << c.typed;
        QStringList offered;
        for (const char* o : c.offered) offered << QString::fromUtf8(o);
        EXPECT_EQ(picks.offered.empty() ? QStringList() : picks.offered.front(), offered) << c.typed;
        EXPECT_LE(picks.offered.size(), 1u) << c.typed;
    }
    // Two codes that both read "5" without their zeros: the pick offers both.
    QString five = QStringLiteral("5");
    picks.offered.clear();
    EXPECT_EQ(yjCg(picks.list()).AfterEnter(five), Variant(QStringLiteral("보조창고")));
    EXPECT_EQ(picks.offered.front(), (QStringList{QStringLiteral("보조창고"), QStringLiteral("본창고")}));
    EXPECT_EQ(picks.texts.back(), five);
}

TEST_F(Lookups, ACancelledPickIsNullAndATrailingDotNeedsNoDatabase) {
    picks.cancel = true;
    QString x = QStringLiteral("농원");
    EXPECT_TRUE(yjGrc(picks.list()).AfterEnter(x).isNull());
    x = QStringLiteral("상");
    EXPECT_TRUE(yjDy(picks.list()).AfterEnter(x).identical(Variant(x)));  // dy is empty: as typed

    sembrin::pptPublicValue().setZepDb(nullptr);
    x = QStringLiteral("배추.");
    EXPECT_EQ(yjGrc(picks.list()).AfterEnter(x), Variant(QStringLiteral("배추")));
    x = QStringLiteral("배추");
    EXPECT_EQ(errorOf([&] { yjGrc(picks.list()).AfterEnter(x); }), ostrel::err::DbClosed);
}

TEST_F(Lookups, MissingTablesRaiseTheEnginesError) {
    db->DeleteTable(QStringLiteral("gg"));
    QString x = QStringLiteral("아무거나");
    EXPECT_EQ(errorOf([&] { yjGg(picks.list()).AfterEnter(x); }), ostrel::err::DbTableNotFound);
    EXPECT_EQ(errorOf([&] { yjGg(picks.list()).AfterF3(x); }), ostrel::err::DbTableNotFound);
    EXPECT_TRUE(picks.offered.empty());
}

TEST_F(Lookups, F3OffersTheCandidatesOrEverythingForAWholeName) {
    const QStringList all = {"배추상회", "감자농원", "고구마농원", "가나상사", "다라상사", "O'Brien \\ #1",
                             "마바상사", "무역상사"};
    struct Case { const char* typed; QStringList offered; };
    const std::vector<Case> cases = {
        {"배추상회", all},  // already whole: everything, withdrawn partners left out
        {"", all},
        {"농", {"감자농원", "고구마농원"}},
        {"01", {"감자농원", "고구마농원"}},  // the start of the code
        {"2", {"가나상사", "다라상사"}},      // the start of the code without zeros
        {"없는것", {}},
    };
    for (const Case& c : cases) {
        picks.offered.clear();
        QString x = QString::fromUtf8(c.typed);
        const Variant r = yjGrc(picks.list()).AfterF3(x);
        ASSERT_EQ(picks.offered.size(), 1u) << c.typed;
        EXPECT_EQ(picks.offered.front(), c.offered) << c.typed;
        EXPECT_EQ(picks.texts.back(), x);
        EXPECT_TRUE(r.identical(c.offered.isEmpty() ? Variant::null() : Variant(c.offered.front()))) << c.typed;
    }
}

TEST_F(Lookups, TitlesShowCodeNameAndAbbreviationInFixedWidths) {
    record("dy", "현금", "01");
    QString x = QStringLiteral("배추상회");
    yjGrc(picks.list()).AfterF3(x);
    EXPECT_EQ(picks.titles.front().front(),
              "007" + spaces(7) + " " + QStringLiteral("배추상회") + spaces(8) + " " + QStringLiteral("배") + spaces(8));
    EXPECT_EQ(picks.titles.front().last(), spaces(10) + " " + QStringLiteral("무역상사") + spaces(8) + " " +
                                               QStringLiteral("무") + spaces(8));
    x.clear();
    yjDy(picks.list()).AfterF3(x);
    EXPECT_EQ(picks.titles.back(), QStringList{"01" + spaces(4) + " " + QStringLiteral("현금") + spaces(2)});
}

TEST_F(Lookups, ValidatingFiltersRefuseUnregisteredValuesOnlyWithTheirSettingOn) {
    vendra::test::ScopedFeedback feedback;
    record("gj", "현금", "101");
    addRecord(*db, "pd", {{"pd", QStringLiteral("배추")}, {"code", QStringLiteral("1")}, {"deleted", false}});
    addRecord(*db, "pd", {{"pd", QStringLiteral("단종품")}, {"code", QStringLiteral("2")}, {"deleted", true}});
    sembrin::pptPublicValue pv;
    const QString partnerMsg = QStringLiteral("거래처코드에 기초등록이 되어 있지 않습니다.");
    const QString accountMsg = QStringLiteral("계정코드에 기초등록이 되어 있지 않습니다.");
    const QString productMsg = QStringLiteral("품목코드에 기초등록이 되어 있지 않습니다.");
    struct Case { std::shared_ptr<tessel::InputProcess> lookup; QString setting; const char* value; bool on; bool ok; QString message; };
    const std::vector<Case> cases = {
        {std::make_shared<yjGrc>(), sembrin::setting::RegisteredPartnersOnly(), "없는거래처", false, true, {}},
        {std::make_shared<yjGrc>(), sembrin::setting::RegisteredPartnersOnly(), "배추상회", true, true, {}},
        {std::make_shared<yjGrc>(), sembrin::setting::RegisteredPartnersOnly(), "O'Brien \\ #1", true, true, {}},
        {std::make_shared<yjGrc>(), sembrin::setting::RegisteredPartnersOnly(), "*", true, true, {}},
        {std::make_shared<yjGrc>(), sembrin::setting::RegisteredPartnersOnly(), "없는거래처", true, false, partnerMsg},
        {std::make_shared<yjGrc>(), sembrin::setting::RegisteredPartnersOnly(), "폐업상사", true, false, partnerMsg},
        {std::make_shared<yjGj>(), sembrin::setting::RegisteredAccountsOnly(), "현금", true, true, {}},
        {std::make_shared<yjGj>(), sembrin::setting::RegisteredAccountsOnly(), "현금'", true, false, accountMsg},
        {std::make_shared<yjPd>(), sembrin::setting::RegisteredProductsOnly(), "배추", true, true, {}},
        {std::make_shared<yjPd>(), sembrin::setting::RegisteredProductsOnly(), "단종품", true, false, productMsg},
        {std::make_shared<yjPd>(), sembrin::setting::RegisteredProductsOnly(), "단종품", false, true, {}},
        {std::make_shared<yjCg>(), sembrin::setting::RegisteredPartnersOnly(), "없는창고", true, true, {}},
    };
    for (const Case& c : cases) {
        feedback->messages.clear();
        pv.setInisetting(c.setting, c.on ? QStringLiteral("true") : QStringLiteral("FALSE"));
        Variant v(QString::fromUtf8(c.value));
        EXPECT_EQ(c.lookup->LastFilter(v), c.ok) << c.value;
        EXPECT_EQ(feedback->messages, c.message.isEmpty() ? QStringList() : QStringList{c.message}) << c.value;
        pv.setInisetting(c.setting, QString());
    }
}

TEST(AccountGroups, NumbersNamesAndSyllablesNameTheGroupAnythingElseIsExpenses) {
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"1", "자산"}, {"자산", "자산"}, {"자", "자산"}, {"산", "자산"}, {"2", "부채"}, {"부", "부채"}, {"채", "부채"},
        {"3", "자본"}, {"자본", "자본"}, {"본", "자본"}, {"4", "수익"}, {"수", "수익"}, {"익", "수익"},
        {"5", "비용"}, {"비", "비용"}, {"용", "비용"}, {"", "비용"}, {"6", "비용"}, {"자산총계", "비용"}};
    Picks picks;
    yjGjgb gb(picks.list());
    for (auto [typed, group] : cases) {
        QString x = QString::fromUtf8(typed);
        EXPECT_EQ(gb.AfterEnter(x), Variant(QString::fromUtf8(group))) << typed;
    }
    QString x = QStringLiteral("자");
    EXPECT_EQ(gb.AfterF3(x), Variant(QStringLiteral("자산")));
    EXPECT_EQ(picks.texts, QStringList{QString()});
    EXPECT_EQ(picks.titles.front(), (QStringList{"1 자산", "2 부채", "3 자본", "4 수익", "5 비용"}));
    Variant any(QStringLiteral("무엇이든"));
    EXPECT_TRUE(gb.LastFilter(any));
}

// A cell whose lookup cannot answer keeps the typed text and goes on editing.
TEST_F(Lookups, CellsKeepTheTypedTextWhenTheLookupCannotAnswer) {
    db->DeleteTable(QStringLiteral("gg"));
    picks.cancel = true;
    struct Case { const char* what; tessel::InputProcessRef lookup; QString typed; Qt::Key key; bool stored; };
    const std::vector<Case> cases = {
        {"cancelled pick", std::make_shared<yjGrc>(picks.list()), QStringLiteral("0"), Qt::Key_Return, false},
        {"cancelled F3 pick", std::make_shared<yjGrc>(picks.list()), QStringLiteral("0"), Qt::Key_F3, false},
        {"missing table", std::make_shared<yjGg>(picks.list()), QStringLiteral("where"), Qt::Key_Return, false},
        {"empty table", std::make_shared<yjHj>(picks.list()), QStringLiteral("new"), Qt::Key_Return, true},
    };
    for (const Case& c : cases) {
        picks.offered.clear();
        QWidget window;
        auto* cell = new tessel::invar(&window);
        cell->setValueType(QStringLiteral("c"));
        cell->setLength(16);
        cell->setValue(QStringLiteral("이전"));
        cell->setInputProcess(c.lookup);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        cell->Text1()->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return cell->Text1()->hasFocus(); }));
        QTest::keyClicks(cell->Text1(), c.typed);
        QTest::keyClick(cell->Text1(), c.key);
        EXPECT_EQ(cell->Text1()->text(), c.typed) << c.what;
        EXPECT_EQ(cell->value(), Variant(c.stored ? c.typed : QStringLiteral("이전"))) << c.what;
        EXPECT_EQ(cell->mode(), c.stored ? tessel::invar::Mode::Selected : tessel::invar::Mode::Editing) << c.what;
        EXPECT_EQ(picks.offered.size(), c.what[0] == 'c' ? 1u : 0u) << c.what;  // the pick list did come up
    }
}
