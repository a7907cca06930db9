// S16 reading: layout flag, positions of the pixel blocks, damaged files,
// the memory cap, and the pixel layout conversion.
#include "sampleworld/S16Writer.h"
#include "sampleworld/SampleWorld.h"
#include "sprites/S16File.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

class S16Files : public ::testing::Test {
protected:
    QTemporaryDir dir;
    S16File file;

    QString write(const QByteArray& bytes, const QString& name = QStringLiteral("album.s16"))
    {
        const QString path = dir.filePath(name);
        writeWholeFile(path, bytes);
        return path;
    }

    static QByteArray header(std::uint32_t flags, std::uint16_t count)
    {
        QByteArray out(6, '\0');
        qToLittleEndian(flags, out.data());
        qToLittleEndian(count, out.data() + 4);
        return out;
    }

    static QByteArray spriteHeader(std::uint32_t offset, std::uint16_t w, std::uint16_t h)
    {
        QByteArray out(8, '\0');
        qToLittleEndian(offset, out.data());
        qToLittleEndian(w, out.data() + 4);
        qToLittleEndian(h, out.data() + 6);
        return out;
    }

    static QByteArray pixels(std::initializer_list<std::uint16_t> values)
    {
        QByteArray out;
        for (std::uint16_t v : values) {
            char b[2];
            qToLittleEndian(v, b);
            out.append(b, 2);
        }
        return out;
    }
};

}  // namespace

TEST_F(S16Files, CountZeroLoadsEmptyFromSixBytes)
{
    const QString path = write(header(1, 0));
    file.loadFromFile(encodePath(path));
    EXPECT_EQ(file.count(), 0);
    EXPECT_EQ(file.fileName, path);
}

TEST_F(S16Files, FlagBitZeroAloneChoosesTheLayout)
{
    const std::pair<std::uint32_t, PixelLayout> cases[] = {
        {1, pl565}, {0xFFFFFFFF, pl565}, {0, pl555}, {0xFFFFFFFE, pl555}};
    for (auto [flags, layout] : cases) {
        file.loadFromFile(encodePath(write(header(flags, 1) + spriteHeader(0, 1, 1) + pixels({0x1234}))));
        EXPECT_EQ(file.pixelLayout, layout) << flags;
        EXPECT_EQ(file.getSprite(0).pixelLayout, layout) << flags;
        EXPECT_EQ(file.getSprite(0).pixels[0], 0x1234) << "no conversion while loading";
    }
}

TEST_F(S16Files, BlocksAreFoundByPositionWhateverTheStoredOffsets)
{
    // A zero-sized sprite in the middle takes no bytes; offsets point nowhere.
    const QByteArray bytes = header(1, 3) + spriteHeader(0xFFFFFFF0, 2, 1) + spriteHeader(12345, 0, 7)
                             + spriteHeader(0, 1, 2) + pixels({1, 2, 3, 4}) + "trailing bytes are ignored";
    file.loadFromFile(encodePath(write(bytes)));
    ASSERT_EQ(file.count(), 3);
    EXPECT_EQ(file.getSprite(0).pixels, (PixelBuffer{1, 2}));
    EXPECT_EQ(file.getSprite(1).width, 0);
    EXPECT_EQ(file.getSprite(1).height, 7);
    EXPECT_TRUE(file.getSprite(1).pixels.empty());
    EXPECT_EQ(file.getSprite(2).pixels, (PixelBuffer{3, 4}));
}

TEST_F(S16Files, AFileCutInsideThePixelBlocksLoadsEverySpriteWithZeros)
{
    const QByteArray bytes = header(0, 2) + spriteHeader(0, 2, 2) + spriteHeader(0, 3, 1) + pixels({7, 8, 9});
    file.loadFromFile(encodePath(write(bytes + "\x05")));  // an odd byte cuts a pixel in half
    ASSERT_EQ(file.count(), 2);
    EXPECT_EQ(file.getSprite(0).pixels, (PixelBuffer{7, 8, 9, 5}));
    EXPECT_EQ(file.getSprite(1).pixels, (PixelBuffer{0, 0, 0}));
    EXPECT_EQ(file.getSprite(1).width, 3);
}

TEST_F(S16Files, ManySpritesAndAnEndInsideALaterBatchReadCorrectly)
{
    // More sprites than one system call can fill, and a file that ends in
    // the middle of the second batch.
    const int count = 1500;
    QByteArray bytes = header(1, count);
    for (int i = 0; i < count; ++i)
        bytes += spriteHeader(0, 2, 1);
    for (int i = 0; i < count; ++i)
        bytes += pixels({static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i + 1)});
    file.loadFromFile(encodePath(write(bytes.left(bytes.size() - 4 * 100 - 2))));  // sprite 1399 keeps one pixel
    ASSERT_EQ(file.count(), count);
    EXPECT_EQ(file.getSprite(1100).pixels, (PixelBuffer{1100, 1101}));
    EXPECT_EQ(file.getSprite(1399).pixels, (PixelBuffer{1399, 0}));
    EXPECT_EQ(file.getSprite(1400).pixels, (PixelBuffer{0, 0}));
    EXPECT_EQ(file.getSprite(count - 1).pixels, (PixelBuffer{0, 0}));
}

TEST_F(S16Files, AFileCutInsideItsHeadersIsAReadErrorAndLeavesNothing)
{
    const QByteArray full = header(1, 2) + spriteHeader(0, 1, 1) + spriteHeader(0, 1, 1) + pixels({1, 2});
    for (int cut : {0, 3, 5, 6, 10, 21}) {
        file.loadFromFile(encodePath(write(header(1, 0), QStringLiteral("good.s16"))));
        try {
            file.loadFromFile(encodePath(write(full.left(cut))));
            ADD_FAILURE() << "loaded a file cut at " << cut;
        } catch (const SpriteError&) {
            ADD_FAILURE() << "a cut header is a read error, not a sprite error";
        } catch (const ReadError& e) {
            EXPECT_TRUE(e.message.contains(QStringLiteral("album.s16")));
        }
        EXPECT_EQ(file.count(), 0) << cut;
        EXPECT_TRUE(file.fileName.isEmpty()) << cut;
    }
}

TEST_F(S16Files, AFailedOpenNamesThePathAndEmptiesTheObject)
{
    file.loadFromFile(encodePath(write(header(1, 1) + spriteHeader(0, 1, 1) + pixels({1}))));
    ASSERT_EQ(file.count(), 1);
    const QString missing = dir.filePath(QStringLiteral("photo_NONE.s16"));
    try {
        file.loadFromFile(encodePath(missing));
        ADD_FAILURE();
    } catch (const SpriteError& e) {
        EXPECT_EQ(e.message, "Unable to open file " + missing);
    }
    EXPECT_EQ(file.count(), 0);
    EXPECT_TRUE(file.fileName.isEmpty());
    EXPECT_EQ(file.pixelLayout, pl565);
    EXPECT_THROW(file.loadFromFile(encodePath(dir.path())), SpriteError);  // a directory
}

TEST_F(S16Files, HeadersClaimingTooMuchMemoryAreRefusedBeforeAnyAllocation)
{
    // 65,535 sprites of 65,535 x 65,535 would be half an exabyte.
    QByteArray huge = header(1, 0xFFFF);
    for (int i = 0; i < 0xFFFF; ++i)
        huge += spriteHeader(0, 0xFFFF, 0xFFFF);
    EXPECT_THROW(file.loadFromFile(encodePath(write(huge))), SpriteError);
    EXPECT_EQ(file.count(), 0);
    EXPECT_TRUE(file.fileName.isEmpty());

    // Just over the cap by summing many sprites that are each fine.
    QByteArray many = header(1, 17);
    for (int i = 0; i < 17; ++i)
        many += spriteHeader(0, 4096, 2048);  // 16 MiB each, 272 MiB in all
    EXPECT_THROW(file.loadFromFile(encodePath(write(many))), SpriteError);

    // The largest real picture, a single 2048 x 2048 photo, is far inside.
    file.loadFromFile(encodePath(write(header(1, 1) + spriteHeader(0, 2048, 2048))));
    EXPECT_EQ(file.getSprite(0).pixels.size(), 2048u * 2048u);
}

TEST_F(S16Files, GetSpriteChecksItsBounds)
{
    file.loadFromFile(encodePath(write(encodeS16(sampleAlbum("TOVA", 5), pl565))));
    ASSERT_EQ(file.count(), 5);
    EXPECT_EQ(&file.getSprite(4), file.sprites.back().get());
    for (int bad : {-1, 5, 1000}) {
        try {
            file.getSprite(bad);
            ADD_FAILURE() << bad;
        } catch (const SpriteError& e) {
            EXPECT_EQ(e.message, "List Index Out of Bounds");
        }
    }
}

TEST_F(S16Files, WriterAndReaderAgreeOnSampleAlbums)
{
    const std::vector<Picture> album = sampleAlbum("DAGP", 4);
    file.loadFromFile(encodePath(write(encodeS16(album, pl555))));
    ASSERT_EQ(file.count(), 4);
    for (int i = 0; i < 4; ++i) {
        const S16Sprite& s = file.getSprite(i);
        EXPECT_EQ(s.width, album[size_t(i)].width);
        EXPECT_EQ(s.height, album[size_t(i)].height);
        EXPECT_EQ(s.pixels.front(), packPixel(album[size_t(i)].pixels.front(), pl555));
        EXPECT_EQ(s.pixels.back(), packPixel(album[size_t(i)].pixels.back(), pl555));
    }
}

TEST(PixelLayout, FiveFiveFiveToFiveSixFiveIsBitExactAndOnce)
{
    S16Sprite s;
    s.width = 4;
    s.height = 1;
    s.pixelLayout = pl555;
    s.pixels = {0x7FFF, 0x0421, 0x8000, 0x001F};
    s.convertTo565();
    EXPECT_EQ(s.pixels, (PixelBuffer{0xFFDF, 0x0841, 0x0000, 0x001F}));
    EXPECT_EQ(s.pixelLayout, pl565);
    s.convertTo565();  // already 5-6-5: untouched
    EXPECT_EQ(s.pixels, (PixelBuffer{0xFFDF, 0x0841, 0x0000, 0x001F}));
    // Every 5-5-5 value gives its own 5-6-5 value.
    std::vector<std::uint16_t> all(0x8000);
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<std::uint16_t>(i);
    convert555To565(all.data(), all.size());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
}
