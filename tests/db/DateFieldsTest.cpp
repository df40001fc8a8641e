#include "db/DateFields.h"
#include "tests/db/DbFixture.h"

#include "platform/core/Locale.h"

namespace {

class DateFieldsTest : public dbtest::DbFixture {
protected:
    void SetUp() override {
        DbFixture::SetUp();
        saved_ = FormatSettings().DateSeparator;
        FormatSettings().DateSeparator = '/';
        Sql("create table Scadenze (Id integer primary key, Quando datetime, Testo varchar(10));"
            "insert into Scadenze values (1, '2007-03-05 18:30:00', 'abc');"
            "insert into Scadenze values (2, null, null);"
            "insert into Scadenze values (3, '1899-12-30 00:00:00', null);"
            "insert into Scadenze values (4, '1899-12-30 10:00:00', null);");
        table_ = Table("Scadenze");
        table_->Open();
    }
    void TearDown() override {
        FormatSettings().DateSeparator = saved_;
        DbFixture::TearDown();
    }
    TTable* table_ = nullptr;
    char saved_ = '/';
};

TEST_F(DateFieldsTest, DatesRenderInTheThreeForms) {
    EXPECT_EQ(FormattaData(table_, "Quando"), "05/03/2007");
    EXPECT_EQ(FormattaDataBreve(table_, "Quando"), "05/03/07");
    EXPECT_EQ(FormattaDataCBI(table_, "Quando"), "050307");
    FormatSettings().DateSeparator = '.';
    EXPECT_EQ(FormattaData(table_, "Quando"), "05.03.2007");
    EXPECT_EQ(FormattaDataCBI(table_, "Quando"), "050307");
}

TEST_F(DateFieldsTest, NullMissingAndZeroDates) {
    for (const char* name : {"Manca", "Quando"}) {
        if (AnsiString(name) == "Quando") table_->Next(); // the null record
        EXPECT_EQ(FormattaData(table_, name), "") << name;
        EXPECT_EQ(FormattaDataBreve(table_, name), "") << name;
        EXPECT_EQ(FormattaDataCBI(table_, name), "") << name;
    }
    // The date 0, and a time alone, which loses its time of day.
    for (int i = 0; i < 2; ++i) {
        table_->Next();
        EXPECT_EQ(FormattaData(table_, "Quando"), "");
        EXPECT_EQ(FormattaDataBreve(table_, "Quando"), "");
        EXPECT_EQ(FormattaDataCBI(table_, "Quando"), "000000");
    }
    // An existing field that holds no date passes the error on.
    table_->First();
    EXPECT_THROW(FormattaData(table_, "Testo"), Exception);
}

} // namespace
