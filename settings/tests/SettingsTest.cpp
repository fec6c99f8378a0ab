#include "ostrel/Cp949.h"
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

// The store is process-wide, so every test uses keys of its own.
TEST(PublicStore, SettingsAndPublicValuesAreSharedByKeyWithoutCase) {
    pptPublicValue a, b;
    fncPublicValue f;
    struct Case { const char* key; Variant written; const char* readAs; Variant read; bool isTrue; };
    const std::vector<Case> settings = {
        {"casekey", QStringLiteral("x"), "CaseKey", QStringLiteral("X"), false},
        {"spaced", QStringLiteral("  true  "), "Spaced", QStringLiteral("TRUE"), true},
        {"tabbed", QStringLiteral("true\t"), "tabbed", QStringLiteral("TRUE\t"), false},  // only spaces trimmed
        {"boolset", Variant(true), "BOOLSET", QStringLiteral("TRUE"), true},
        {"almost", QStringLiteral("TRUE1"), "almost", QStringLiteral("TRUE1"), false},
        {"boolset", Variant(false), "boolset", QStringLiteral("FALSE"), false},  // replaced, not added
    };
    for (const Case& c : settings) {
        a.setInisetting(c.key, c.written);
        EXPECT_TRUE(b.inisetting(c.readAs).identical(c.read) && f.IsTrueInisetting(c.readAs) == c.isTrue) << c.key;
    }

    a.setPublicValue("pv_mixed", QStringLiteral(" Keep Me "));
    a.setPublicValue("pvnum", Variant(int32_t(42)));
    EXPECT_TRUE(b.PublicValue("PV_MIXED").identical(QStringLiteral(" Keep Me ")));
    EXPECT_TRUE(b.PublicValue("PVNUM").identical(int32_t(42)) && b.inisetting("pv_mixed").isEmpty());  // apart
    for (const char* m : {"never-set", ""})
        EXPECT_TRUE(b.inisetting(m).isEmpty() && b.PublicValue(m).isEmpty() && !f.IsTrueInisetting(m)) << m;

    a.setZepPath("/data/books");
    a.setZepReadOnly(true);
    auto ws = std::make_shared<ostrel::Workspace>();
    a.setZepWs(ws);
    f.setObjMainCom(ws);
    EXPECT_TRUE(b.ZepPath() == "/data/books" && b.ZepReadOnly() && b.ZepWs() == ws);
    b.setZepReadOnly(false);
    EXPECT_TRUE(!a.ZepReadOnly() && fncPublicValue().objMainCom() == ws);
    a.setZepWs(nullptr);
    f.setObjMainCom(nullptr);

    pptZepPublicValue z;
    사업자 u{"123-45-67890", "한빛청과", {}, {}, {}, {}, {}, {}, {}, {}, "hanbit"};
    z.setZepPv사용자(u);
    EXPECT_EQ(pptZepPublicValue().ZepPv사용자(), u);
    z.setZepPv전자송장서버연결정상(true);
    EXPECT_TRUE(pptZepPublicValue().ZepPv전자송장서버연결정상());
    z.setZepPv전자송장서버연결정상(false);
}

TEST(LoadIni, ReadsKeyValueLinesInCodePage949FromEveryFolderForm) {
    QTemporaryDir dir;
    QFile file(dir.filePath("vendra.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ostrel::cp949::encode(u"일반인쇄서식큰글씨 = true\r\nini_formula=a=b\r\n=ignored_value\r\n"
                                     u"no equals sign here\r\nini_Mixed =  Two Words  \r\n"
                                     u"ini_twice=first\nini_twice=second\rini_last=no line end"));
    file.close();
    QDir(dir.path()).mkdir("sub.ini");
    fncForMain m;
    pptPublicValue p;
    p.setInisetting("ini_untouched", QStringLiteral("kept"));
    for (const QString& folder : {dir.path() + "/nowhere", dir.path()})
        for (const char* name : {"missing.ini", "sub.ini", ""}) EXPECT_FALSE(m.LoadIni(folder, name)) << name;

    for (const QString& folder : {dir.path(), dir.path() + '/', dir.path() + '\\'})
        EXPECT_TRUE(m.LoadIni(folder, "vendra.ini")) << folder.toStdString();
    // Values from the file keep their case; the reader still takes "true" for true.
    const std::vector<std::pair<QString, const char*>> read = {
        {setting::LargeLetterPrint(), "true"}, {"INI_FORMULA", "a=b"}, {"ini_mixed", "Two Words"},
        {"ini_twice", "second"}, {"ini_last", "no line end"}, {"no equals sign here", ""}, {"", ""},
        {"ini_untouched", "KEPT"}};
    for (auto& [key, value] : read) EXPECT_EQ(p.inisetting(key).toString(), value) << key.toStdString();
    EXPECT_TRUE(fncPublicValue().IsTrueInisetting(setting::LargeLetterPrint()));
    p.setInisetting("ini_mixed", QStringLiteral("x"));  // a later write replaces what the file gave
    EXPECT_EQ(p.inisetting("INI_MIXED").toString(), "X");
}
