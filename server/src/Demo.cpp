#include "Demo.h"

#include <vendra/order/ProductKey.h>
#include <vendra/order/Vat.h>

#include <QDate>
#include <ostream>

namespace vendra::server {

namespace {

struct DemoProduct {
    const char* name;
    const char* unit;
    int priceA;
    const char* vat;
};

// Fresh produce is tax-free; processed goods carry VAT, some priced without it ("+"), some with ("/").
const DemoProduct kCatalogue[] = {
    {"사과", "10kg박스", 45000, ""},     {"배", "7.5kg박스", 52000, ""},    {"감귤", "5kg박스", 18000, ""},
    {"딸기", "2kg", 24000, ""},          {"포도 캠벨", "4kg박스", 28000, ""}, {"수박", "", 19000, ""},
    {"참외", "3kg", 21000, ""},          {"복숭아", "4.5kg박스", 36000, ""}, {"배추", "망", 9000, ""},
    {"무", "개", 1800, ""},              {"양파", "15kg망", 17000, ""},      {"대파", "단", 2500, ""},
    {"감자", "10kg박스", 26000, ""},     {"고구마", "5kg박스", 19000, ""},   {"당근", "kg", 3200, ""},
    {"오이", "50개", 27000, ""},         {"애호박", "개", 1300, ""},         {"시금치", "kg", 5600, ""},
    {"상추", "4kg박스", 16000, ""},      {"깻잎", "100장", 2800, ""},        {"깐마늘", "kg", 11000, ""},
    {"생강", "kg", 9500, ""},            {"쌀", "20kg포", 58000, ""},        {"계란 특란", "30구판", 7900, ""},
    {"두부", "모", 1500, ""},            {"콩나물", "4kg", 6500, ""},        {"포기김치", "10kg", 42000, "+"},
    {"참기름", "1.8L병", 23000, "+"},    {"진간장", "13L통", 31000, "+"},    {"고추장", "14kg통", 54000, "+"},
    {"된장", "14kg통", 38000, "+"},      {"식용유", "18L통", 62000, "+"},    {"백설탕", "15kg포", 27500, "+"},
    {"중력 밀가루", "20kg포", 24500, "+"}, {"생수", "2L*6병", 4400, "/"},    {"사과주스", "1.5L병", 3300, "/"},
    {"커피믹스", "100T박스", 13200, "/"}, {"냉동 만두", "1.4kg봉", 9900, "/"}, {"어묵", "1kg봉", 6600, "/"},
    {"김", "전장100매", 16500, "/"},
};

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

int priceB(int a) { return (a * 105 / 100 + 50) / 100 * 100; }

OrderLine orderLine(const DemoProduct& p, double quantity, const QString& remark) {
    Currency q = Currency::fromDouble(quantity);
    Currency price = Currency::fromInt(p.priceA);
    const VatSplit t = SplitVat(u(p.vat), LineAmount(q, price));
    return OrderLine{JoinProductKey(u(p.name), u(p.unit)), q, price, u(p.vat), t.supply, t.tax, t.total, remark};
}

void printLogins(std::ostream& out) {
    out << "  receiver ID: " << kDemoReceiver << "\n"
        << "  orderer ID:  " << kDemoOrderer1 << "  password: " << kDemoPassword1 << "  (price grade A)\n"
        << "  orderer ID:  " << kDemoOrderer2 << "  password: " << kDemoPassword2 << "  (price grade B)\n";
}

}  // namespace

void SeedDemo(Store& store, HashStrength strength, std::ostream& out) {
    const QString marker = QStringLiteral("demo_seeded");
    if (store.setting(marker)) {
        out << "demo data is already in the store (seeded " << store.setting(marker)->toStdString() << "):\n";
        printLogins(out);
        return;
    }
    const QString receiver = u(kDemoReceiver);
    store.addReceiver(receiver, u("초록농산"));
    for (auto [id, pw, grade] :
         {std::tuple{kDemoOrderer1, kDemoPassword1, "A"}, std::tuple{kDemoOrderer2, kDemoPassword2, "B"}}) {
        if (!store.orderer(receiver, u(id)))
            store.addOrderer(OrdererRecord{receiver, u(id), u(grade), HashPassword(u(pw), strength)});
    }

    std::vector<PriceRow> prices;
    for (const DemoProduct& p : kCatalogue) {
        prices.push_back(PriceRow{u(p.name), u(p.unit), u("A"), Currency::fromInt(p.priceA), u(p.vat)});
        prices.push_back(PriceRow{u(p.name), u(p.unit), u("B"), Currency::fromInt(priceB(p.priceA)), u(p.vat)});
    }
    store.importPrices(receiver, prices);

    store.setNotice(receiver, u("*"),
                    u("[공지] 초록농산 발주 안내\r\n오전 9시까지 들어온 발주는 당일 배송, 이후 발주는 다음 날 배송됩니다.\r\n"
                      "일요일은 배송이 없습니다."));
    store.setNotice(receiver, u("A"), u("[A 등급 거래처] 이번 주 사과와 배는 박스당 2,000원 할인된 가격입니다."));

    // shop01 orders from a chosen part of the catalogue; shop02 sees everything.
    std::vector<QString> display;
    for (size_t i = 0; i < std::size(kCatalogue); i += 2)
        display.push_back(JoinProductKey(u(kCatalogue[i].name), u(kCatalogue[i].unit)));
    store.replaceDisplayList(receiver, u(kDemoOrderer1), display);

    // Yesterday's order of shop01, already accepted by the supplier: on yesterday, so the morning's
    // first order (for today, before nine) is not locked by it.
    const QDate today = QDate::currentDate();
    const QString acceptedDate = today.addDays(-1).toString(Qt::ISODate);
    const OrderKey accepted{receiver, u(kDemoOrderer1), acceptedDate};
    store.replaceOrder(accepted,
                       {orderLine(kCatalogue[0], 3, u("흠집 없는 것으로")), orderLine(kCatalogue[8], 10, QString()),
                        orderLine(kCatalogue[12], 2, QString()), orderLine(kCatalogue[26], 1, QString()),
                        orderLine(kCatalogue[34], 5.5, u("박스 단위"))},
                       u("오전 중에 배송 부탁드립니다."));
    store.acceptOrder(accepted);

    // Deliveries of the last two weeks, a few lines on most days.
    std::vector<DeliveryRow> rows;
    for (int back = 14; back >= 1; --back) {
        if (back % 3 == 0) continue;
        const QString date = today.addDays(-back).toString(Qt::ISODate);
        for (int k = 0; k < 3 + back % 4; ++k) {
            const DemoProduct& p = kCatalogue[(back * 7 + k * 5) % std::size(kCatalogue)];
            for (const char* buyer : {kDemoOrderer1, kDemoOrderer2}) {
                bool second = buyer == kDemoOrderer2;
                if (second && (back + k) % 2 == 0) continue;
                OrderLine l = orderLine(p, 1 + (back + k) % 5, QString());
                if (second) {
                    l.unitPrice = Currency::fromInt(priceB(p.priceA));
                    const VatSplit t = SplitVat(l.vat, LineAmount(l.quantity, l.unitPrice));
                    l.supply = t.supply, l.tax = t.tax, l.amount = t.total;
                }
                rows.push_back(DeliveryRow{receiver, u(buyer), date, l.product, l.quantity, l.unitPrice, l.vat,
                                           l.supply, l.tax, l.amount});
            }
        }
    }
    store.addDeliveries(rows);
    store.setSetting(marker, today.toString(Qt::ISODate));

    out << "demo data seeded: " << std::size(kCatalogue) << " products, an accepted order for "
        << acceptedDate.toStdString() << ", " << rows.size() << " delivery lines\n";
    printLogins(out);
}

}  // namespace vendra::server
