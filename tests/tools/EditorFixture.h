#pragma once
// The chart editor's window on a form shown without a display, driven as
// the user drives it: the mouse on the chart, keys on the chart and in the
// box panel's fields, the questions answered by the scripted dialogs and
// the file names by the test.

#include "tests/platform/core/TempDir.h"
#include "tests/quorgrafica/ChartMouse.h"
#include "tests/quorgrafica/ImageHelpers.h"

#include "platform/core/ScriptedDialogs.h"
#include "platform/graphics/GuiApplication.h"
#include "quorgrafica/ChartFile.h"
#include "quorgrafica/Clsgraf.h"
#include "tools/charteditor/BoxPanel.h"
#include "tools/charteditor/ChartEditor.h"
#include "tools/charteditor/ChartSnapshot.h"
#include "tools/charteditor/EditorChart.h"
#include "tools/charteditor/EditorWindow.h"
#include "tools/charteditor/QtHost.h"

#include "platform/gui/Edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace editortest {

using charteditor::ChartEditor;
using quorgrafica::clsBox;
using quorgrafica::clsGraf;

inline std::string Str(const quorbase::clsString& s) {
    return std::string(s.CStr() ? s.CStr() : "", static_cast<std::size_t>(s.Length()));
}

// The example chart of the sources.
inline std::string ExampleChart() {
    return EXAMPLE_CHART;
}

inline std::string FileText(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The lines of a chart's text, for messages that show where two differ.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class Editor : public ::testing::Test, protected charttest::ChartMouse {
protected:
    void SetUp() override {
        EnsureGuiApplication();
        form = std::make_unique<charteditor::TfrmChartEditor>();
        form->SetPosition(poDesigned);
        form->SetBounds(0, 0, 1000, 700);
        form->Show();
        editor().AskOpenName = [this](AnsiString& name) { return Answer(openNames, name); };
        editor().AskSaveName = [this](AnsiString& name) { return Answer(saveNames, name); };
        editor().AskExportName = [this](AnsiString& name) { return Answer(exportNames, name); };
        // The first paint sets the page, and with it the grid.
        chart().PaintToImage();
    }

    ChartEditor& editor() { return form->Editor(); }
    charteditor::TEditorChart& chart() { return *form->Chart; }
    clsGraf& root() { return *chart().RootGraf(); }
    clsGraf& shown() { return *chart().CurrentGraf(); }
    std::string Snapshot() { return charteditor::TakeSnapshot(root()); }

    // A copy of the example chart in the test's folder, opened.
    std::string OpenExample(const std::string& name = "conti.chart") {
        const std::string file = dir / name;
        std::filesystem::copy_file(ExampleChart(), file);
        EXPECT_TRUE(editor().OpenFile(AnsiString(file)));
        chart().PaintToImage();
        return file;
    }

    // The chart as the user drives it.
    QWidget* ChartWidget() { return chart().Widget(); }
    QWidget* MouseTarget() override { return ChartWidget(); }
    // A key typed with the chart's panel in focus.
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(form->ChartPanel->Widget(), key, mods);
    }
    // Text typed into a field of the box panel.
    void Type(TCustomEdit* field, const QString& text) {
        for (const QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(field->Widget(), c.toLatin1());
                continue;
            }
            // A letter the test library has no key for, as a keyboard types it.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(field->Widget(), &press);
            QApplication::sendEvent(field->Widget(), &release);
        }
    }

    clsBox* Box(const char* name) { return shown().GetBox(name); }
    // The middle of a box, where a press grabs it.
    QPoint Middle(const clsBox* box) {
        return QPoint((box->Frame.Left + box->Frame.Right) / 2,
                      (box->Frame.Top + box->Frame.Bottom) / 2);
    }
    QImage Image() { return chart().PaintToImage(); }

    TempDir dir;
    ScopedScriptedDialogs dialogs;
    std::unique_ptr<charteditor::TfrmChartEditor> form;
    // The file names the user gives, in turn; none left: the user cancels.
    std::vector<std::string> openNames, saveNames, exportNames;
    int asked = 0;

private:
    bool Answer(std::vector<std::string>& names, AnsiString& name) {
        ++asked;
        if (names.empty()) return false;
        name = AnsiString(names.front());
        names.erase(names.begin());
        return true;
    }
};

} // namespace editortest
