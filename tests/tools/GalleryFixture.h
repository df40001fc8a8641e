#pragma once
// The gallery's window as the program opens it, over a copy of a fresh demo
// archive and a copy of the example chart, with the helpers of the tests
// that drive it. Whatever a test does, the archive and the chart the copies
// were made from must keep every byte.

#include "tests/controls/ControlsTestSupport.h"
#include "tests/tools/ArchiveQueries.h"

#include "controls/QuorTreeView.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Table.h"
#include "platform/gui/DBGrid.h"
#include "platform/gui/DragDrop.h"
#include "tools/demoarchive/DemoArchive.h"
#include "tools/gallery/GalleryArchive.h"
#include "tools/gallery/GalleryChart.h"
#include "tools/gallery/GalleryData.h"
#include "tools/gallery/GalleryForm.h"

#include <QTest>
#include <QTreeView>

#include <filesystem>
#include <memory>
#include <string>

namespace gallerytest {

namespace fs = std::filesystem;

using tooltest::FileBytes;

class GalleryWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        demoarchive::Options options;
        options.movements = 40;
        demoarchive::Result demo;
        std::string error;
        ASSERT_TRUE(demoarchive::MakeDemoArchive(dir_.Path() + "/demo", options, demo, error))
            << error;
        original_ = demo.archive;
        originalBytes_ = FileBytes(original_);
        originalTime_ = fs::last_write_time(original_);
        ASSERT_TRUE(gallery::MakeGalleryCopy(original_, dir_.Path() + "/galleria", copy_, error))
            << error;
        gallery::UseGalleryCopy(copy_);
        ASSERT_TRUE(gallery::ExampleChart(example_, error)) << error;
        exampleBytes_ = FileBytes(example_);
        exampleTime_ = fs::last_write_time(example_);
        ASSERT_TRUE(gallery::MakeChartCopy(example_, dir_.Path() + "/galleria", chart_, error))
            << error;
    }

    // The window as the program opens it.
    void Open() {
        data_ = std::make_unique<TdatGalleria>();
        form_ = std::make_unique<TfrmGalleria>(nullptr, data_.get(), AnsiString(copy_.archive));
        AnsiString error;
        ASSERT_TRUE(form_->OpenChart(AnsiString(chart_), &error)) << error.str();
        form_->Show();
        view_ = qobject_cast<QTreeView*>(form_->tvConti->Widget());
        ASSERT_NE(view_, nullptr);
    }

    void TearDown() override {
        form_.reset();
        data_.reset();
        // Whatever the test did, the files the copies came from are as they were.
        EXPECT_TRUE(FileBytes(original_) == originalBytes_) << "the original archive changed";
        EXPECT_EQ(fs::last_write_time(original_), originalTime_);
        EXPECT_TRUE(FileBytes(example_) == exampleBytes_) << "the example chart changed";
        EXPECT_EQ(fs::last_write_time(example_), exampleTime_);
    }

    std::string Copy(const std::string& sql) const { return tooltest::One(copy_.archive, sql); }
    std::string Original(const std::string& sql) const { return tooltest::One(original_, sql); }

    TTreeNode* Child(TTreeNode* parent, const std::string& caption) const {
        TTreeNode* node =
            parent ? parent->getFirstChild() : form_->tvConti->Items()->GetFirstNode();
        for (; node; node = node->getNextSibling())
            if (node->Text() == AnsiString(caption)) return node;
        return nullptr;
    }
    QPoint Centre(TTreeNode* node) const {
        const TRect r = node->DisplayRect(true);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    // Clicks the node and opens it, as the user does to see its children.
    void Click(TTreeNode* node) {
        ASSERT_NE(node, nullptr);
        QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, Centre(node));
        node->SetExpanded(true);
    }
    void Drag(TTreeNode* from, TTreeNode* onto) {
        const QPoint start = Centre(from), end = Centre(onto);
        QTest::mousePress(view_->viewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(view_->viewport(), start + QPoint(DragThreshold + 3, 0));
        QTest::mouseMove(view_->viewport(), end);
        QTest::mouseRelease(view_->viewport(), Qt::LeftButton, {}, end);
    }
    // The text shown by a grid in its current row, in the column of a field.
    std::string GridCell(TDBGrid* grid, const char* field) const {
        for (int c = 0; c < grid->Columns().Count(); ++c)
            if (grid->Columns()[c]->FieldName() == AnsiString(field))
                return grid->CellText(grid->Row(), c).str();
        ADD_FAILURE() << "no column " << field;
        return {};
    }
    int CurrentMovement() const {
        return data_->tblMovConti->FieldByName("idMovConti")->AsInteger();
    }
    std::string Movement(const char* column) const {
        return Copy(std::string("SELECT ") + column + " FROM MovConti WHERE idMovConti = " +
                    std::to_string(CurrentMovement()));
    }

    ItalianSettings italian_;
    TempDir dir_;
    std::string original_;
    std::string originalBytes_;
    fs::file_time_type originalTime_;
    gallery::GalleryCopy copy_;
    std::string example_;
    std::string exampleBytes_;
    fs::file_time_type exampleTime_;
    std::string chart_; // the copy of the example
    ScopedScriptedDialogs dialogs_;
    std::unique_ptr<TdatGalleria> data_;
    std::unique_ptr<TfrmGalleria> form_;
    QTreeView* view_ = nullptr;
};

} // namespace gallerytest
