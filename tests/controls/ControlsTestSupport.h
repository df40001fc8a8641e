#pragma once
// Shared by the tests of the data-aware controls: an Italian number and
// date setting for the test's lifetime, a form over a fresh SQLite archive,
// and reading values straight from the archive file.

#include "tests/platform/gui/GuiTestSupport.h"

#include "platform/core/Locale.h"
#include "platform/gui/Form.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <string>

class TTable;
class TDataSource;

// Decimal comma, thousands point, dates as 25/12/2012.
class ItalianSettings {
public:
    ItalianSettings() : saved_(FormatSettings()) {
        FormatSettings() = TFormatSettings::ForLocale("it_IT.UTF-8");
    }
    ~ItalianSettings() { FormatSettings() = saved_; }

private:
    TFormatSettings saved_;
};

class ArchiveFixture : public ::testing::Test {
protected:
    // Creates the archive from the statements, under an alias of its own.
    void MakeTables(const std::string& sql);
    // A table of the archive, owned by the form, not yet open.
    TTable* Table(const char* tableName);
    TDataSource* Source(TTable* table);
    // The first column of the first row, read from the file ("<null>" for a
    // null, "" without a row).
    std::string Value(const std::string& sql) const;

    ItalianSettings italian_;
    TempDir dir_;
    std::string alias_;
    TForm form_;
};

// Keys into a widget as the user types them.
void TypeKeys(QWidget* widget, const QString& text);
void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
