// The gallery's code lookups: a partner cell backed by yjGrc and a button that opens the period
// and partner panel, both against a small ledger database made for the run.
#include "LookupSection.h"

#include "keplin/fncPannel.h"
#include "ostrel/Database.h"
#include "ostrel/WindowFeedback.h"
#include "sembrin/pptPublicValue.h"
#include "sorvic/Lookups.h"
#include "tessel/Fonts.h"
#include "tessel/button.h"
#include "tessel/invar.h"

#include <QLabel>
#include <QTemporaryDir>

namespace {

// Partners and groups to search: codes with and without leading zeros, a shared abbreviation,
// an uncoded partner and a withdrawn one.
ostrel::DatabaseRef seededLedger(const QString& path) {
    using namespace ostrel;
    auto db = Database::Create(path);
    for (const char* t : {"grc", "gr"}) {
        const QString name = QString::fromLatin1(t);
        db->Append({name,
                    FieldList({{name, dbType::Text, 50, true}, {"code", dbType::Text, 10, true},
                               {"yj", dbType::Text, 10, true}, {"deleted", dbType::Boolean}}),
                    {{name, {name}, false}, {"code", {"code"}, false}, {"yj", {"yj"}, false}}});
    }
    struct R { const char* table; const char* name; const char* code; const char* yj; bool deleted; };
    const R rows[] = {{"grc", "배추상회", "007", "배", false}, {"grc", "감자농원", "010", "감", false},
                      {"grc", "고구마농원", "011", "감", false}, {"grc", "무역상사", "", "무", false},
                      {"grc", "O'Brien \\ #1", "030", "ob", false}, {"grc", "폐업상사", "099", "폐", true},
                      {"gr", "서울", "01", "서", false}, {"gr", "지방", "02", "지", false}};
    for (const R& r : rows) {
        Recordset rs = db->OpenRecordset(QString::fromLatin1(r.table));
        rs.AddNew();
        rs.setValue(QString::fromLatin1(r.table), QString::fromUtf8(r.name));
        rs.setValue("code", QString::fromUtf8(r.code));
        rs.setValue("yj", QString::fromUtf8(r.yj));
        rs.setValue("deleted", r.deleted);
        rs.Update();
    }
    return db;
}

}  // namespace

int addLookupSection(QWidget* window, int y, QLabel* status) {
    static QTemporaryDir dir;
    sembrin::pptPublicValue().setZepDb(seededLedger(dir.filePath(QStringLiteral("gallery.db"))));
    ostrel::setFeedback(std::make_shared<ostrel::WindowFeedback>());

    auto* label = new QLabel(QStringLiteral("거래처 (7, 배, 감, 농원, F3)"), window);
    label->setFont(tessel::captionFont(10));
    label->move(10, y + 4);
    auto* partner = new tessel::invar(window);
    partner->setValueType(QStringLiteral("C"));
    partner->setLength(16);
    partner->setInputProcess(std::make_shared<sorvic::yjGrc>(sorvic::codeInputPick(window)));
    partner->move(200, y);
    QObject::connect(partner, &tessel::invar::Modified, status, [status, partner] {
        status->setText(QStringLiteral("거래처: %1").arg(partner->value().toString()));
    });
    y += partner->height() + 4;

    auto* panel = new tessel::button(window);
    panel->setValue(QStringLiteral("기간과 거래처..."));
    panel->setFont_size(10);
    panel->setLength(16);
    panel->move(200, y);
    QObject::connect(panel, &tessel::button::keycommand, status, [status, window](int& k) {
        if (k != 13) return;
        ostrel::Date d1 = ostrel::DateSerial(2024, 3, 1), d2 = ostrel::DateSerial(2024, 3, 31);
        QString grc;
        keplin::fncPannel f;
        f.setParentWindow(window);
        const bool ok = f.in2dsg(d1, d2, grc);
        status->setText(ok ? QStringLiteral("기간과 거래처: %1").arg(grc) : QStringLiteral("취소"));
    });
    return y + panel->height() + 10;
}
