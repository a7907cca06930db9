// make-fuzz-seeds OUTDIR: the seed corpus of the fuzz targets, from the
// sample installation plus hand-made damaged inputs (OUTDIR/{history,s16,registry}).
#include "sampleworld/SampleWorld.h"

#include <QDir>
#include <QtEndian>
#include <cstdio>

namespace {

void put(const QString& dir, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(dir);
    writeWholeFile(dir + QLatin1Char('/') + name, bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString history = out + QStringLiteral("/history"), s16 = out + QStringLiteral("/s16"),
                  registry = out + QStringLiteral("/registry");

    // History records: every sample creature, and damaged forms of one.
    for (const SampleCreature& c : sampleCreatures())
        put(history, QString::fromLatin1(c.historyFile), c.entry.saveToBytes());
    const QByteArray full = sampleCreatures().front().entry.saveToBytes();
    for (int cut : {0, 3, 5, 21, 100, 353})
        put(history, QStringLiteral("cut-%1").arg(cut), full.left(cut));
    put(history, QStringLiteral("long-form-short-length"), QByteArray("ABCD\xFF\x03\x00" "Bob", 10) + QByteArray(350, '\0'));
    put(history, QStringLiteral("long-form-max-length"), QByteArray("ABCD\xFF\xFF\xFF", 7) + QByteArray(300, 'x'));
    put(history, QStringLiteral("trailing-bytes"), full + "more after the record");

    // S16 albums: small ones in both layouts, and damaged headers.
    for (PixelLayout layout : {pl565, pl555}) {
        std::vector<Picture> pictures = {drawPicture(0, 6, 4), drawPicture(1, 3, 5), drawPicture(3, 0, 2)};
        put(s16, QStringLiteral("album-%1").arg(layout == pl565 ? 565 : 555), encodeS16(pictures, layout));
    }
    const QByteArray album = encodeS16({drawPicture(2, 4, 4), drawPicture(4, 5, 3)}, pl565);
    for (int cut : {0, 4, 6, 13, 22, 30, 40})
        put(s16, QStringLiteral("cut-%1").arg(cut), album.left(cut));
    QByteArray huge(6 + 8, '\0');
    qToLittleEndian<std::uint32_t>(1, huge.data());
    qToLittleEndian<std::uint16_t>(1, huge.data() + 4);
    qToLittleEndian<std::uint16_t>(0xFFFF, huge.data() + 10);
    qToLittleEndian<std::uint16_t>(0xFFFF, huge.data() + 12);
    put(s16, QStringLiteral("huge-sprite"), huge);
    put(s16, QStringLiteral("count-zero"), QByteArray("\x01\x00\x00\x00\x00\x00", 6));

    // Registries: the sample's, a 64-bit prefix's, and the format's corners.
    put(registry, QStringLiteral("sample"), sampleRegistryText(QString::fromLatin1(kSampleHistoryWinPath),
                                                               QString::fromLatin1(kSampleGeneticsWinPath)));
    put(registry, QStringLiteral("wow64"), sampleRegistryText(QStringLiteral("D:\\H\\"), QStringLiteral("/abs/G/"), true));
    put(registry, QStringLiteral("corners"),
        "WINE REGISTRY Version 2\n[Software\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0] 1\n"
        "\"History Directory\"=\"C:\\\\a\\x00e9\\n\\0\\\"\"\n\"Genetics Directory\"=str(2):\"%X%\\\\\"\n"
        "\"Blob\"=hex:01,\\\n  02\n@=dword:00000001\n\"Multi\"=str(7):\"a\\0b\\0\"\n[unterminated\n\"x\"=\"y");
    put(registry, QStringLiteral("hex-strings"),
        "WINE REGISTRY Version 2\n[Software\\\\Wow6432Node\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0] 1\n"
        "\"History Directory\"=hex(2):5c,00,5c,00,73,00,5c,00,68,00,5c,00,\\\n  00,00,41,00\n"
        "\"Genetics Directory\"=hex(1):5c,00,47,00,5c,00,\\\n  \\\n  e9,\n"
        "\"Odd\"=hex(1):4\n\"Multi\"=hex(7):41,00,00,00\n[Next] 2\n");
    put(registry, QStringLiteral("rooted-and-unc"),
        sampleRegistryText(QStringLiteral("\\Games\\History\\"), QStringLiteral("\\\\server\\share\\G\\")));
    put(registry, QStringLiteral("long-path-forms"),
        sampleRegistryText(QStringLiteral("\\\\?\\UNC\\srv\\s\\H\\"), QStringLiteral("\\??\\D:\\G\\"), true));
    std::printf("seed corpus written to %s\n", argv[1]);
    return 0;
}
