// S16 reading: layout flag, positions of the pixel blocks, damaged files,
// the memory cap, and the pixel layout conversion.
#include "sampleworld/S16Writer.h"
#include "sampleworld/SampleWorld.h"
#include "sprites/unitS16Handler.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

class S16Files : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TS16File file;

    QString Write(const QByteArray& bytes, const QString& name = QStringLiteral("album.s16"))
    {
        const QString path = dir.filePath(name);
        WriteWholeFile(path, bytes);
        return path;
    }

    static QByteArray Header(std::uint32_t flags, std::uint16_t count)
    {
        QByteArray out(6, '\0');
        qToLittleEndian(flags, out.data());
        qToLittleEndian(count, out.data() + 4);
        return out;
    }

    static QByteArray SpriteHeader(std::uint32_t offset, std::uint16_t w, std::uint16_t h)
    {
        QByteArray out(8, '\0');
        qToLittleEndian(offset, out.data());
        qToLittleEndian(w, out.data() + 4);
        qToLittleEndian(h, out.data() + 6);
        return out;
    }

    static QByteArray Pixels(std::initializer_list<std::uint16_t> values)
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
    const QString path = Write(Header(1, 0));
    file.LoadFromFile(EncodePath(path));
    EXPECT_EQ(file.Count(), 0);
    EXPECT_EQ(file.FileName, path);
}

TEST_F(S16Files, FlagBitZeroAloneChoosesTheLayout)
{
    const std::pair<std::uint32_t, TPixelLayout> cases[] = {
        {1, pl565}, {0xFFFFFFFF, pl565}, {0, pl555}, {0xFFFFFFFE, pl555}};
    for (auto [flags, layout] : cases) {
        file.LoadFromFile(EncodePath(Write(Header(flags, 1) + SpriteHeader(0, 1, 1) + Pixels({0x1234}))));
        EXPECT_EQ(file.PixelLayout, layout) << flags;
        EXPECT_EQ(file.GetSprite(0).PixelLayout, layout) << flags;
        EXPECT_EQ(file.GetSprite(0).Pixels[0], 0x1234) << "no conversion while loading";
    }
}

TEST_F(S16Files, BlocksAreFoundByPositionWhateverTheStoredOffsets)
{
    // A zero-sized sprite in the middle takes no bytes; offsets point nowhere.
    const QByteArray bytes = Header(1, 3) + SpriteHeader(0xFFFFFFF0, 2, 1) + SpriteHeader(12345, 0, 7)
                             + SpriteHeader(0, 1, 2) + Pixels({1, 2, 3, 4}) + "trailing bytes are ignored";
    file.LoadFromFile(EncodePath(Write(bytes)));
    ASSERT_EQ(file.Count(), 3);
    EXPECT_EQ(file.GetSprite(0).Pixels, (TPixelBuffer{1, 2}));
    EXPECT_EQ(file.GetSprite(1).Width, 0);
    EXPECT_EQ(file.GetSprite(1).Height, 7);
    EXPECT_TRUE(file.GetSprite(1).Pixels.empty());
    EXPECT_EQ(file.GetSprite(2).Pixels, (TPixelBuffer{3, 4}));
}

TEST_F(S16Files, AFileCutInsideThePixelBlocksLoadsEverySpriteWithZeros)
{
    const QByteArray bytes = Header(0, 2) + SpriteHeader(0, 2, 2) + SpriteHeader(0, 3, 1) + Pixels({7, 8, 9});
    file.LoadFromFile(EncodePath(Write(bytes + "\x05")));  // an odd byte cuts a pixel in half
    ASSERT_EQ(file.Count(), 2);
    EXPECT_EQ(file.GetSprite(0).Pixels, (TPixelBuffer{7, 8, 9, 5}));
    EXPECT_EQ(file.GetSprite(1).Pixels, (TPixelBuffer{0, 0, 0}));
    EXPECT_EQ(file.GetSprite(1).Width, 3);
}

TEST_F(S16Files, ManySpritesAndAnEndInsideALaterBatchReadCorrectly)
{
    // More sprites than one system call can fill, and a file that ends in
    // the middle of the second batch.
    const int count = 1500;
    QByteArray bytes = Header(1, count);
    for (int i = 0; i < count; ++i)
        bytes += SpriteHeader(0, 2, 1);
    for (int i = 0; i < count; ++i)
        bytes += Pixels({static_cast<std::uint16_t>(i), static_cast<std::uint16_t>(i + 1)});
    file.LoadFromFile(EncodePath(Write(bytes.left(bytes.size() - 4 * 100 - 2))));  // sprite 1399 keeps one pixel
    ASSERT_EQ(file.Count(), count);
    EXPECT_EQ(file.GetSprite(1100).Pixels, (TPixelBuffer{1100, 1101}));
    EXPECT_EQ(file.GetSprite(1399).Pixels, (TPixelBuffer{1399, 0}));
    EXPECT_EQ(file.GetSprite(1400).Pixels, (TPixelBuffer{0, 0}));
    EXPECT_EQ(file.GetSprite(count - 1).Pixels, (TPixelBuffer{0, 0}));
}

TEST_F(S16Files, AFileCutInsideItsHeadersIsAReadErrorAndLeavesNothing)
{
    const QByteArray full = Header(1, 2) + SpriteHeader(0, 1, 1) + SpriteHeader(0, 1, 1) + Pixels({1, 2});
    for (int cut : {0, 3, 5, 6, 10, 21}) {
        file.LoadFromFile(EncodePath(Write(Header(1, 0), QStringLiteral("good.s16"))));
        try {
            file.LoadFromFile(EncodePath(Write(full.left(cut))));
            ADD_FAILURE() << "loaded a file cut at " << cut;
        } catch (const ESpriteError&) {
            ADD_FAILURE() << "a cut header is a read error, not a sprite error";
        } catch (const EReadError& e) {
            EXPECT_TRUE(e.Message.contains(QStringLiteral("album.s16")));
        }
        EXPECT_EQ(file.Count(), 0) << cut;
        EXPECT_TRUE(file.FileName.isEmpty()) << cut;
    }
}

TEST_F(S16Files, AFailedOpenNamesThePathAndEmptiesTheObject)
{
    file.LoadFromFile(EncodePath(Write(Header(1, 1) + SpriteHeader(0, 1, 1) + Pixels({1}))));
    ASSERT_EQ(file.Count(), 1);
    const QString missing = dir.filePath(QStringLiteral("photo_NONE.s16"));
    try {
        file.LoadFromFile(EncodePath(missing));
        ADD_FAILURE();
    } catch (const ESpriteError& e) {
        EXPECT_EQ(e.Message, "Unable to open file " + missing);
    }
    EXPECT_EQ(file.Count(), 0);
    EXPECT_TRUE(file.FileName.isEmpty());
    EXPECT_EQ(file.PixelLayout, pl565);
    EXPECT_THROW(file.LoadFromFile(EncodePath(dir.path())), ESpriteError);  // a directory
}

TEST_F(S16Files, HeadersClaimingTooMuchMemoryAreRefusedBeforeAnyAllocation)
{
    // 65,535 sprites of 65,535 x 65,535 would be half an exabyte.
    QByteArray huge = Header(1, 0xFFFF);
    for (int i = 0; i < 0xFFFF; ++i)
        huge += SpriteHeader(0, 0xFFFF, 0xFFFF);
    EXPECT_THROW(file.LoadFromFile(EncodePath(Write(huge))), ESpriteError);
    EXPECT_EQ(file.Count(), 0);
    EXPECT_TRUE(file.FileName.isEmpty());

    // Just over the cap by summing many sprites that are each fine.
    QByteArray many = Header(1, 17);
    for (int i = 0; i < 17; ++i)
        many += SpriteHeader(0, 4096, 2048);  // 16 MiB each, 272 MiB in all
    EXPECT_THROW(file.LoadFromFile(EncodePath(Write(many))), ESpriteError);

    // The largest real picture, a single 2048 x 2048 photo, is far inside.
    file.LoadFromFile(EncodePath(Write(Header(1, 1) + SpriteHeader(0, 2048, 2048))));
    EXPECT_EQ(file.GetSprite(0).Pixels.size(), 2048u * 2048u);
}

TEST_F(S16Files, GetSpriteChecksItsBounds)
{
    file.LoadFromFile(EncodePath(Write(EncodeS16(SampleAlbum("TOVA", 5), pl565))));
    ASSERT_EQ(file.Count(), 5);
    EXPECT_EQ(&file.GetSprite(4), file.Sprites.back().get());
    for (int bad : {-1, 5, 1000}) {
        try {
            file.GetSprite(bad);
            ADD_FAILURE() << bad;
        } catch (const ESpriteError& e) {
            EXPECT_EQ(e.Message, "List Index Out of Bounds");
        }
    }
}

TEST_F(S16Files, WriterAndReaderAgreeOnSampleAlbums)
{
    const std::vector<TPicture> album = SampleAlbum("DAGP", 4);
    file.LoadFromFile(EncodePath(Write(EncodeS16(album, pl555))));
    ASSERT_EQ(file.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        const TS16Sprite& s = file.GetSprite(i);
        EXPECT_EQ(s.Width, album[size_t(i)].width);
        EXPECT_EQ(s.Height, album[size_t(i)].height);
        EXPECT_EQ(s.Pixels.front(), PackPixel(album[size_t(i)].pixels.front(), pl555));
        EXPECT_EQ(s.Pixels.back(), PackPixel(album[size_t(i)].pixels.back(), pl555));
    }
}

TEST(PixelLayout, FiveFiveFiveToFiveSixFiveIsBitExact)
{
    TS16Sprite s;
    s.SetWidth(4);
    s.SetHeight(1);
    s.PixelLayout = pl555;
    s.Pixels = {0x7FFF, 0x0421, 0x8000, 0x001F};
    s.SetPixelLayout(pl565);
    EXPECT_EQ(s.Pixels, (TPixelBuffer{0xFFDF, 0x0841, 0x0000, 0x001F}));
    EXPECT_EQ(s.PixelLayout, pl565);
    s.SetPixelLayout(pl565);  // same layout: untouched
    EXPECT_EQ(s.Pixels, (TPixelBuffer{0xFFDF, 0x0841, 0x0000, 0x001F}));
}

TEST(PixelLayout, BackToFiveFiveFiveDropsTheLowGreenBitAndRoundTrips)
{
    std::vector<std::uint16_t> all(0x10000);
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<std::uint16_t>(i);
    std::vector<std::uint16_t> v = all;
    Convert555To565(v.data(), v.size());
    Convert565To555(v.data(), v.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(v[i], all[i] & 0x7FFF) << i;

    std::vector<std::uint16_t> w = {0xFFFF, 0x0020, 0xF800};
    Convert565To555(w.data(), w.size());
    EXPECT_EQ(w, (std::vector<std::uint16_t>{0x7FFF, 0x0000, 0x7C00}));
}

TEST(SpriteSize, SettersResizeKeepContentAndNotify)
{
    TS16Sprite s;
    int calls = 0;
    s.OnChange = [&](TS16Sprite& changed) {
        EXPECT_EQ(&changed, &s);
        ++calls;
    };
    s.SetWidth(3);
    EXPECT_TRUE(s.Pixels.empty());
    s.SetHeight(2);
    ASSERT_EQ(s.Pixels.size(), 6u);
    s.Pixels = {1, 2, 3, 4, 5, 6};
    s.SetHeight(1);
    EXPECT_EQ(s.Pixels, (TPixelBuffer{1, 2, 3}));
    EXPECT_EQ(calls, 3);
}
