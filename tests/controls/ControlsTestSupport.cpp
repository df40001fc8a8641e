#include "ControlsTestSupport.h"

#include "platform/data/DataSource.h"
#include "platform/data/Table.h"

#include <QTest>
#include <sqlite3.h>

void ArchiveFixture::MakeTables(const std::string& sql) {
    TestApp();
    // The session keeps a database per alias: a new alias per test.
    static int serial = 0;
    alias_ = "Controlli" + std::to_string(++serial);
    MakeArchive(dir_, alias_, sql);
}

TTable* ArchiveFixture::Table(const char* tableName) {
    auto* table = new TTable(&form_);
    table->SetDatabaseName(alias_);
    table->SetTableName(tableName);
    return table;
}

TDataSource* ArchiveFixture::Source(TTable* table) {
    auto* source = new TDataSource(&form_);
    source->SetDataSet(table);
    return source;
}

std::string ArchiveFixture::Value(const std::string& sql) const {
    const std::string file = dir_.Path() + "/" + alias_ + ".db";
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
            if (sqlite3_step(stmt) == SQLITE_ROW) {
                const unsigned char* text = sqlite3_column_text(stmt, 0);
                result = text ? reinterpret_cast<const char*>(text) : "<null>";
            }
        } else {
            ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql;
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

void TypeKeys(QWidget* widget, const QString& text) {
    QTest::keyClicks(widget, text);
}

void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(widget, key, modifiers);
}
