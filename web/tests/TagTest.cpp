// Tag text in both styles, the element walker, and JARRAY tables. Round trips of any table are
// the fuzz targets' (fuzz/targets/tag.cpp, jarray_write.cpp).
#include "ErrorNumber.h"
#include "MakeTable.h"

#include "corvane/clsExtractTags.h"
#include "corvane/fncXML.h"

#include "ostrel/clsTable.h"

#include <QStringList>

using namespace corvane;
using ostrel::Currency;
using ostrel::Variant;
using vendra::test::errorOf;

namespace {
const fncXML xml;

// A table of `nof` fields; rows shorter than that leave the rest empty.
ostrel::TableRef table(int nof, const std::vector<std::vector<Variant>>& rows) {
    return vendra::test::makeTable(nof, int(rows.size()), [&](int i, int j) {
        return size_t(j) < rows[size_t(i)].size() ? rows[size_t(i)][size_t(j)] : Variant();
    });
}
}  // namespace

TEST(Tags, ReadFirstElementInAnyCaseWriteOneThatReadsBackWalkInExactCase) {
    const std::tuple<const char16_t*, const char16_t*, const char16_t*> found[] = {
        {u"<Notice>공지</notice>", u"notice", u"공지"}, {u"x<a> 1 </a><a>2</a>", u"A", u" 1 "},
        {u"<a>x<b>", u"a", u""}, {u"x</a>", u"a", u""},  // no closing, no opening tag
        {u"<a>1 < 2 & 3 > 2</a>", u"a", u"1 < 2 & 3 > 2"}, {u"<b><a>in</a></b><a>out</a>", u"a", u"in"}};
    for (auto [text, tag, content] : found) EXPECT_EQ(xml.ExtractTag(text, tag), QStringView(content));
    QString why;
    EXPECT_EQ(errorOf([] { xml.ExtractTag(u"</a><a>x</a>", u"a"); }, &why), ostrel::err::InvalidArgument);
    EXPECT_TRUE(why.contains(QStringLiteral("<a>")));
    EXPECT_EQ(indexOfIgnoreCase(u"abcABC", u"c", 3), 5);
    EXPECT_EQ(indexOfIgnoreCase(u"[{", u"{{"), -1);  // they differ by the case bit but are no letters

    const QString v = QStringLiteral("v");
    const QString reply = QStringLiteral("<success> 1 </success><ok>TRUE</ok><s>  a b  </s><d>2024-03-05</d>");
    const std::tuple<Variant, Variant> got[] = {
        {xml.GetTag(reply, u"success", 11), true}, {xml.GetTag(reply, u"OK", 11), true},
        {xml.GetTag(reply, u"missing", 11), Variant()}, {xml.GetTag(reply, u"s"), QStringLiteral("a b")},
        {xml.GetTag(reply, u"missing"), QString()}, {xml.GetTag(reply, u"d", 7), ostrel::DateSerial(2024, 3, 5)},
        {xml.GetTagValue(u"<v>12.5</v>", u"v"), Currency::fromRaw(125000)},
        {xml.GetTagValue(u"<v>\"say \"\"hi\"\"\"</v>", u"v"), QStringLiteral("say \"hi\"")},
        {xml.GetTagValue(u"<v>#2024-03-05#</v>", u"v"), ostrel::DateSerial(2024, 3, 5)},
        {xml.GetTagValue(u"<v>#abc#</v>", u"v"), int16_t(0)}, {xml.GetTagValue(u"<v>abc</v>", u"v"), Variant()},
        {xml.GetTag(xml.SimpleTag(v, true), u"v", 11), true},
        {xml.GetTagValue(xml.LiteralTag(v, QStringLiteral("\"\"")), u"v"), QStringLiteral("\"\"")}};
    for (size_t i = 0; i < std::size(got); ++i) EXPECT_TRUE(std::get<0>(got[i]).identical(std::get<1>(got[i]))) << i;
    EXPECT_DOUBLE_EQ(xml.GetTagValue(u"<v>#12:30:00#</v>", u"v").toDate().serial, 0.5 + 1.0 / 48);
    EXPECT_EQ(xml.LiteralTag(QStringLiteral("NOF"), int16_t(3)) + xml.LiteralTag(v, Variant())
                  + xml.LiteralTag(v, Currency::fromRaw(-5)), QStringLiteral("<NOF>3</NOF><v>EMPTY</v><v>-0.0005</v>"));
    EXPECT_EQ(xml.SimpleTag(QStringLiteral("ok"), true) + xml.SimpleTag(v, ostrel::DateSerial(2024, 3, 5))
                  + xml.SimpleTag(v, Variant()), QStringLiteral("<ok>True</ok><v>2024-03-05</v><v></v>"));
    // Content holding its own closing tag would be cut on reading: refused instead.
    EXPECT_EQ(errorOf([] { xml.SimpleTag(QStringLiteral("notice"), QStringLiteral("x</Notice>")); }), 5);
    EXPECT_EQ(errorOf([&] { xml.LiteralTag(v, QStringLiteral("</v>")); }), 5);

    clsExtractTags walk;
    EXPECT_EQ(walk.EOFText(), QStringLiteral("False"));
    walk.setString1(QStringLiteral("<TR>a</TR> <tr>b</tr>\r\n<TR></TR><TR>c</TR>"));
    walk.setTag(QStringLiteral("TR"));
    QStringList values;
    for (walk.MoveFirst(); !walk.isEOF(); walk.MoveNext()) values << walk.value();
    EXPECT_EQ(values, (QStringList{QStringLiteral("a"), QString(), QStringLiteral("c")}));
    EXPECT_TRUE(walk.EOFText() == QStringLiteral("True") && walk.value() == QStringLiteral("c"));  // the last stays
    walk.MoveFirst();
    walk.setTag(QStringLiteral("tr"));  // the position is kept
    walk.MoveNext();
    EXPECT_EQ(walk.value(), QStringLiteral("b"));

    walk.setTag(QStringLiteral("TR"));  // a stray closing tag at the end; no closing tag; a closing one first
    const std::pair<const char*, int> ends[] = {
        {"<TR>a</TR></TR> ", 0}, {"<TR>a</TR><TR>b", ostrel::err::InvalidArgument},
        {"</TR><TR>a</TR>", ostrel::err::InvalidArgument}};
    for (auto [text, number] : ends) {
        walk.setString1(QLatin1String(text));
        EXPECT_EQ(errorOf([&] { walk.MoveFirst(); walk.MoveNext(); }), number) << text;
        EXPECT_TRUE(number || walk.isEOF()) << text;
    }
}

TEST(Jarray, WritesTheExactLayoutAndReadsLooseLayoutsAndShortRows) {
    auto t = table(2, {{int16_t(1), QStringLiteral("a")}, {Variant(), ostrel::DateSerial(2024, 3, 5)}});
    QString text = xml.JarrayToTag(*t);
    EXPECT_EQ(text, QStringLiteral("<JARRAY>\r\n<NOF>2</NOF>\r\n<TR><TD>1</TD><TD>\"a\"</TD></TR>\r\n"
                                   "<TR><TD>EMPTY</TD><TD>#2024-03-05#</TD></TR>\r\n</JARRAY>"));
    EXPECT_TRUE(t->isEOF());
    auto back = xml.TagToJarray(text);
    ASSERT_TRUE(back->RecCount() == 2 && back->Recno() == 0);
    const Variant cells[] = {Currency::fromInt(1), QStringLiteral("a"), Variant(), ostrel::DateSerial(2024, 3, 5)};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(back->Cell(i / 2, i % 2).identical(cells[i])) << i;

    QString emptyText = xml.JarrayToTag(*table(3, {}));
    EXPECT_EQ(emptyText, QStringLiteral("<JARRAY>\r\n<NOF>3</NOF>\r\n</JARRAY>"));
    EXPECT_EQ(xml.TagToJarray(emptyText)->NOF(), 3);
    for (const char* reply : {"", "<success>0</success>", "<JARRAY></JARRAY>"}) {
        auto none = xml.TagToJarray(QString::fromLatin1(reply));
        EXPECT_TRUE(none->NOF() == 0 && none->RecCount() == 0) << reply;
    }
    // Loose layout, short rows, and row tags matched exactly.
    auto loose = xml.TagToJarray(QStringLiteral("<success>1</success><jarray>\n <nof> 3 </nof>\n"
                                                "  <TR> <TD> 7 </TD>\t<TD>\"x\"</TD> </TR>\n<TR></TR>"
                                                "<tr><td>1</td></tr><TR><td>1</td></TR></JArray>"));
    ASSERT_TRUE(loose->NOF() == 3 && loose->RecCount() == 3);
    EXPECT_TRUE(loose->Cell(0, 0).identical(Currency::fromInt(7)) && loose->Cell(0, 1).identical(QStringLiteral("x")));
    for (auto [r, j] : {std::pair{0, 2}, {1, 0}, {2, 0}}) EXPECT_TRUE(loose->Cell(r, j).isEmpty()) << r << "," << j;
}

TEST(Jarray, QuotesSurviveClosingTagsInTextAndMalformedTextAreRefused) {
    auto t = table(1, {{QStringLiteral("say \"hi\"")}, {QStringLiteral("\"")}, {QStringLiteral("a\"\"\"b")},
                       {QString()}, {QStringLiteral("a</td>b")}});
    auto again = xml.TagToJarray(xml.JarrayToTag(*xml.TagToJarray(xml.JarrayToTag(*t))));  // saved twice
    ASSERT_EQ(again->RecCount(), t->RecCount());
    for (int r = 0; r < t->RecCount(); ++r) EXPECT_TRUE(again->Cell(r, 0).identical(t->Cell(r, 0))) << r;
    for (const char* bad : {"x</TD>y", "x</TR>", "x</jarray>"})
        EXPECT_EQ(errorOf([&] { xml.JarrayToTag(*table(1, {{QString::fromLatin1(bad)}})); }), 5) << bad;
    const std::tuple<const char*, int, const char*> cases[] = {  // malformed: raised, and no half table
        {"<JARRAY><NOF>1</NOF><TR><TD>1</TD><TD>2</TD></TR></JARRAY>", ostrel::err::OutOfRange, "NOF 1"},
        {"<JARRAY><NOF>1</NOF><TR><TD>1</TD></JARRAY>", ostrel::err::InvalidArgument, "<TR>"},
        {"<JARRAY><NOF>1</NOF><TR><TD>1</TR></JARRAY>", ostrel::err::InvalidArgument, "<TD>"},
        {"<JARRAY><NOF>1</NOF></TR><TR><TD>1</TD></TR></JARRAY>", ostrel::err::InvalidArgument, "before"},
        {"<JARRAY><NOF>2</NOF><TR><TD>1</TD>", ostrel::err::InvalidArgument, "JARRAY"},
        {"</JARRAY><JARRAY><NOF>1</NOF>", ostrel::err::InvalidArgument, "before"},
        {"<JARRAY><TR><TD>1</TD></TR></JARRAY>", ostrel::err::OutOfRange, "NOF 0"},
        {"<JARRAY><NOF>-2</NOF></JARRAY>", ostrel::err::InvalidArgument, "NOF"},
        {"<JARRAY><NOF>40000</NOF></JARRAY>", ostrel::err::Overflow, ""},
        {"<JARRAY><NOF>1</NOF><TR><TD>\"</TD></TR></JARRAY>", ostrel::err::InvalidArgument, "quote"},
    };
    for (const auto& [text, number, mentions] : cases) {
        QString why;
        EXPECT_EQ(errorOf([&] { xml.TagToJarray(QString::fromLatin1(text)); }, &why), number) << text;
        EXPECT_TRUE(why.contains(QString::fromLatin1(mentions))) << text << ": " << why.toStdString();
    }
}
