// A ledger-side program using the installed common functions library.
#include <ostrel/Cp949.h>
#include <ostrel/Variant.h>

#include <cstdio>

int main() {
    ostrel::Variant amount(ostrel::Currency::fromDouble(1234.5));
    if (amount.toString() != QStringLiteral("1234.5")) return 1;
    if (ostrel::cp949::byteLength(u"가A") != 3) return 2;
    std::puts("consumer ok");
    return 0;
}
