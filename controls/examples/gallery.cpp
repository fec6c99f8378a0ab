// A window to try the controls by hand: a cell of each type, an output cell, a button and a grid
// of 20 rows. `tessel-gallery --shot file.png` saves a picture of the window and quits.
#include "LookupSection.h"
#include "ostrel/DateTime.h"
#include "ostrel/clsTable.h"
#include "tessel/Color.h"
#include "tessel/Fonts.h"
#include "tessel/MouseHelper.h"
#include "tessel/Stru.h"
#include "tessel/Twips.h"
#include "tessel/ab.h"
#include "tessel/button.h"
#include "tessel/invar.h"
#include "tessel/outvar.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

using namespace tessel;
using ostrel::Variant;

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

    if (!shot.isEmpty()) {
        QTimer::singleShot(300, &window, [&] {
            grid->setFocus();
            QTimer::singleShot(200, &window, [&] {
                window.grab().save(shot);
                app.quit();
            });
        });
    }
    return app.exec();
}
