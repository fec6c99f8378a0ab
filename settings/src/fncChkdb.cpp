#include "sembrin/fncChkdb.h"

#include "Store.h"
#include "ostrel/Progress.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/fncDb.h"

namespace sembrin {

bool fncChkdb::check_table(const QString& tablename, const ostrel::Variant& st, const ostrel::Variant& ix,
                           bool bSilent) const {
    using namespace ostrel;
    if (!detail::store().db) throw RuntimeError::engine(err::DbClosed, QStringLiteral("ZepDb"));
    Database& db = *detail::store().db;
    fncDb f;
    auto say = [&](const QString& text) {
        if (!bSilent) feedback().message(text);
    };
    if (!f.DbExistTable(db, tablename)) {
        say(tablename + QStringLiteral(" 테이블이 존재하지 않습니다."));
        return true;
    }
    const TableDef def = db.tableDef(tablename);
    bool differs = false;
    auto mark = [&](const QString& name, const QString& what) {
        differs = true;
        say(tablename + QStringLiteral(" 의 ") + name + what);
    };
    for (const Variant& e : st.toArray().items) {
        fd want = fd::from(e);
        if (!f.DbExistField(def.Fields, want.name)) {
            mark(want.name, QStringLiteral(" 필드가 존재하지 않습니다."));
            continue;
        }
        const FieldDef& have = def.Fields[want.name];
        if (have.Type != want.type) mark(want.name, QStringLiteral(" 필드 타입이 잘못되었습니다."));
        if (want.type == dbType::Text) {
            if (have.Size != want.length) mark(want.name, QStringLiteral(" 필드 길이가 잘못되었습니다."));
            if (have.AllowZeroLength != want.allowzerolength)
                mark(want.name, QStringLiteral(" 필드 빈문자열 허용 속성이 잘못되었습니다."));
        }
    }
    for (const Variant& e : ix.toArray().items) {
        id want = id::from(e);
        auto found = std::find_if(def.Indexes.begin(), def.Indexes.end(),
                                  [&](const IndexDef& i) { return i.Name == want.name; });
        if (found == def.Indexes.end())
            mark(want.name, QStringLiteral(" 인덱스가 존재하지 않습니다."));
        else if (found->Unique != want.unique)
            mark(want.name, QStringLiteral(" 유니크가 잘못되었습니다."));
    }
    return differs;
}

}  // namespace sembrin
