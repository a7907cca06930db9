// The photo album viewer, the one way sprites are shown, and BMP files.
#include "gui/GuiTest.h"

#include "TestUtil.h"
#include "browser/ImageBox.h"
#include "browser/SaveFileDialog.h"
#include "browser/PhotoAlbumDialog.h"
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

S16Sprite makeSprite(int w, int h, PixelLayout layout, std::uint16_t seed = 1)
{
    S16Sprite s;
    s.width = static_cast<std::uint16_t>(w);
    s.height = static_cast<std::uint16_t>(h);
    s.pixels.resize(std::size_t(s.width) * s.height);
    s.pixelLayout = layout;
    for (size_t i = 0; i < s.pixels.size(); ++i)
        s.pixels[i] = static_cast<std::uint16_t>((i * 2654435761u + seed) & (layout == pl555 ? 0x7FFF : 0xFFFF));
    return s;
}

// Types a name into Qt's own file dialog, as a user would (selectFile does
// not change the name box while it has the focus).
void typeFileName(QFileDialog* dialog, const QString& path)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_TRUE(edit);
    edit->setText(path);
}

// Whether an 8-bit-per-channel picture read back from a file holds exactly
// the 5-6-5 values of the original, whatever rounding its reader used to
// widen the channels.
::testing::AssertionResult same565(const QImage& readBack, const QImage& original)
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

PhotoAlbumDialog* albumDialog(MainWindow& v)
{
    return v.findChild<PhotoAlbumDialog*>();
}

// Double-clicks the picture as a user would.
void doubleClickPicture(QWidget* dialog)
{
    auto* picture = child<ImageBox>(dialog, "photoImage");
    QTest::mouseDClick(picture, Qt::LeftButton, {}, picture->rect().center());
}

QStringList itemTexts(QListWidget* list)
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
    openWindows();
    select(rowOf("TOVA"));
    const std::vector<Picture> album = sampleAlbum("TOVA", 5);
    QStringList items;
    QImage shownFirst, shownAfterKey;
    int selectedFirst = -2;
    QString title;
    whenModal([&](QWidget* w) {
        PhotoAlbumDialog* dialog = albumDialog(*viewer);
        EXPECT_EQ(w, dialog);
        title = w->windowTitle();
        items = itemTexts(child<QListWidget>(dialog, "photoList"));
        selectedFirst = child<QListWidget>(dialog, "photoList")->currentRow();
        shownFirst = child<ImageBox>(dialog, "photoImage")->picture();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(child<QListWidget>(dialog, "photoList"), &down);
        shownAfterKey = child<ImageBox>(dialog, "photoImage")->picture();
        w->close();
    });
    trigger("viewPhotoAlbumAction");
    EXPECT_EQ(title, "Viewing the Photo Album...");
    QStringList expected;
    for (size_t i = 0; i < album.size(); ++i)
        expected << QStringLiteral("[%1] %2 x %3").arg(i).arg(album[i].width).arg(album[i].height);
    EXPECT_EQ(items, expected);
    EXPECT_EQ(selectedFirst, 0);
    EXPECT_EQ(shownFirst, sampleAlbumImage("TOVA", 5, 0, pl565));
    EXPECT_EQ(shownAfterKey, sampleAlbumImage("TOVA", 5, 1, pl565));
    EXPECT_EQ(albumDialog(*viewer)->photoCount(), 0) << "the album is let go when the dialog closes";
}

// What the mouse picks is what is shown and what a save writes: a press
// moves the list's current row before it selects the item, and the photo
// must follow the row however it got there.
TEST_F(PhotoAlbum, ThePhotoClickedIsShownAndSaved)
{
    openWindows();
    select(rowOf("TOVA"));
    const std::vector<Picture> album = sampleAlbum("TOVA", 5);
    const QString target = dir.filePath("clicked");
    QList<QImage> shown;
    whenModal([&](QWidget* w) {
        PhotoAlbumDialog* dialog = albumDialog(*viewer);
        QListWidget* list = child<QListWidget>(dialog, "photoList");
        for (int i : {3, 1}) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(i)).center());
            shown << child<ImageBox>(dialog, "photoImage")->picture();
        }
        whenModal([&](QWidget* saveDialog) {
            auto* files = qobject_cast<QFileDialog*>(saveDialog);
            ASSERT_TRUE(files);
            typeFileName(files, target);
            static_cast<QDialog*>(files)->accept();
        });
        QTest::mouseDClick(child<ImageBox>(dialog, "photoImage"), Qt::LeftButton, {}, child<ImageBox>(dialog, "photoImage")->rect().center());
        w->close();
    });
    trigger("viewPhotoAlbumAction");
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], sampleAlbumImage("TOVA", 5, 3, pl565));
    EXPECT_EQ(shown[1], sampleAlbumImage("TOVA", 5, 1, pl565));
    const QImage saved(target + ".bmp");
    EXPECT_EQ(saved.size(), QSize(album[1].width, album[1].height));
    EXPECT_TRUE(same565(saved, sampleAlbumImage("TOVA", 5, 1, pl565)));
}

TEST_F(PhotoAlbum, TheSaveDialogWantsAnExistingFolder)
{
    openWindows();
    select(rowOf("TOVA"));
    const QString missing = dir.filePath("nodir/p");
    SeenBox warning;
    bool stillOpen = false;
    whenModal([&](QWidget* w) {
        PhotoAlbumDialog* dialog = albumDialog(*viewer);
        whenModal([&](QWidget* saveDialog) {
            auto* files = qobject_cast<QFileDialog*>(saveDialog);
            ASSERT_TRUE(files);
            typeFileName(files, missing);
            answerBox(QMessageBox::Ok, &warning);
            QTest::keyClick(files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
            stillOpen = files->isVisible();
            files->reject();
        });
        doubleClickPicture(dialog);
        w->close();
    });
    trigger("viewPhotoAlbumAction");
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(warning.text.contains(dir.filePath("nodir"))) << warning.text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(missing + ".bmp"));
}

TEST_F(PhotoAlbum, FiveFiveFiveAlbumsShowTheSamePictureAsFiveSixFive)
{
    openWindows();
    select(rowOf("SKDR"));  // a 5-5-5 album
    QImage shown;
    whenModal([&](QWidget* w) {
        shown = child<ImageBox>(albumDialog(*viewer), "photoImage")->picture();
        w->close();
    });
    trigger("viewPhotoAlbumAction");
    EXPECT_EQ(shown, sampleAlbumImage("SKDR", 3, 0, pl555));
}

TEST_F(PhotoAlbum, ReopeningForAnotherCreatureListsOnlyItsPhotos)
{
    openWindows();
    for (const char* moniker : {"TOVA", "ONE1"}) {
        select(rowOf(moniker));
        whenModal([](QWidget* w) { w->close(); });
        trigger("viewPhotoAlbumAction");
    }
    const Picture only = sampleAlbum("ONE1", 1)[0];
    EXPECT_EQ(itemTexts(child<QListWidget>(albumDialog(*viewer), "photoList")), QStringList{QStringLiteral("[0] %1 x %2").arg(only.width).arg(only.height)});
}

TEST_F(PhotoAlbum, AnAlbumWithoutPhotosOpensEmptyAndShowsNoOldPhoto)
{
    openWindows();
    select(rowOf("TOVA"));
    whenModal([](QWidget* w) { w->close(); });
    trigger("viewPhotoAlbumAction");
    select(rowOf("EMPT"));
    int count = -1, current = -2;
    bool blank = false;
    whenModal([&](QWidget* w) {
        count = child<QListWidget>(albumDialog(*viewer), "photoList")->count();
        current = child<QListWidget>(albumDialog(*viewer), "photoList")->currentRow();
        blank = child<ImageBox>(albumDialog(*viewer), "photoImage")->picture().isNull();
        w->close();
    });
    trigger("viewPhotoAlbumAction");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(current, -1);
    EXPECT_TRUE(blank);
}

TEST_F(PhotoAlbum, NoSelectionDoesNothingANoFlagAndAMissingFileAreReported)
{
    openWindows();
    focusList();
    expectNothingHappens([this] { press(Qt::Key_V, Qt::ControlModifier); });

    // The flag decides, not the disk: a file that appeared since is ignored.
    writeWholeFile(world.historyDir + "photo_GEN1.s16", encodeS16(sampleAlbum("GEN1", 1), pl565));
    select(rowOf("GEN1"));
    SeenBox seen;
    answerBox(QMessageBox::Ok, &seen);
    trigger("viewPhotoAlbumAction");
    EXPECT_EQ(seen.title, "Lifeledger - View Photo Album");
    EXPECT_EQ(seen.text, "This Creature does not have a photo album. As a result, you cannot view what is not there");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);

    // A flagged row whose file has gone: the load error, and no dialog.
    QFile::remove(world.historyDir + "photo_TOVA.s16");
    select(rowOf("TOVA"));
    SeenBox error;
    answerBox(QMessageBox::Ok, &error);
    trigger("viewPhotoAlbumAction");
    EXPECT_EQ(error.text, "Unable to open file " + viewer->controller()->historyDirectory() + "photo_TOVA.s16");
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_FALSE(albumDialog(*viewer)->isVisible());
}

TEST_F(PhotoAlbum, DoubleClickSavesTheWholePictureAsBmp)
{
    openWindows();
    // Nothing shown yet: a double-click on the picture offers nothing.
    expectNothingHappens([&] { QTest::mouseDClick(child<ImageBox>(albumDialog(*viewer), "photoImage"), Qt::LeftButton); });
    select(rowOf("BIG1"));  // larger than the picture area
    const QString target = dir.filePath("saved");
    whenModal([&](QWidget* w) {
        PhotoAlbumDialog* dialog = albumDialog(*viewer);
        whenModal([&](QWidget* saveDialog) {
            auto* files = qobject_cast<QFileDialog*>(saveDialog);
            ASSERT_TRUE(files);
            EXPECT_EQ(files->nameFilters(), QStringList{"Bitmap Files (*.bmp)"});
            EXPECT_EQ(files->defaultSuffix(), "bmp");
            typeFileName(files, target);
            static_cast<QDialog*>(files)->accept();
        });
        doubleClickPicture(dialog);
        EXPECT_TRUE(dialog->isVisible());
        w->close();
    });
    trigger("viewPhotoAlbumAction");
    QImageReader reader(target + ".bmp");
    const QImage saved = reader.read();
    ASSERT_FALSE(saved.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(saved.size(), QSize(220, 180));
    EXPECT_TRUE(same565(saved, sampleAlbumImage("BIG1", 1, 0, pl555)));
    EXPECT_EQ(child<QFileDialog>(albumDialog(*viewer), "saveBmpDialog")->selectedFiles().value(0), target + ".bmp");
}

TEST_F(PhotoAlbum, AFailedSaveShowsTheErrorAndTheDialogStaysOpen)
{
    openWindows();
    select(rowOf("TOVA"));
    QDir(dir.path()).mkpath("taken.bmp/inside");
    QList<SeenBox> boxes;
    bool openAfter = false;
    whenModal([&](QWidget* w) {
        PhotoAlbumDialog* dialog = albumDialog(*viewer);
        whenModal([&](QWidget* saveDialog) {
            auto* files = qobject_cast<QFileDialog*>(saveDialog);
            ASSERT_TRUE(files);
            typeFileName(files, dir.filePath("taken.bmp"));
            // Past the dialog's own checks, as when the folder changes meanwhile.
            static_cast<QDialog*>(files)->done(QDialog::Accepted);
        });
        BoxCollector collector;
        doubleClickPicture(dialog);
        boxes = collector.boxes;
        openAfter = dialog->isVisible();
        w->close();
    });
    trigger("viewPhotoAlbumAction");
    EXPECT_TRUE(openAfter);
    ASSERT_FALSE(boxes.isEmpty());
    EXPECT_TRUE(boxes[0].text.contains(dir.filePath("taken.bmp"))) << boxes[0].text.toStdString();
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.bmp/inside")).isDir());
}

TEST(SpriteDisplay, FiveFiveFiveAndItsFiveSixFiveTwinShowIdentically)
{
    S16Sprite a = makeSprite(7, 5, pl555);
    S16Sprite b = a;
    convert555To565(b.pixels.data(), b.pixels.size());
    b.pixelLayout = pl565;
    const QImage ia = spriteToImage(a), ib = spriteToImage(b);
    EXPECT_EQ(ia, ib);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_EQ(a.pixelLayout, pl565);
    const PixelBuffer once = a.pixels;
    spriteToImage(a);  // shown again: not converted again
    EXPECT_EQ(a.pixels, once);
    EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(ia.constScanLine(0))[0], a.pixels[0]);
    EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(ia.constScanLine(4))[6], a.pixels.back());
    S16Sprite empty = makeSprite(0, 9, pl555);
    EXPECT_TRUE(spriteToImage(empty).isNull());
}

TEST(SpriteDisplay, SmallPicturesSitCentredInBlackAndLargeOnesAreClipped)
{
    QFrame panel;
    panel.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel.setGeometry(0, 0, 152, 152);
    setUpPicturePanel(&panel);
    ImageBox box(&panel);
    box.setGeometry(1, 1, 150, 150);

    S16Sprite small = makeSprite(100, 60, pl565);
    std::fill(small.pixels.begin(), small.pixels.end(), 0xFFFF);
    box.setPicture(spriteToImage(small));
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

    S16Sprite large = makeSprite(300, 300, pl565);
    box.setPicture(spriteToImage(large));
    shot = box.grab().toImage().convertToFormat(QImage::Format_RGB16);
    const QImage full = spriteToImage(large);
    EXPECT_EQ(shot, full.copy(75, 75, 150, 150));
}

TEST(BmpFiles, OddAndEvenWidthsReadBackPixelForPixel)
{
    for (int w : {1, 2, 3, 7, 64, 101}) {
        S16Sprite s = makeSprite(w, 5, pl565, static_cast<std::uint16_t>(w));
        const QImage image = spriteToImage(s);
        const QByteArray bmp = encodeBmp565(image);
        const quint32 stride = (quint32(w) * 2 + 3) & ~3u;
        ASSERT_EQ(bmp.size(), qsizetype(66 + stride * 5)) << w;
        const char* d = bmp.constData();
        EXPECT_EQ(bmp.left(2), "BM");
        EXPECT_EQ(readLittleEndian<quint32>(d + 2), quint32(bmp.size()));
        EXPECT_EQ(readLittleEndian<quint32>(d + 10), 66u);
        EXPECT_EQ(readLittleEndian<quint32>(d + 14), 40u);
        EXPECT_EQ(readLittleEndian<qint32>(d + 18), w);
        EXPECT_EQ(readLittleEndian<qint32>(d + 22), 5);
        EXPECT_EQ(readLittleEndian<quint16>(d + 28), 16);
        EXPECT_EQ(readLittleEndian<quint32>(d + 30), 3u);
        EXPECT_EQ(readLittleEndian<quint32>(d + 34), stride * 5);
        EXPECT_EQ(readLittleEndian<quint32>(d + 54), 0xF800u);
        EXPECT_EQ(readLittleEndian<quint32>(d + 58), 0x07E0u);
        EXPECT_EQ(readLittleEndian<quint32>(d + 62), 0x001Fu);
        // The bottom row comes first; the first stored value of the last file
        // row is the top-left pixel.
        EXPECT_EQ(readLittleEndian<quint16>(d + 66 + stride * 4), s.pixels[0]);

        QBuffer buffer;
        buffer.setData(bmp);
        QImageReader reader(&buffer, "bmp");
        const QImage back = reader.read();
        ASSERT_FALSE(back.isNull()) << w << reader.errorString().toStdString();
        EXPECT_TRUE(same565(back, image)) << w;
    }
}

TEST(BmpFiles, AnotherProgramsReaderAgrees)
{
    const QString convert = QStandardPaths::findExecutable("convert");
    if (convert.isEmpty())
        GTEST_SKIP() << "ImageMagick is not installed";
    QTemporaryDir dir;
    S16Sprite s = makeSprite(33, 17, pl555);
    const QImage image = spriteToImage(s);
    writeBmp565(dir.filePath("x.bmp"), image);
    QProcess p;
    p.start(convert, {dir.filePath("x.bmp"), dir.filePath("x.png")});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(same565(QImage(dir.filePath("x.png")), image));
}
