// The in-memory tables against plain models, driven by the input: the first byte picks the table
// (records of clsTable, the chunked index clsLinear, the keyed clsIndexedTable), every further
// byte one operation. Counts, positions and cells must match the model after every step.
#include "FuzzSupport.h"

#include "clsLinear.h"
#include "ostrel/clsIndexedTable.h"
#include "ostrel/clsTable.h"

#include <algorithm>
#include <array>
#include <vector>

using ostrel::Variant;
using vendra::fuzz::ByteReader;

namespace {

int at(ByteReader& in, int n) { return n > 0 ? static_cast<int>(in.u16() % static_cast<unsigned>(n)) : 0; }

void tableAgainstRows(ByteReader& in) {
    constexpr int nof = 3;
    ostrel::clsTable t;
    t.setNOF(nof);
    t.zap();
    std::vector<std::array<int, nof>> model;
    int recno = -1, serial = 1;
    while (!in.empty()) {
        const int op = in.byte() % 4, n = static_cast<int>(model.size());
        if (op == 0) {
            t.AppendBlank();
            model.push_back({0, 0, 0});
            recno = n;
        } else if (op == 1) {
            recno = at(in, n + 1);
            t.setRecno(recno);
            t.Insert();
            model.insert(model.begin() + recno, {0, 0, 0});
        } else if (op == 2 && n > 0) {
            recno = at(in, n + 2);  // past the end the last record goes
            t.setRecno(recno);
            t.Delete();
            model.erase(model.begin() + std::min(recno, n - 1));
            if (model.empty()) recno = -1;
        } else if (n > 0) {
            const int i = at(in, n), j = at(in, nof);
            t.setCell(i, j, serial);
            model[static_cast<size_t>(i)][static_cast<size_t>(j)] = serial++;
        }
        FUZZ_EXPECT(t.RecCount() == static_cast<int>(model.size()) && t.Recno() == recno,
                    QStringLiteral("%1 records at %2, model %3 at %4").arg(t.RecCount()).arg(t.Recno())
                        .arg(model.size()).arg(recno));
    }
    for (int i = 0; i < t.RecCount(); ++i)
        for (int j = 0; j < nof; ++j) {
            const Variant& v = t.cellRef(i, j);
            FUZZ_EXPECT((v.isEmpty() ? 0 : v.toLong()) == model[static_cast<size_t>(i)][static_cast<size_t>(j)],
                        QStringLiteral("cell %1,%2").arg(i).arg(j));
        }
}

void linearAgainstVector(ByteReader& in) {
    ostrel::clsLinear l;
    std::vector<int32_t> model;
    int32_t serial = 0;
    int capacity = 100;  // grows in steps of 100 and never shrinks
    while (!in.empty()) {
        const int op = in.byte() % 5, n = static_cast<int>(model.size());
        // Bulk steps let the chunks split past their size and merge again.
        const int repeat = op < 2 ? 1 + in.byte() % 64 : 1;
        for (int r = 0; r < repeat; ++r, ++serial) {
            const int size = static_cast<int>(model.size());
            if (op == 0) {
                const int pos = at(in, size + 1);
                l.setRecno(pos);
                l.Insert();
                l.setRecord(serial);
                model.insert(model.begin() + pos, serial);
            } else if (op == 1) {
                l.AppendRec(serial);
                model.push_back(serial);
            } else if (op == 2 && n > 0) {
                const int pos = at(in, n + 3);
                l.setRecno(pos);
                l.Delete();
                model.erase(model.begin() + std::min(pos, n - 1));
            } else if (op == 3 && n > 0) {
                const int pos = at(in, n);
                l.setRecords(pos, -serial);
                model[static_cast<size_t>(pos)] = -serial;
            } else if (n > 0) {
                const int pos = at(in, n);
                FUZZ_EXPECT(l.Records(pos) == model[static_cast<size_t>(pos)], QStringLiteral("entry %1").arg(pos));
            }
            if (static_cast<int>(model.size()) > capacity) capacity += 100;
            FUZZ_EXPECT(l.capacity() == capacity,
                        QStringLiteral("capacity %1, model %2").arg(l.capacity()).arg(capacity));
        }
        FUZZ_EXPECT(l.RecCount() == static_cast<int>(model.size()), QStringLiteral("count"));
    }
    FUZZ_EXPECT(l.checkInvariants(), QStringLiteral("chunk invariants"));
    FUZZ_EXPECT(l.toVector() == model, QStringLiteral("entries"));
}

void keyedAgainstSortedEntries(ByteReader& in) {
    ostrel::clsIndexedTable t;
    t.setNOF(1);
    struct Entry {
        QString key;
        int serial;
    };
    std::vector<Entry> model;
    const auto lower = [&](const QString& k) {
        return static_cast<int>(std::lower_bound(model.begin(), model.end(), k,
                                                 [](const Entry& e, const QString& x) { return e.key < x; }) -
                                model.begin());
    };
    // Short keys from a small alphabet, so that equal keys are frequent; some are empty.
    const auto key = [&] {
        QString s;
        for (int i = in.byte() % 3; i > 0; --i) s += QChar(u'가' + static_cast<char16_t>(in.byte() % 4));
        return s;
    };
    int serial = 0;
    while (!in.empty()) {
        const int op = in.byte() % 4, n = static_cast<int>(model.size());
        const QString k = key();
        int pos = lower(k);
        const bool exists = pos < n && model[static_cast<size_t>(pos)].key == k;
        if (op == 0) {
            t.poke(Variant::array({serial}), k);
            if (!exists) model.insert(model.begin() + pos, Entry{k, serial});
        } else if (op == 1) {
            t.poket(Variant::array({serial}), k);
            while (pos < static_cast<int>(model.size()) && model[static_cast<size_t>(pos)].key == k) ++pos;
            model.insert(model.begin() + pos, Entry{k, serial});
        } else if (op == 2) {
            FUZZ_EXPECT(t.peek(k) == exists, k);
        } else if (n > 0) {
            pos = at(in, n);
            t.setRecno(pos);
            t.Delete();
            model.erase(model.begin() + pos);
        }
        ++serial;
        FUZZ_EXPECT(t.RecCount() == static_cast<int>(model.size()), QStringLiteral("count"));
        if (op < 3 || n > 0)
            FUZZ_EXPECT(t.Recno() == pos, QStringLiteral("position %1, model %2").arg(t.Recno()).arg(pos));
        if (t.Recno() < t.RecCount())
            FUZZ_EXPECT(t.Fields(0).toLong() == model[static_cast<size_t>(t.Recno())].serial, QStringLiteral("field"));
    }
    // Every entry re-keyed out of order, then sorted: a stable sort of the model by the new keys.
    for (int i = 0; i < t.RecCount(); ++i) {
        const QString k = QString::number((i * 7919) % 13);
        t.setCell(i, 1, k);
        model[static_cast<size_t>(i)].key = k;
    }
    t.sort();
    std::stable_sort(model.begin(), model.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    for (int i = 0; i < t.RecCount(); ++i)
        FUZZ_EXPECT(t.Cell(i, 1).toString() == model[static_cast<size_t>(i)].key &&
                        t.Cell(i, 0).toLong() == model[static_cast<size_t>(i)].serial,
                    QStringLiteral("sorted entry %1").arg(i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    switch (in.byte() % 3) {
    case 0: tableAgainstRows(in); break;
    case 1: linearAgainstVector(in); break;
    default: keyedAgainstSortedEntries(in); break;
    }
    return 0;
}
