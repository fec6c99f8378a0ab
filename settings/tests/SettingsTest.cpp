#include "ostrel/Cp949.h"
#include "ostrel/RuntimeError.h"
#include "sembrin/Settings.h"
#include "sembrin/fncForMain.h"
#include "sembrin/fncPublicValue.h"
#include "sembrin/pptPublicValue.h"
#include "sembrin/pptZepPublicValue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace sembrin;
using ostrel::Variant;

namespace {

// The store is process-wide, so every test uses keys of its own.
QString writeIni(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return dir.path();
}

}  // namespace

TEST(PublicStore, KeysIgnoreCaseAndEveryInstanceSeesTheSameValues) {
    pptPublicValue a, b;
    a.setInisetting(QStringLiteral("casekey"), QStringLiteral("x"));
    EXPECT_EQ(b.inisetting(QStringLiteral("CASEKEY")).toString(), QStringLiteral("X"));
    EXPECT_EQ(b.inisetting(QStringLiteral("CaseKey")).toString(), QStringLiteral("X"));

    a.setPublicValue(QStringLiteral("pv_mixed"), QStringLiteral(" Keep Me "));
    EXPECT_EQ(b.PublicValue(QStringLiteral("PV_MIXED")).toString(), QStringLiteral(" Keep Me "));

    // The two collections are apart: a public value is no setting.
    EXPECT_TRUE(b.inisetting(QStringLiteral("pv_mixed")).isEmpty());

    a.setZepPath(QStringLiteral("/data/books"));
    a.setZepReadOnly(true);
    EXPECT_EQ(b.ZepPath(), QStringLiteral("/data/books"));
    EXPECT_TRUE(b.ZepReadOnly());
    b.setZepReadOnly(false);
    EXPECT_FALSE(a.ZepReadOnly());
}

TEST(PublicStore, SettingWriteUpperCasesAndTrimsButPublicValueKeepsKindAndText) {
    pptPublicValue p;
    fncPublicValue f;
    p.setInisetting(QStringLiteral("spaced"), QStringLiteral("  true  "));
    EXPECT_TRUE(p.inisetting(QStringLiteral("spaced")).identical(Variant(QStringLiteral("TRUE"))));
    EXPECT_TRUE(f.IsTrueInisetting(QStringLiteral("Spaced")));

    // Only spaces are trimmed; a tab keeps the value from reading as true.
    p.setInisetting(QStringLiteral("tabbed"), QStringLiteral("true\t"));
    EXPECT_FALSE(f.IsTrueInisetting(QStringLiteral("tabbed")));

    // A Boolean becomes its text; a replaced value is gone.
    p.setInisetting(QStringLiteral("boolset"), Variant(true));
    EXPECT_TRUE(f.IsTrueInisetting(QStringLiteral("boolset")));
    p.setInisetting(QStringLiteral("boolset"), Variant(false));
    EXPECT_EQ(p.inisetting(QStringLiteral("boolset")).toString(), QStringLiteral("FALSE"));
    EXPECT_FALSE(f.IsTrueInisetting(QStringLiteral("boolset")));

    p.setPublicValue(QStringLiteral("pvnum"), Variant(int32_t(42)));
    EXPECT_TRUE(p.PublicValue(QStringLiteral("pvnum")).identical(Variant(int32_t(42))));
    p.setPublicValue(QStringLiteral("PVNUM"), Variant(QStringLiteral("again")));
    EXPECT_EQ(p.PublicValue(QStringLiteral("pvnum")).toString(), QStringLiteral("again"));

    // Missing keys: empty, never an error; not true.
    EXPECT_TRUE(p.inisetting(QStringLiteral("never-set")).isEmpty());
    EXPECT_TRUE(p.PublicValue(QStringLiteral("never-set")).isEmpty());
    EXPECT_FALSE(f.IsTrueInisetting(QStringLiteral("never-set")));
    p.setInisetting(QStringLiteral("almost"), QStringLiteral("TRUE1"));
    EXPECT_FALSE(f.IsTrueInisetting(QStringLiteral("almost")));
}

TEST(PublicStore, ObjectsAndTheUserRecordAreShared) {
    pptPublicValue p;
    fncPublicValue f;
    auto db = std::make_shared<ostrel::VObject>();
    p.setZepDb(db);
    EXPECT_EQ(pptPublicValue().ZepDb(), db);
    f.setObjMainCom(db);
    EXPECT_EQ(fncPublicValue().objMainCom(), db);
    p.setZepDb(nullptr);
    f.setObjMainCom(nullptr);
    EXPECT_EQ(p.ZepDb(), nullptr);

    pptZepPublicValue z;
    사업자 u;
    u.사업자등록번호 = QStringLiteral("123-45-67890");
    u.상호 = QStringLiteral("한빛청과");
    u.전화번호 = QStringLiteral("02-123-4567");
    u.바로빌ID = QStringLiteral("hanbit");
    z.setZepPv사용자(u);
    사업자 copy = pptZepPublicValue().ZepPv사용자();
    EXPECT_EQ(copy, u);
    copy.상호 = QStringLiteral("다른상호");  // a copy, not a view of the store
    EXPECT_EQ(z.ZepPv사용자().상호, QStringLiteral("한빛청과"));

    z.setZepPv전자송장서버연결정상(true);
    EXPECT_TRUE(pptZepPublicValue().ZepPv전자송장서버연결정상());
    z.setZepPv전자송장서버연결정상(false);
}

TEST(LoadIni, ReadsKeyValueLinesInCodePage949) {
    QTemporaryDir dir;
    QByteArray bytes = ostrel::cp949::encode(
        u"일반인쇄서식큰글씨 = true\r\n"
        u"ini_formula=a=b\r\n"
        u"=ignored_value\r\n"
        u"no equals sign here\r\n"
        u"ini_Mixed =  Two Words  \r\n"
        u"ini_twice=first\n"
        u"ini_twice=second\r"
        u"ini_last=no line end");
    const QString path = writeIni(dir, QStringLiteral("vendra.ini"), bytes);

    ASSERT_TRUE(fncForMain().LoadIni(path, QStringLiteral("vendra.ini")));
    pptPublicValue p;
    // Values from the file keep their case; the reader still takes "true" for true.
    EXPECT_EQ(p.inisetting(setting::LargeLetterPrint()).toString(), QStringLiteral("true"));
    EXPECT_TRUE(fncPublicValue().IsTrueInisetting(setting::LargeLetterPrint()));
    EXPECT_EQ(p.inisetting(QStringLiteral("INI_FORMULA")).toString(), QStringLiteral("a=b"));
    EXPECT_EQ(p.inisetting(QStringLiteral("ini_mixed")).toString(), QStringLiteral("Two Words"));
    EXPECT_EQ(p.inisetting(QStringLiteral("ini_twice")).toString(), QStringLiteral("second"));
    EXPECT_EQ(p.inisetting(QStringLiteral("ini_last")).toString(), QStringLiteral("no line end"));
    EXPECT_TRUE(p.inisetting(QString()).isEmpty());
    EXPECT_TRUE(p.inisetting(QStringLiteral("no equals sign here")).isEmpty());

    // A later write through the property replaces what the file gave.
    p.setInisetting(QStringLiteral("ini_mixed"), QStringLiteral("x"));
    EXPECT_EQ(p.inisetting(QStringLiteral("INI_MIXED")).toString(), QStringLiteral("X"));
}

TEST(LoadIni, FolderForms) {
    QTemporaryDir dir;
    writeIni(dir, QStringLiteral("a.ini"), "ini_sep=slash\n");
    fncForMain m;
    EXPECT_TRUE(m.LoadIni(dir.path() + QLatin1Char('/'), QStringLiteral("a.ini")));
    EXPECT_TRUE(m.LoadIni(dir.path() + QLatin1Char('\\'), QStringLiteral("a.ini")));
    EXPECT_TRUE(m.LoadIni(dir.path(), QStringLiteral("a.ini")));
    EXPECT_EQ(pptPublicValue().inisetting(QStringLiteral("ini_sep")).toString(), QStringLiteral("slash"));
}

TEST(LoadIni, MissingFilesAreFalseAndChangeNothing) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub.ini"));
    fncForMain m;
    pptPublicValue p;
    p.setInisetting(QStringLiteral("ini_untouched"), QStringLiteral("kept"));
    EXPECT_FALSE(m.LoadIni(dir.path(), QStringLiteral("missing.ini")));
    EXPECT_FALSE(m.LoadIni(dir.path(), QStringLiteral("sub.ini")));  // a folder is no file
    EXPECT_FALSE(m.LoadIni(dir.path(), QString()));
    EXPECT_FALSE(m.LoadIni(dir.path() + QStringLiteral("/nowhere"), QStringLiteral("a.ini")));
    EXPECT_EQ(p.inisetting(QStringLiteral("ini_untouched")).toString(), QStringLiteral("KEPT"));
}
