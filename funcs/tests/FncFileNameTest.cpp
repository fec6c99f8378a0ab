#include "ostrel/fncFileName.h"

#include <QDir>
#include <gtest/gtest.h>

using ostrel::fncFileName;

TEST(FncFileName, SplitsAtTheLastSeparatorAndPoint) {
    QString path, body, ext, file;
    fncFileName f;
    f.SplitPathBodyExt(QStringLiteral("C:\\data\\book.2024.mdb"), path, body, ext);
    EXPECT_EQ(path, QStringLiteral("C:\\data\\"));
    EXPECT_EQ(body, QStringLiteral("book.2024"));
    EXPECT_EQ(ext, QStringLiteral("mdb"));

    f.SplitPathBodyExt(QStringLiteral("/home/me/보고서.csv"), path, body, ext);
    EXPECT_EQ(path, QStringLiteral("/home/me/"));
    EXPECT_EQ(body, QStringLiteral("보고서"));
    EXPECT_EQ(ext, QStringLiteral("csv"));

    f.SplitPathBodyExt(QStringLiteral("readme"), path, body, ext);
    EXPECT_EQ(path, QStringLiteral(".") + QDir::separator());
    EXPECT_EQ(body, QStringLiteral("readme"));
    EXPECT_TRUE(ext.isEmpty());

    f.SplitPathFile(QStringLiteral("C:\\data\\"), path, file);
    EXPECT_EQ(path, QStringLiteral("C:\\data\\"));
    EXPECT_TRUE(file.isEmpty());
}
