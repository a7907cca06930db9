// The photo album viewer, the one way sprites are shown, and BMP files.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/ImageBox.h"
#include "browser/SaveFileDialog.h"
#include "browser/unitPhotoAlbum.h"
#include "common/ByteOrder.h"
#include "sprites/SpriteImage.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

TS16Sprite MakeSprite(int w, int h, TPixelLayout layout, std::uint16_t seed = 1)
{
    TS16Sprite s;
    s.SetWidth(static_cast<std::uint16_t>(w));
    s.SetHeight(static_cast<std::uint16_t>(h));
    s.PixelLayout = layout;
    for (size_t i = 0; i < s.Pixels.size(); ++i)
        s.Pixels[i] = static_cast<std::uint16_t>((i * 2654435761u + seed) & (layout == pl555 ? 0x7FFF : 0xFFFF));
    return s;
}

// Types a name into Qt's own file dialog, as a user would (selectFile does
// not change the name box while it has the focus).
void TypeFileName(QFileDialog* dialog, const QString& path)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(edit);
    edit->setText(path);
}

// Whether an 8-bit-per-channel picture read back from a file holds exactly
// the 5-6-5 values of the original, whatever rounding its reader used to
// widen the channels.
::testing::AssertionResult Same565(const QImage& readBack, const QImage& original)
{
    if (readBack.size() != original.size())
        return ::testing::AssertionFailure() << "sizes differ";
    const QImage rgb16 = original.convertToFormat(QImage::Format_RGB16);
    for (int y = 0; y < rgb16.height(); ++y) {
        const auto* line = reinterpret_cast<const quint16*>(rgb16.constScanLine(y));
        for (int x = 0; x < rgb16.width(); ++x) {
            const QRgb c = readBack.pixel(x, y);
            const int p = line[x];
            // Readers widen by scaling (v * 255 / max) or by shifting (v << n).
            auto same = [](int wide, int narrow, int bits) {
                const int max = (1 << bits) - 1;
                return qRound(wide * max / 255.0) == narrow || wide >> (8 - bits) == narrow;
            };
            if (!same(qRed(c), p >> 11, 5) || !same(qGreen(c), p >> 5 & 63, 6) || !same(qBlue(c), p & 31, 5))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
        }
    }
    return ::testing::AssertionSuccess();
}

TPhotoAlbum* Album(THistoryViewer& v)
{
    return v.PhotoAlbum;
}

// Double-clicks the picture as a user would.
void DoubleClickPicture(QWidget* dialog)
{
    auto* picture = Child<TImageBox>(dialog, "GraveImage");
    QTest::mouseDClick(picture, Qt::LeftButton, {}, picture->rect().center());
}

QStringList ItemTexts(QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

}  // namespace

using PhotoAlbum = GuiTest;

TEST_F(PhotoAlbum, ListsEveryPhotoAndShowsTheFirstBeforeTheDialogAppears)
{
    Open();
    Select(RowOf("TOVA"));
    const std::vector<TPicture> album = SampleAlbum("TOVA", 5);
    QStringList items;
    QImage shownFirst, shownAfterKey;
    int selectedFirst = -2;
    QString title;
    WhenModal([&](QWidget* w) {
        TPhotoAlbum* dialog = Album(*viewer);
        EXPECT_EQ(w, dialog);
        title = w->windowTitle();
        items = ItemTexts(Child<QListWidget>(dialog, "Images"));
        selectedFirst = Child<QListWidget>(dialog, "Images")->currentRow();
        shownFirst = Child<TImageBox>(dialog, "GraveImage")->Picture();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(Child<QListWidget>(dialog, "Images"), &down);
        shownAfterKey = Child<TImageBox>(dialog, "GraveImage")->Picture();
        w->close();
    });
    viewer->ViewPhotoAlbum1Click();
    EXPECT_EQ(title, "Viewing the Photo Album...");
    QStringList expected;
    for (size_t i = 0; i < album.size(); ++i)
        expected << QStringLiteral("[%1] %2 x %3").arg(i).arg(album[i].width).arg(album[i].height);
    EXPECT_EQ(items, expected);
    EXPECT_EQ(selectedFirst, 0);
    EXPECT_EQ(shownFirst, SampleAlbumImage("TOVA", 5, 0, pl565));
    EXPECT_EQ(shownAfterKey, SampleAlbumImage("TOVA", 5, 1, pl565));
    EXPECT_EQ(Album(*viewer)->Album().Count(), 0) << "the album is let go when the dialog closes";
}

// What the mouse picks is what is shown and what a save writes: a press
// moves the list's current row before it selects the item, and the photo
// must follow the row however it got there.
TEST_F(PhotoAlbum, ThePhotoClickedIsShownAndSaved)
{
    Open();
    Select(RowOf("TOVA"));
    const std::vector<TPicture> album = SampleAlbum("TOVA", 5);
    const QString target = dir.filePath("clicked");
    QList<QImage> shown;
    WhenModal([&](QWidget* w) {
        TPhotoAlbum* dialog = Album(*viewer);
        QListWidget* list = Child<QListWidget>(dialog, "Images");
        for (int i : {3, 1}) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(i)).center());
            shown << Child<TImageBox>(dialog, "GraveImage")->Picture();
        }
        WhenModal([&](QWidget* saveDialog) {
            auto* files = qobject_cast<QFileDialog*>(saveDialog);
            ASSERT_TRUE(files);
            TypeFileName(files, target);
            static_cast<QDialog*>(files)->accept();
        });
        QTest::mouseDClick(Child<TImageBox>(dialog, "GraveImage"), Qt::LeftButton, {}, Child<TImageBox>(dialog, "GraveImage")->rect().center());
        w->close();
    });
    viewer->ViewPhotoAlbum1Click();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], SampleAlbumImage("TOVA", 5, 3, pl565));
    EXPECT_EQ(shown[1], SampleAlbumImage("TOVA", 5, 1, pl565));
    const QImage saved(target + ".bmp");
    EXPECT_EQ(saved.size(), QSize(album[1].width, album[1].height));
    EXPECT_TRUE(Same565(saved, SampleAlbumImage("TOVA", 5, 1, pl565)));
}

TEST_F(PhotoAlbum, TheSaveDialogWantsAnExistingFolder)
{
    Open();
    Select(RowOf("TOVA"));
    const QString missing = dir.filePath("nodir/p");
    TSeenBox warning;
    bool stillOpen = false;
    WhenModal([&](QWidget* w) {
        TPhotoAlbum* dialog = Album(*viewer);
        WhenModal([&](QWidget* saveDialog) {
            auto* files = qobject_cast<QFileDialog*>(saveDialog);
            ASSERT_TRUE(files);
            TypeFileName(files, missing);
            AnswerBox(QMessageBox::Ok, &warning);
            QTest::keyClick(files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
            stillOpen = files->isVisible();
            files->reject();
        });
        DoubleClickPicture(dialog);
        w->close();
    });
    viewer->ViewPhotoAlbum1Click();
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(warning.Text.contains(dir.filePath("nodir"))) << warning.Text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing + ".bmp"));
}

TEST_F(PhotoAlbum, FiveFiveFiveAlbumsShowTheSamePictureAsFiveSixFive)
{
    Open();
    Select(RowOf("SKDR"));  // a 5-5-5 album
    QImage shown;
    WhenModal([&](QWidget* w) {
        shown = Child<TImageBox>(Album(*viewer), "GraveImage")->Picture();
        w->close();
    });
    viewer->ViewPhotoAlbum1Click();
    EXPECT_EQ(shown, SampleAlbumImage("SKDR", 3, 0, pl555));
}

TEST_F(PhotoAlbum, ReopeningForAnotherCreatureListsOnlyItsPhotos)
{
    Open();
    for (const char* moniker : {"TOVA", "ONE1"}) {
        Select(RowOf(moniker));
        WhenModal([](QWidget* w) { w->close(); });
        viewer->ViewPhotoAlbum1Click();
    }
    const TPicture only = SampleAlbum("ONE1", 1)[0];
    EXPECT_EQ(ItemTexts(Child<QListWidget>(Album(*viewer), "Images")), QStringList{QStringLiteral("[0] %1 x %2").arg(only.width).arg(only.height)});
}

TEST_F(PhotoAlbum, AnAlbumWithoutPhotosOpensEmptyAndShowsNoOldPhoto)
{
    Open();
    Select(RowOf("TOVA"));
    WhenModal([](QWidget* w) { w->close(); });
    viewer->ViewPhotoAlbum1Click();
    Select(RowOf("EMPT"));
    int count = -1, current = -2;
    bool blank = false;
    WhenModal([&](QWidget* w) {
        count = Child<QListWidget>(Album(*viewer), "Images")->count();
        current = Child<QListWidget>(Album(*viewer), "Images")->currentRow();
        blank = Child<TImageBox>(Album(*viewer), "GraveImage")->Picture().isNull();
        w->close();
    });
    viewer->ViewPhotoAlbum1Click();
    EXPECT_EQ(count, 0);
    EXPECT_EQ(current, -1);
    EXPECT_TRUE(blank);
}

TEST_F(PhotoAlbum, NoSelectionDoesNothingANoFlagAndAMissingFileAreReported)
{
    Open();
    FocusList();
    ExpectNothingHappens([this] { Press(Qt::Key_V, Qt::ControlModifier); });

    // The flag decides, not the disk: a file that appeared since is ignored.
    WriteWholeFile(world.HistoryDir + "photo_GEN1.s16", EncodeS16(SampleAlbum("GEN1", 1), pl565));
    Select(RowOf("GEN1"));
    TSeenBox seen;
    AnswerBox(QMessageBox::Ok, &seen);
    viewer->ViewPhotoAlbum1Click();
    EXPECT_EQ(seen.Title, "Lifeledger - View Photo Album");
    EXPECT_EQ(seen.Text, "This Creature does not have a photo album. As a result, you cannot view what is not there");
    EXPECT_EQ(seen.Icon, QMessageBox::Warning);
    EXPECT_EQ(seen.Buttons, QMessageBox::Ok);

    // A flagged row whose file has gone: the load error, and no dialog.
    QFile::remove(world.HistoryDir + "photo_TOVA.s16");
    Select(RowOf("TOVA"));
    TSeenBox error;
    AnswerBox(QMessageBox::Ok, &error);
    viewer->ViewPhotoAlbum1Click();
    EXPECT_EQ(error.Text, "Unable to open file " + viewer->HistoryDirectory + "photo_TOVA.s16");
    EXPECT_EQ(error.Icon, QMessageBox::Critical);
    EXPECT_FALSE(Album(*viewer)->isVisible());
}

TEST_F(PhotoAlbum, DoubleClickSavesTheWholePictureAsBmp)
{
    Open();
    Album(*viewer)->GraveImageDblClick();  // nothing shown yet: nothing offered
    Select(RowOf("BIG1"));  // larger than the picture area
    const QString target = dir.filePath("saved");
    WhenModal([&](QWidget* w) {
        TPhotoAlbum* dialog = Album(*viewer);
        WhenModal([&](QWidget* saveDialog) {
            auto* files = qobject_cast<QFileDialog*>(saveDialog);
            ASSERT_TRUE(files);
            EXPECT_EQ(files->nameFilters(), QStringList{"Bitmap Files (*.bmp)"});
            EXPECT_EQ(files->defaultSuffix(), "bmp");
            TypeFileName(files, target);
            static_cast<QDialog*>(files)->accept();
        });
        DoubleClickPicture(dialog);
        EXPECT_TRUE(dialog->isVisible());
        w->close();
    });
    viewer->ViewPhotoAlbum1Click();
    QImageReader reader(target + ".bmp");
    const QImage saved = reader.read();
    ASSERT_FALSE(saved.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(saved.size(), QSize(220, 180));
    EXPECT_TRUE(Same565(saved, SampleAlbumImage("BIG1", 1, 0, pl555)));
    EXPECT_EQ(Child<QFileDialog>(Album(*viewer), "SaveBMP")->selectedFiles().value(0), target + ".bmp");
}

TEST_F(PhotoAlbum, AFailedSaveShowsTheErrorAndTheDialogStaysOpen)
{
    Open();
    Select(RowOf("TOVA"));
    QDir(dir.path()).mkpath("taken.bmp/inside");
    QList<TSeenBox> boxes;
    bool openAfter = false;
    WhenModal([&](QWidget* w) {
        TPhotoAlbum* dialog = Album(*viewer);
        WhenModal([&](QWidget* saveDialog) {
            auto* files = qobject_cast<QFileDialog*>(saveDialog);
            ASSERT_TRUE(files);
            TypeFileName(files, dir.filePath("taken.bmp"));
            // Past the dialog's own checks, as when the folder changes meanwhile.
            static_cast<QDialog*>(files)->done(QDialog::Accepted);
        });
        TBoxCollector collector;
        DoubleClickPicture(dialog);
        boxes = collector.Boxes;
        openAfter = dialog->isVisible();
        w->close();
    });
    viewer->ViewPhotoAlbum1Click();
    EXPECT_TRUE(openAfter);
    ASSERT_FALSE(boxes.isEmpty());
    EXPECT_TRUE(boxes[0].Text.contains(dir.filePath("taken.bmp"))) << boxes[0].Text.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.bmp/inside")).isDir());
}

TEST(SpriteDisplay, FiveFiveFiveAndItsFiveSixFiveTwinShowIdentically)
{
    TS16Sprite a = MakeSprite(7, 5, pl555);
    TS16Sprite b = a;
    Convert555To565(b.Pixels.data(), b.Pixels.size());
    b.PixelLayout = pl565;
    const QImage ia = SpriteToImage(a), ib = SpriteToImage(b);
    EXPECT_EQ(ia, ib);
    EXPECT_EQ(a.Pixels, b.Pixels);
    EXPECT_EQ(a.PixelLayout, pl565);
    const TPixelBuffer once = a.Pixels;
    SpriteToImage(a);  // shown again: not converted again
    EXPECT_EQ(a.Pixels, once);
    EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(ia.constScanLine(0))[0], a.Pixels[0]);
    EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(ia.constScanLine(4))[6], a.Pixels.back());
    TS16Sprite empty = MakeSprite(0, 9, pl555);
    EXPECT_TRUE(SpriteToImage(empty).isNull());
}

TEST(SpriteDisplay, SmallPicturesSitCentredInBlackAndLargeOnesAreClipped)
{
    QFrame panel;
    panel.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel.setGeometry(0, 0, 152, 152);
    SetUpPicturePanel(&panel);
    TImageBox box(&panel);
    box.setGeometry(1, 1, 150, 150);

    TS16Sprite small = MakeSprite(100, 60, pl565);
    std::fill(small.Pixels.begin(), small.Pixels.end(), 0xFFFF);
    ShowSprite(&box, small);
    QImage shot = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(150, 150));
    EXPECT_EQ(shot.pixel(24, 75), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(25, 75), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(124, 75), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(125, 75), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(75, 44), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(75, 45), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(75, 104), qRgb(255, 255, 255));
    EXPECT_EQ(shot.pixel(75, 105), qRgb(0, 0, 0));

    TS16Sprite large = MakeSprite(300, 300, pl565);
    ShowSprite(&box, large);
    shot = box.grab().toImage().convertToFormat(QImage::Format_RGB16);
    const QImage full = SpriteToImage(large);
    EXPECT_EQ(shot, full.copy(75, 75, 150, 150));
}

TEST(BmpFiles, OddAndEvenWidthsReadBackPixelForPixel)
{
    for (int w : {1, 2, 3, 7, 64, 101}) {
        TS16Sprite s = MakeSprite(w, 5, pl565, static_cast<std::uint16_t>(w));
        const QImage image = SpriteToImage(s);
        const QByteArray bmp = EncodeBmp565(image);
        const quint32 stride = (quint32(w) * 2 + 3) & ~3u;
        ASSERT_EQ(bmp.size(), qsizetype(66 + stride * 5)) << w;
        const char* d = bmp.constData();
        EXPECT_EQ(bmp.left(2), "BM");
        EXPECT_EQ(ReadLittleEndian<quint32>(d + 2), quint32(bmp.size()));
        EXPECT_EQ(ReadLittleEndian<quint32>(d + 10), 66u);
        EXPECT_EQ(ReadLittleEndian<quint32>(d + 14), 40u);
        EXPECT_EQ(ReadLittleEndian<qint32>(d + 18), w);
        EXPECT_EQ(ReadLittleEndian<qint32>(d + 22), 5);
        EXPECT_EQ(ReadLittleEndian<quint16>(d + 28), 16);
        EXPECT_EQ(ReadLittleEndian<quint32>(d + 30), 3u);
        EXPECT_EQ(ReadLittleEndian<quint32>(d + 34), stride * 5);
        EXPECT_EQ(ReadLittleEndian<quint32>(d + 54), 0xF800u);
        EXPECT_EQ(ReadLittleEndian<quint32>(d + 58), 0x07E0u);
        EXPECT_EQ(ReadLittleEndian<quint32>(d + 62), 0x001Fu);
        // The bottom row comes first; the first stored value of the last file
        // row is the top-left pixel.
        EXPECT_EQ(ReadLittleEndian<quint16>(d + 66 + stride * 4), s.Pixels[0]);

        QBuffer buffer;
        buffer.setData(bmp);
        QImageReader reader(&buffer, "bmp");
        const QImage back = reader.read();
        ASSERT_FALSE(back.isNull()) << w << reader.errorString().toStdString();
        EXPECT_TRUE(Same565(back, image)) << w;
    }
}

TEST(BmpFiles, AnotherProgramsReaderAgrees)
{
    const QString convert = QStandardPaths::findExecutable("convert");
    if (convert.isEmpty())
        GTEST_SKIP() << "ImageMagick is not installed";
    QTemporaryDir dir;
    TS16Sprite s = MakeSprite(33, 17, pl555);
    const QImage image = SpriteToImage(s);
    WriteBmp565(dir.filePath("x.bmp"), image);
    QProcess p;
    p.start(convert, {dir.filePath("x.bmp"), dir.filePath("x.png")});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(Same565(QImage(dir.filePath("x.png")), image));
}
