#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DeviceCaps.h"
#include "platform/graphics/ImageCanvas.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/PdfCanvas.h"
#include "platform/graphics/Picture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

AnsiString InDir(const QTemporaryDir& dir, const char* name) {
    return AnsiString(dir.filePath(name).toStdString());
}

} // namespace

TEST(Bitmap, DrawsItselfAndKeepsPixelsWhenResized) {
    TBitmap bmp(4, 3);
    EXPECT_FALSE(bmp.Empty());
    EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clWhite);
    bmp.Canvas()->Brush()->SetColor(clRed);
    bmp.Canvas()->FillRect(Rect(0, 0, 2, 3));
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 2), clRed);

    bmp.SetSize(6, 5);
    EXPECT_EQ(bmp.Width(), 6);
    EXPECT_EQ(bmp.Height(), 5);
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 2), clRed);
    EXPECT_EQ(bmp.Canvas()->Pixels(5, 4), clWhite);
    bmp.Canvas()->FillRect(Rect(5, 4, 6, 5)); // the canvas follows the new size
    EXPECT_EQ(bmp.Canvas()->Pixels(5, 4), clRed);

    TImageCanvas target(30, 30);
    target.Draw(10, 10, &bmp);
    EXPECT_EQ(target.Pixels(10, 10), clRed);
    EXPECT_EQ(target.Pixels(12, 10), clWhite);
    EXPECT_EQ(target.Pixels(15, 14), clRed);
    EXPECT_EQ(target.Pixels(16, 15), clWhite);
    // Stretched to double size into 0..11 x 0..9.
    target.StretchDraw(Rect(0, 0, 12, 10), &bmp);
    EXPECT_EQ(target.Pixels(3, 5), clRed);
    EXPECT_EQ(target.Pixels(3, 6), clWhite);
    EXPECT_EQ(target.Pixels(4, 0), clWhite);
    EXPECT_EQ(target.Pixels(11, 9), clRed);
    EXPECT_EQ(target.Pixels(12, 9), clWhite);

    // Nothing to draw leaves every pixel as it was, wherever it is drawn.
    TBitmap empty;
    EXPECT_TRUE(empty.Empty());
    const QImage before = target.Image().copy();
    target.Draw(0, 0, &empty);
    target.Draw(11, 9, &empty);
    target.Draw(0, 0, nullptr);
    target.StretchDraw(Rect(0, 0, 30, 30), &empty);
    target.StretchDraw(Rect(0, 0, 30, 30), nullptr);
    EXPECT_TRUE(target.Image() == before) << "an empty bitmap changed the target";
}

TEST(Picture, LoadsFilesAndNamesTheFileItCannotRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TBitmap src(3, 2);
    src.Canvas()->Brush()->SetColor(clBlue);
    src.Canvas()->FillRect(Rect(2, 1, 3, 2));
    AnsiString png = InDir(dir, "a.png"), bmp = InDir(dir, "a.bmp"), jpg = InDir(dir, "a.jpg");
    ASSERT_TRUE(src.SaveToFile(png));
    ASSERT_TRUE(src.SaveToFile(bmp));
    ASSERT_TRUE(src.SaveToFile(jpg));

    TPicture pic;
    int changes = 0;
    pic.SetOnChange([&] { ++changes; });
    EXPECT_EQ(pic.Graphic(), nullptr);
    EXPECT_EQ(pic.Width(), 0);
    for (const AnsiString& name : {png, bmp}) {
        pic.LoadFromFile(name);
        ASSERT_NE(pic.Graphic(), nullptr);
        EXPECT_EQ(pic.Width(), 3);
        EXPECT_EQ(pic.Height(), 2);
        EXPECT_EQ(pic.Bitmap()->Canvas()->Pixels(2, 1), clBlue);
        EXPECT_EQ(pic.Bitmap()->Canvas()->Pixels(0, 0), clWhite);
    }
    pic.LoadFromFile(jpg);
    EXPECT_EQ(pic.Width(), 3);
    EXPECT_EQ(changes, 3);

    AnsiString missing = InDir(dir, "manca.png");
    try {
        pic.LoadFromFile(missing);
        FAIL() << "no error for a missing file";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(e.Message().Pos(missing), 0) << e.Message().c_str();
    }
    QFile junk(dir.filePath("rotta.png"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an image at all");
    junk.close();
    EXPECT_THROW(pic.LoadFromFile(InDir(dir, "rotta.png")), EInvalidGraphic);
    // A failed load keeps the previous graphic.
    EXPECT_EQ(pic.Width(), 3);

    TPicture copy;
    copy.Assign(&pic);
    ASSERT_NE(copy.Graphic(), nullptr);
    EXPECT_NE(copy.Graphic(), pic.Graphic());
    EXPECT_EQ(copy.Width(), 3);
    copy.SetGraphic(nullptr);
    EXPECT_EQ(copy.Graphic(), nullptr);
}

TEST(Metafile, RecordsAndReplaysStretched) {
    TMetafile meta;
    EXPECT_TRUE(meta.Empty());
    {
        TMetafileCanvas mc(&meta, nullptr);
        mc.Brush()->SetColor(clRed);
        mc.FillRect(Rect(0, 0, 10, 10));
        mc.Brush()->SetColor(clBlue);
        mc.FillRect(Rect(10, 0, 20, 10));
    }
    meta.SetWidth(20);
    meta.SetHeight(10);
    ASSERT_FALSE(meta.Empty());

    TImageCanvas target(100, 100);
    target.StretchDraw(Rect(10, 10, 50, 30), &meta);
    EXPECT_EQ(target.Pixels(12, 12), clRed);
    EXPECT_EQ(target.Pixels(28, 28), clRed);
    EXPECT_EQ(target.Pixels(32, 12), clBlue);
    EXPECT_EQ(target.Pixels(49, 29), clBlue);
    EXPECT_EQ(target.Pixels(51, 20), clWhite);
    EXPECT_EQ(target.Pixels(30, 31), clWhite);
    EXPECT_EQ(target.Pixels(9, 20), clWhite);

    // The reference canvas gives the recording its font.
    TImageCanvas ref(10, 10, 300);
    ref.Font()->SetSize(12);
    TMetafile m2;
    TMetafileCanvas mc2(&m2, &ref);
    EXPECT_EQ(mc2.Font()->Size(), 12);
}

TEST(FileCanvases, WritePngAndPdf) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    AnsiString png = InDir(dir, "out.png");
    {
        TImageCanvas c(16, 8);
        c.Brush()->SetColor(clGreen);
        c.FillRect(Rect(0, 0, 8, 8));
        ASSERT_TRUE(c.SaveToFile(png));
    }
    QImage back(dir.filePath("out.png"));
    ASSERT_EQ(back.width(), 16);
    EXPECT_EQ(back.pixel(7, 7), qRgb(0, 128, 0));
    EXPECT_EQ(back.pixel(8, 7), qRgb(255, 255, 255));

    AnsiString pdf = InDir(dir, "out.pdf");
    {
        TPdfCanvas c(pdf, 300);
        EXPECT_EQ(GetDeviceCaps(&c, LOGPIXELSX), 300);
        // A4 at 300 dpi is about 2480 x 3508 pixels.
        EXPECT_NEAR(c.PageWidth(), 2480, 3);
        EXPECT_NEAR(c.PageHeight(), 3508, 3);
        c.Brush()->SetColor(clRed);
        c.FillRect(Rect(100, 100, 500, 300));
        c.TextOut(100, 400, "Pagina uno");
        c.NewPage();
        c.TextOut(100, 100, "Pagina due");
    }
    QFile f(dir.filePath("out.pdf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray data = f.readAll();
    EXPECT_TRUE(data.startsWith("%PDF"));
    EXPECT_EQ(
        data.count("/Type /Page\n") + data.count("/Type /Page\r") + data.count("/Type /Page "), 2);
}
