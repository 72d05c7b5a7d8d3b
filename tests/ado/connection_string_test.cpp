#include "ado/connection_string.h"

#include <gtest/gtest.h>

using ado::ConnectionSettings;
using ado::ParseConnectionString;

TEST(ParseConnectionString, TheProgramsStringWithoutPassword) {
    ConnectionSettings s;
    std::string error;
    ASSERT_TRUE(ParseConnectionString(
        u"DBQ=Z:\\work\\dist\\API常量.mdb;Pwd=;DRIVER={Microsoft Access Driver (*.mdb)};", &s, &error))
        << error;
    EXPECT_EQ(s.database, u"Z:\\work\\dist\\API常量.mdb");
    EXPECT_EQ(s.password, u"");
    EXPECT_EQ(s.driver, u"Microsoft Access Driver (*.mdb)");
}

TEST(ParseConnectionString, KeysIgnoreCaseAndSpacesFirstWins) {
    ConnectionSettings s;
    std::string error;
    ASSERT_TRUE(ParseConnectionString(u" dbq = C:\\a b.mdb ; PWD=secret;Dbq=C:\\other.mdb;Extra=1", &s, &error));
    EXPECT_EQ(s.database, u"C:\\a b.mdb");
    EXPECT_EQ(s.password, u"secret");
}

TEST(ParseConnectionString, BracedValuesMayHoldSemicolons) {
    ConnectionSettings s;
    std::string error;
    ASSERT_TRUE(ParseConnectionString(u"Pwd={a;b=c};Data Source={C:\\x;y.mdb}", &s, &error)) << error;
    EXPECT_EQ(s.password, u"a;b=c");
    EXPECT_EQ(s.database, u"C:\\x;y.mdb");
}

TEST(ParseConnectionString, RefusesMalformedOrMissingDatabase) {
    const char16_t* bad[] = {
        u"",
        u";;",
        u"DRIVER={Microsoft Access Driver (*.mdb)};",
        u"DBQ=;Pwd=;",
        u"DBQ",
        u"=x;DBQ=a.mdb",
        u"DBQ={a.mdb",
        u"DBQ={a.mdb}x;",
        u"Pwd;DBQ=a.mdb",
    };
    for (const char16_t* text : bad) {
        ConnectionSettings s;
        std::string error;
        EXPECT_FALSE(ParseConnectionString(text, &s, &error));
        EXPECT_FALSE(error.empty());
    }
}
