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

TEST(ParseConnectionString, BracesDoubledInsideBracedValues) {
    ConnectionSettings s;
    std::string error;
    ASSERT_TRUE(ParseConnectionString(u"DBQ={C:\\a}};b{c;d}}}}.mdb};Pwd={}}}", &s, &error)) << error;
    EXPECT_EQ(s.database, u"C:\\a};b{c;d}}.mdb");
    EXPECT_EQ(s.password, u"}");
}

TEST(ParseConnectionString, QuotedValuesAsOleDbWritesThem) {
    ConnectionSettings s;
    std::string error;
    ASSERT_TRUE(ParseConnectionString(
        u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"C:\\path\\API常量.mdb\";Jet OLEDB:Database Password='it''s'",
        &s, &error))
        << error;
    EXPECT_EQ(s.database, u"C:\\path\\API常量.mdb");
    EXPECT_EQ(s.password, u"it's");
    EXPECT_EQ(s.provider, u"Microsoft.Jet.OLEDB.4.0");
    ASSERT_TRUE(ParseConnectionString(u"Data Source = 'C:\\a;b\"c.mdb' ;", &s, &error)) << error;
    EXPECT_EQ(s.database, u"C:\\a;b\"c.mdb");
    ASSERT_TRUE(ParseConnectionString(u"Data Source=C:\\it's \"here\".mdb", &s, &error)) << error;
    EXPECT_EQ(s.database, u"C:\\it's \"here\".mdb");  // a quote inside a bare value is plain text
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
        u"DBQ={a}}.mdb",
        u"Data Source=\"a.mdb",
        u"Data Source='a.mdb'x",
        u"Data Source=\"\"",
    };
    for (const char16_t* text : bad) {
        ConnectionSettings s;
        std::string error;
        EXPECT_FALSE(ParseConnectionString(text, &s, &error));
        EXPECT_FALSE(error.empty());
    }
}
