// Tag text in both styles, the element walker, and JARRAY tables.
#include "corvane/clsExtractTags.h"
#include "corvane/fncXML.h"

#include "ostrel/DateTime.h"
#include "ostrel/RuntimeError.h"
#include "ostrel/clsTable.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <random>

using namespace corvane;
using ostrel::Currency;
using ostrel::Variant;
using ostrel::VarType;

namespace {
int errorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const ostrel::RuntimeError& e) {
        return e.number();
    }
    return 0;
}
QString errorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const ostrel::RuntimeError& e) {
        return e.description();
    }
    return {};
}
const fncXML xml;
}  // namespace

TEST(Tags, ExtractTagIgnoresCaseAndFindsOnlyTheFirstElement) {
    EXPECT_EQ(xml.ExtractTag(u"<Notice>공지</notice>", u"notice"), QStringLiteral("공지"));
    EXPECT_EQ(xml.ExtractTag(u"x<a> 1 </a><a>2</a>", u"A"), QStringLiteral(" 1 "));
    EXPECT_EQ(xml.ExtractTag(u"<a></a>", u"a"), QString());
    EXPECT_EQ(xml.ExtractTag(u"<a>x<b>", u"a"), QString());      // no closing tag
    EXPECT_EQ(xml.ExtractTag(u"x</a>", u"a"), QString());        // no opening tag
    EXPECT_EQ(xml.ExtractTag(u"", u"a"), QString());
    EXPECT_EQ(xml.ExtractTag(u"<a>1 < 2 & 3 > 2</a>", u"a"), QStringLiteral("1 < 2 & 3 > 2"));
    // The first occurrence wins even inside another element.
    EXPECT_EQ(xml.ExtractTag(u"<b><a>in</a></b><a>out</a>", u"a"), QStringLiteral("in"));
    EXPECT_EQ(xml.ExtractTag(u"<태그>값</태그>", u"태그"), QStringLiteral("값"));
    int n = errorNumber([] { xml.ExtractTag(u"</a><a>x</a>", u"a"); });
    EXPECT_EQ(n, ostrel::err::InvalidArgument);
    EXPECT_TRUE(errorText([] { xml.ExtractTag(u"</a><a>x</a>", u"a"); }).contains(QStringLiteral("<a>")));
    EXPECT_EQ(indexOfIgnoreCase(u"xx<NoF>", u"<nof>"), 2);
    EXPECT_EQ(indexOfIgnoreCase(u"abcABC", u"c", 3), 5);
    EXPECT_EQ(indexOfIgnoreCase(u"ab", u"abc"), -1);
    EXPECT_EQ(indexOfIgnoreCase(u"[{", u"{{"), -1);  // '[' and '{' differ by the case bit but are no letters
}

TEST(Tags, GetTagTrimsAndConvertsByTypeCode) {
    const QString reply = QStringLiteral("<success> 1 </success><ok>TRUE</ok><n>abc</n><s>  a b  </s><d>2024-03-05</d>");
    Variant ok = xml.GetTag(reply, u"success", 11);
    EXPECT_TRUE(ok.isBoolean() && ok.toBool());
    EXPECT_TRUE(xml.GetTag(reply, u"OK", 11).toBool());
    EXPECT_TRUE(xml.GetTag(reply, u"missing", 11).isEmpty());
    EXPECT_FALSE(xml.GetTag(reply, u"missing", 11).toBool());
    EXPECT_TRUE(xml.GetTag(reply, u"n", 3).isEmpty());
    EXPECT_EQ(xml.GetTag(reply, u"s").toString(), QStringLiteral("a b"));
    EXPECT_EQ(xml.GetTag(reply, u"missing").type(), VarType::String);
    EXPECT_EQ(xml.GetTag(reply, u"d", 7).toDate(), ostrel::DateSerial(2024, 3, 5));
    EXPECT_EQ(xml.GetTag(reply, u"success", 2).type(), VarType::Integer);
}

TEST(Tags, GetTagValueReadsLiteralStyle) {
    EXPECT_EQ(xml.GetTagValue(u"<v>12.5</v>", u"v").toCurrency().raw(), 125000);
    EXPECT_EQ(xml.GetTagValue(u"<v>12.5</v>", u"v").type(), VarType::Currency);
    EXPECT_EQ(xml.GetTagValue(u"<v>\"say \"\"hi\"\"\"</v>", u"v").toString(), QStringLiteral("say \"hi\""));
    EXPECT_EQ(xml.GetTagValue(u"<v>#2024-03-05#</v>", u"v").toDate(), ostrel::DateSerial(2024, 3, 5));
    Variant t = xml.GetTagValue(u"<v>#12:30:00#</v>", u"v");
    EXPECT_EQ(t.type(), VarType::Date);
    EXPECT_DOUBLE_EQ(t.toDate().serial, ostrel::TimeSerial(12, 30, 0));
    EXPECT_EQ(xml.GetTagValue(u"<v>#abc#</v>", u"v").type(), VarType::Integer);
    EXPECT_TRUE(xml.GetTagValue(u"<v>abc</v>", u"v").isEmpty());
    EXPECT_TRUE(xml.GetTagValue(u"<v>EMPTY</v>", u"v").isEmpty());
    EXPECT_TRUE(xml.GetTagValue(u"", u"v").isEmpty());
}

TEST(Tags, WritersProduceOneElementEach) {
    EXPECT_EQ(xml.LiteralTag(QStringLiteral("NOF"), int16_t(3)), QStringLiteral("<NOF>3</NOF>"));
    EXPECT_EQ(xml.LiteralTag(QStringLiteral("v"), Variant()), QStringLiteral("<v>EMPTY</v>"));
    EXPECT_EQ(xml.LiteralTag(QStringLiteral("v"), QStringLiteral("a\"b")), QStringLiteral("<v>\"a\"\"b\"</v>"));
    EXPECT_EQ(xml.LiteralTag(QStringLiteral("v"), ostrel::DateSerial(2024, 3, 5)), QStringLiteral("<v>#2024-03-05#</v>"));
    EXPECT_EQ(xml.LiteralTag(QStringLiteral("v"), Currency::fromRaw(-5)), QStringLiteral("<v>-0.0005</v>"));
    EXPECT_EQ(xml.LiteralTag(QStringLiteral("v"), false), QStringLiteral("<v>False</v>"));
    EXPECT_EQ(xml.SimpleTag(QStringLiteral("success"), true), QStringLiteral("<success>True</success>"));
    EXPECT_EQ(xml.SimpleTag(QStringLiteral("n"), 2.25), QStringLiteral("<n>2.25</n>"));
    EXPECT_EQ(xml.SimpleTag(QStringLiteral("d"), ostrel::DateSerial(2024, 3, 5)), QStringLiteral("<d>2024-03-05</d>"));
    EXPECT_EQ(xml.SimpleTag(QStringLiteral("e"), Variant()), QStringLiteral("<e></e>"));
    EXPECT_EQ(xml.SimpleTag(QStringLiteral("notice"), QStringLiteral("a <b> & c")),
              QStringLiteral("<notice>a <b> & c</notice>"));
    // What the readers give back is what was written.
    EXPECT_TRUE(xml.GetTag(xml.SimpleTag(QStringLiteral("success"), true), u"success", 11).toBool());
    EXPECT_EQ(xml.GetTagValue(xml.LiteralTag(QStringLiteral("r"), QStringLiteral("\"\"")), u"r").toString(),
              QStringLiteral("\"\""));
    // Content holding its own closing tag would be cut on reading: refused instead.
    EXPECT_EQ(errorNumber([] { xml.SimpleTag(QStringLiteral("notice"), QStringLiteral("x</Notice>y")); }),
              ostrel::err::InvalidArgument);
    EXPECT_EQ(errorNumber([] { xml.LiteralTag(QStringLiteral("v"), QStringLiteral("</v>")); }),
              ostrel::err::InvalidArgument);
}

TEST(ExtractTags, WalksElementsInExactCase) {
    clsExtractTags walk;
    EXPECT_FALSE(walk.isEOF());
    EXPECT_EQ(walk.EOFText(), QStringLiteral("False"));
    walk.setString1(QStringLiteral("<TR>a</TR> <tr>b</tr>\r\n<TR></TR><TR>c</TR>"));
    walk.setTag(QStringLiteral("TR"));
    walk.MoveFirst();
    QStringList got;
    while (!walk.isEOF()) {
        got << walk.value();
        walk.MoveNext();
    }
    EXPECT_EQ(got, (QStringList{QStringLiteral("a"), QString(), QStringLiteral("c")}));
    EXPECT_EQ(walk.EOFText(), QStringLiteral("True"));
    EXPECT_EQ(walk.value(), QStringLiteral("c"));  // the last content stays
    walk.MoveFirst();
    EXPECT_EQ(walk.value(), QStringLiteral("a"));

    walk.setTag(QStringLiteral("tr"));  // the position is kept: the search goes on after <TR>a</TR>
    walk.MoveNext();
    EXPECT_EQ(walk.value(), QStringLiteral("b"));
    walk.MoveNext();
    EXPECT_TRUE(walk.isEOF());

    walk.setString1(QStringLiteral("<TR>a</TR><TR>b"));
    walk.setTag(QStringLiteral("TR"));
    walk.MoveFirst();
    EXPECT_EQ(errorNumber([&] { walk.MoveNext(); }), ostrel::err::InvalidArgument);
    walk.setString1(QStringLiteral("</TR><TR>a</TR>"));
    EXPECT_EQ(errorNumber([&] { walk.MoveFirst(); }), ostrel::err::InvalidArgument);
}

namespace {
ostrel::TableRef makeTable(int nof) {
    auto t = std::make_shared<ostrel::clsTable>();
    t->setNOF(nof);
    return t;
}
}  // namespace

TEST(Jarray, WritesTheExactLayoutAndReadsItBack) {
    auto t = makeTable(2);
    t->AppendBlank();
    t->setFields(0, int16_t(1));
    t->setFields(1, QStringLiteral("a"));
    t->AppendBlank();
    t->setFields(1, ostrel::DateSerial(2024, 3, 5));
    QString text = xml.JarrayToTag(*t);
    EXPECT_EQ(text, QStringLiteral("<JARRAY>\r\n<NOF>2</NOF>\r\n"
                                   "<TR><TD>1</TD><TD>\"a\"</TD></TR>\r\n"
                                   "<TR><TD>EMPTY</TD><TD>#2024-03-05#</TD></TR>\r\n"
                                   "</JARRAY>"));
    EXPECT_TRUE(t->isEOF());

    auto back = xml.TagToJarray(text);
    EXPECT_EQ(back->NOF(), 2);
    ASSERT_EQ(back->RecCount(), 2);
    EXPECT_EQ(back->Recno(), 0);
    EXPECT_EQ(back->Cell(0, 0).type(), VarType::Currency);
    EXPECT_EQ(back->Cell(0, 0).toCurrency(), Currency::fromInt(1));
    EXPECT_EQ(back->Cell(0, 1).toString(), QStringLiteral("a"));
    EXPECT_TRUE(back->Cell(1, 0).isEmpty());
    EXPECT_EQ(back->Cell(1, 1).type(), VarType::Date);
    EXPECT_EQ(back->Cell(1, 1).toDate(), ostrel::DateSerial(2024, 3, 5));
}

TEST(Jarray, EmptyTablesMissingElementsAndLooseLayout) {
    auto empty = makeTable(3);
    QString text = xml.JarrayToTag(*empty);
    EXPECT_EQ(text, QStringLiteral("<JARRAY>\r\n<NOF>3</NOF>\r\n</JARRAY>"));
    auto back = xml.TagToJarray(text);
    EXPECT_EQ(back->NOF(), 3);
    EXPECT_EQ(back->RecCount(), 0);

    for (const char* reply : {"", "<success>0</success>", "<JARRAY></JARRAY>"}) {
        auto none = xml.TagToJarray(QString::fromLatin1(reply));
        EXPECT_EQ(none->NOF(), 0) << reply;
        EXPECT_EQ(none->RecCount(), 0) << reply;
    }

    // Whatever surrounds the JARRAY, loose whitespace, the JARRAY tag in any case, short rows.
    auto loose = xml.TagToJarray(QStringLiteral("<success>1</success><jarray>\n <nof> 3 </nof>\n"
                                                "  <TR> <TD> 7 </TD>\t<TD>\"x\"</TD> </TR>\n"
                                                "<TR></TR></JArray><received>1</received>"));
    EXPECT_EQ(loose->NOF(), 3);
    ASSERT_EQ(loose->RecCount(), 2);
    EXPECT_EQ(loose->Cell(0, 0).toCurrency(), Currency::fromInt(7));
    EXPECT_EQ(loose->Cell(0, 1).toString(), QStringLiteral("x"));
    EXPECT_TRUE(loose->Cell(0, 2).isEmpty());
    EXPECT_TRUE(loose->Cell(1, 0).isEmpty());

    // Rows and cells in another case are no rows or cells.
    auto lower = xml.TagToJarray(QStringLiteral("<JARRAY><NOF>1</NOF><tr><td>1</td></tr><TR><td>1</td></TR></JARRAY>"));
    EXPECT_EQ(lower->RecCount(), 1);
    EXPECT_TRUE(lower->Cell(0, 0).isEmpty());
}

TEST(Jarray, QuotesSurviveAndClosingTagsInTextAreRefused) {
    auto t = makeTable(1);
    for (const char* s : {"say \"hi\"", "\"", "\"\"", "a\"\"\"b", "", " spaced "}) {
        t->AppendBlank();
        t->setFields(0, QString::fromUtf8(s));
    }
    auto back = xml.TagToJarray(xml.JarrayToTag(*t));
    auto again = xml.TagToJarray(xml.JarrayToTag(*back));  // a second save doubles nothing
    ASSERT_EQ(again->RecCount(), t->RecCount());
    for (int r = 0; r < t->RecCount(); ++r) EXPECT_EQ(again->Cell(r, 0).toString(), t->Cell(r, 0).toString()) << r;

    for (const char* bad : {"x</TD>y", "x</TR>", "x</jarray>"}) {
        auto b = makeTable(1);
        b->AppendBlank();
        b->setFields(0, QString::fromLatin1(bad));
        EXPECT_EQ(errorNumber([&] { xml.JarrayToTag(*b); }), ostrel::err::InvalidArgument) << bad;
    }
    // A lower-case closing cell tag is text like any other: it cannot end a TD.
    auto ok = makeTable(1);
    ok->AppendBlank();
    ok->setFields(0, QStringLiteral("a</td>b"));
    EXPECT_EQ(xml.TagToJarray(xml.JarrayToTag(*ok))->Cell(0, 0).toString(), QStringLiteral("a</td>b"));
}

TEST(Jarray, MalformedTextRaisesAndReturnsNoHalfTable) {
    struct Case {
        const char* text;
        int number;
        const char* mentions;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        try {
            auto t = xml.TagToJarray(QString::fromLatin1(c.text));
            ADD_FAILURE() << c.text << " gave a table of " << t->RecCount() << " records";
        } catch (const ostrel::RuntimeError& e) {
            EXPECT_EQ(e.number(), c.number) << c.text;
            EXPECT_TRUE(e.description().contains(QString::fromLatin1(c.mentions)))
                << c.text << ": " << e.description().toStdString();
        }
    }
}

TEST(Jarray, RandomTablesRoundTrip) {
    std::mt19937 rng(2024);
    const QString pieces[] = {QStringLiteral("사과"), QStringLiteral("_kg"), QStringLiteral("\""), QStringLiteral(" "),
                              QStringLiteral("<"), QStringLiteral(">"), QStringLiteral("&"), QStringLiteral("EMPTY"),
                              QStringLiteral("#"), QStringLiteral("12"), QStringLiteral("\r\n"), QStringLiteral("<TD>")};
    for (int round = 0; round < 40; ++round) {
        const int nof = 1 + static_cast<int>(rng() % 6);
        const int rows = static_cast<int>(rng() % 30);
        auto t = makeTable(nof);
        for (int r = 0; r < rows; ++r) {
            t->AppendBlank();
            for (int j = 0; j < nof; ++j) {
                switch (rng() % 5) {
                case 0: break;  // empty
                case 1: t->setFields(j, Currency::fromRaw(static_cast<int64_t>(rng()) * 37 - (1LL << 36))); break;
                case 2: t->setFields(j, ostrel::Date(ostrel::DateSerial(1990 + rng() % 60, 1 + rng() % 12, 1 + rng() % 28).serial
                                                     + (rng() % 2 ? ostrel::TimeSerial(rng() % 24, rng() % 60, rng() % 60) : 0)));
                        break;
                default: {
                    QString s;
                    int n = static_cast<int>(rng() % 5);
                    for (int k = 0; k < n; ++k) s += pieces[rng() % std::size(pieces)];
                    t->setFields(j, s);
                }
                }
            }
        }
        auto back = xml.TagToJarray(xml.JarrayToTag(*t));
        ASSERT_EQ(back->NOF(), nof);
        ASSERT_EQ(back->RecCount(), rows);
        for (int r = 0; r < rows; ++r)
            for (int j = 0; j < nof; ++j) {
                const Variant a = t->Cell(r, j), b = back->Cell(r, j);
                ASSERT_EQ(a.type(), b.type()) << "round " << round << " cell " << r << "," << j;
                ASSERT_TRUE(a.identical(b)) << a.toString().toStdString() << " vs " << b.toString().toStdString();
            }
    }
}
