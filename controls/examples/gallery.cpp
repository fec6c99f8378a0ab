// Windows to try the controls by hand: a cell of each type, an output cell, a button and a grid
// of 20 rows with a lookup cell and a code panel against a small ledger; beside it a captioned grid
// and a sheet list of 50 sheets. `tessel-gallery --shot file.png` saves a picture of both windows and quits.
#include "LookupSection.h"
#include "ostrel/DateTime.h"
#include "ostrel/clsTable.h"
#include "tessel/Color.h"
#include "tessel/Fonts.h"
#include "tessel/MouseHelper.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"
#include "tessel/abo.h"
#include "tessel/button.h"
#include "tessel/invar.h"
#include "tessel/mrform.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

using namespace tessel;
using ostrel::Variant;

namespace {

QString sheetNumber(int i) { return QStringLiteral("S%1").arg(i, 4, 10, QLatin1Char('0')); }

// A captioned grid over a sheet list of 50 sheets, with a container that does the sheets' work.
void buildLists(QWidget& lists) {
    lists.setWindowTitle(QStringLiteral("Tessel 목록 견본"));
    QLabel* status = new QLabel(&lists);
    status->setFont(captionFont(10));

    auto* captioned = new abo(&lists);
    captioned->setMaxrow(5);
    captioned->setFontsize(10);
    captioned->setUpExit(true);
    captioned->setDoubleEnterExit(true);
    captioned->setStru(makeStru({fieldDef("C", 12, 0, "품목"), fieldDef("C", 6, 0, "단위"), fieldDef("N", 8, 0, "수량")}));
    captioned->setCaption(QStringLiteral("주문 품목"));
    const char* goods[] = {"배추", "양파", "감자"};
    int n = 0;
    for (const char* g : goods)
        captioned->appendrec(Variant::array({Variant(g), Variant("kg"), Variant(int32_t(++n * 10))}));
    captioned->setValue(captioned->value());
    captioned->move(10, 10);
    QObject::connect(captioned, &abo::keycommand, status, [status](int& k) {
        status->setText(QStringLiteral("captioned keycommand %1").arg(k));
    });

    auto* list = new mrform(&lists);
    list->setExt(makeStru({fieldDef("D", 10, 0, QStringLiteral("일자")), fieldDef("C", 14, 0, QStringLiteral("거래처")),
                           fieldDef("N", 10, 0, QStringLiteral("금액"))}));
    list->prepare();
    auto sheets = std::make_shared<ostrel::clsTable>();
    sheets->setNOF(4);
    const char* partners[] = {"가나상회", "푸른농산", "한빛유통", "새벽시장", "들녘농장"};
    for (int i = 0; i < 50; ++i) {
        sheets->AppendRec(Variant::array({Variant(sheetNumber(i + 1)), Variant(ostrel::DateSerial(2024, 3, 1 + i % 28)),
                                          Variant(QString::fromUtf8(partners[i % 5])),
                                          Variant(ostrel::Currency::fromInt(10000 + i * 1250))}));
    }
    list->setvalue(sheets);
    list->GotoEnd(true);
    list->move(10, captioned->y() + captioned->height() + 10);
    int next = 51;
    auto title = [list](const QString& number, const QString& partner) {
        const ostrel::clsTable& t = *list->value();
        Variant v = Variant::array({Variant(number), Variant(ostrel::DateSerial(2024, 3, 31)), Variant(partner),
                                    Variant(ostrel::Currency::fromInt(0))});
        if (list->EditRec() < t.RecCount()) v.toArray().at(3) = t.Cell(list->EditRec(), 3);
        return v;
    };
    QObject::connect(list, &mrform::NewSheet, list, [list, title, next, status]() mutable {
        list->AddTitle(title(sheetNumber(next++), QStringLiteral("새 거래처")));
        status->setText(QStringLiteral("새전표 %1").arg(list->Shno()));
    });
    QObject::connect(list, &mrform::CopySheet, list, [list, title, status](QString& s) {
        const QString partner = list->value()->Cell(list->EditRec(), 2).toString();
        list->AddTitle(title(s + QStringLiteral("-1"), partner));
        status->setText(QStringLiteral("복제 %1").arg(s));
    });
    QObject::connect(list, &mrform::EditSheet, list, [list, title, status](QString& s) {
        const QString partner = list->value()->Cell(list->EditRec(), 2).toString();
        list->EditTitle(title(s, partner.endsWith(QLatin1Char('*')) ? partner.chopped(1) : partner + "*"));
        status->setText(QStringLiteral("수정 %1").arg(s));
    });
    QObject::connect(list, qOverload<QString&>(&mrform::DeleteSheet), list, [list, status](QString& s) {
        list->DeleteTitle(Variant::array({Variant(s)}));
        status->setText(QStringLiteral("삭제 %1").arg(s));
    });
    QObject::connect(list, &mrform::EndMr, status, [status] { status->setText(QStringLiteral("EndMr")); });

    const int y = list->y() + list->height() + 6;
    status->move(10, y);
    status->resize(list->width(), 20);
    lists.resize(std::max(list->width(), captioned->width()) + 20, y + 30);
    list->setFocus();  // the keys go to the sheet list when its window is activated
}

// Both windows side by side in one picture.
QPixmap sideBySide(QWidget& left, QWidget& right) {
    const QPixmap a = left.grab(), b = right.grab();
    QPixmap out(a.width() + 10 + b.width(), std::max(a.height(), b.height()));
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawPixmap(0, 0, a);
    p.drawPixmap(a.width() + 10, 0, b);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    registerFontSubstitutions();
    QString shot;
    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--shot")); i >= 0 && i + 1 < args.size()) shot = args[i + 1];

    QWidget window;
    window.setWindowTitle(QStringLiteral("Tessel 컨트롤 견본"));
    QLabel* status = new QLabel(&window);
    status->setFont(captionFont(10));

    struct Row { const char* label; const char* type; int length; int dec; Variant value; };
    const Row rows[] = {
        {"문자 (C)", "C", 20, 0, Variant(QStringLiteral("가나다 상회"))},
        {"숫자 (N)", "N", 12, 2, Variant(ostrel::Currency::fromDouble(1234567.5))},
        {"날짜 (D)", "D", 10, 0, Variant(ostrel::DateSerial(2024, 3, 15))},
        {"표시 (B)", "B", 2, 0, Variant(true)},
    };
    int y = 10;
    std::vector<invar*> cells;
    for (const Row& r : rows) {
        QLabel* l = new QLabel(QString::fromUtf8(r.label), &window);
        l->setFont(captionFont(10));
        l->move(10, y + 4);
        auto* c = new invar(&window);
        c->setValueType(QString::fromLatin1(r.type));
        c->setDec(r.dec);
        c->setLength(r.length);
        c->setValue(r.value);
        c->move(90, y);
        QObject::connect(c, &invar::keycommand, status, [status](int& k) {
            status->setText(QStringLiteral("keycommand %1").arg(k));
        });
        cells.push_back(c);
        y += c->height() + 4;
    }
    auto* out = new outvar(&window);
    out->setValueType(QStringLiteral("C"));
    out->setLength(24);
    out->setBackColor(RGB(255, 255, 255));
    out->setValue(QStringLiteral("읽기 전용 A&B 출력 칸"));
    out->move(90, y);
    y += out->height() + 4;
    auto* ok = new button(&window);
    ok->setValue(QStringLiteral("확인"));
    ok->setFont_size(10);
    ok->setLength(6);
    ok->move(90, y);
    QObject::connect(ok, &button::keycommand, status, [status](int& k) {
        status->setText(QStringLiteral("button keycommand %1").arg(k));
    });
    y += ok->height() + 10;
    y = addLookupSection(&window, y, status);

    auto* grid = new ab(&window);
    grid->setMaxrow(20);
    grid->setFontsize(10);
    grid->setStru(makeStru({
        fieldDef("N", 4, 0, QStringLiteral("번호"), Variant("NOTSTOP")),
        fieldDef("C", 16, 0, QStringLiteral("품목")),
        fieldDef("C", 6, 0, QStringLiteral("단위")),
        fieldDef("N", 8, 1, QStringLiteral("수량")),
        fieldDef("N", 10, 0, QStringLiteral("단가")),
        fieldDef("B", 2, 0, QStringLiteral("세")),
        fieldDef("D", 8, 0, QStringLiteral("납품일")),
    }));
    auto table = std::make_shared<ostrel::clsTable>();
    table->setNOF(7);
    const char* items[] = {"배추", "무", "대파", "양파", "감자", "고구마", "당근", "오이", "애호박", "시금치",
                           "상추", "깻잎", "마늘", "생강", "사과", "배", "귤", "딸기", "토마토", "포도",
                           "수박", "참외", "복숭아", "자두", "키위"};
    int n = 0;
    for (const char* it : items) {
        table->AppendBlank();
        table->setFields(0, Variant(int16_t(++n)));
        table->setFields(1, Variant(QString::fromUtf8(it)));
        table->setFields(2, Variant(n % 3 ? QStringLiteral("kg") : QStringLiteral("상자")));
        table->setFields(3, Variant(ostrel::Currency::fromDouble(n * 1.5)));
        table->setFields(4, Variant(ostrel::Currency::fromInt(1000 + n * 250)));
        table->setFields(5, n % 2 ? Variant(true) : Variant(false));
        table->setFields(6, Variant(ostrel::DateSerial(2024, 3, n)));
    }
    grid->setValue(table);
    grid->move(10, y);
    QObject::connect(grid, &ab::CellGotFocus, status, [status](int& rec, int& fie, int& lastkey, int&) {
        status->setText(QStringLiteral("레코드 %1, 필드 %2 (lastkey %3)").arg(rec).arg(fie).arg(lastkey));
    });
    QObject::connect(grid, &ab::keycommand, status, [status](int& k) {
        status->setText(QStringLiteral("grid keycommand %1").arg(k));
    });
    auto* wheel = new MouseHelper(&window);
    wheel->attach(grid);
    y += grid->height() + 6;
    status->move(10, y);
    status->resize(grid->width(), 20);
    window.resize(std::max(grid->width() + 20, 420), y + 30);
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);  // no window manager under Xvfb
    cells[0]->setFocus();

    QWidget lists;
    buildLists(lists);
    lists.move(window.x() + window.width() + 20, window.y());
    lists.show();

    if (!shot.isEmpty()) {
        QTimer::singleShot(300, &window, [&] {
            grid->setFocus();
            QTimer::singleShot(200, &window, [&] {
                sideBySide(window, lists).save(shot);
                app.quit();
            });
        });
    }
    return app.exec();
}
