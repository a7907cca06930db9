// Finding the game in a Wine prefix, and the code page of record texts.
#include "platform/Installation.h"
#include "platform/TextCodec.h"
#include "platform/WineRegistry.h"
#include "FakeHome.h"
#include "platform/Launchers.h"
#include "platform/ValveData.h"
#include "sampleworld/SampleWorld.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kGame = QString::fromLatin1(kGameKey);

TRegistryKey KeyFrom(const QByteArray& text, const QString& path = kGame)
{
    const auto keys = ReadRegistryKeys(text, {path});
    EXPECT_TRUE(keys[0].has_value());
    return keys[0].value_or(TRegistryKey());
}

}  // namespace

TEST(WineRegistry, FindsTheGameInARegistryWrittenByWine)
{
    const QByteArray text = GunzipFile(QStringLiteral(LIFELEDGER_TEST_DATA "/wine-system.reg.gz"));
    ASSERT_GT(text.size(), 1000000);
    const TRegistryKey key = KeyFrom(text);
    EXPECT_EQ(RegistryString(key, "History Directory"), "C:\\Program Files\\Quenmoor\\Vivarion 2\\History\\");
    EXPECT_EQ(RegistryString(key, "Genetics Directory"), "C:\\Program Files\\Quenmoor\\Vivarion 2\\Genetics\\");
    // Other keys of the same file read as Wine stored them.
    const auto others = ReadRegistryKeys(text, {"Software\\Classes\\.chm", "Software\\No\\Such\\Key"});
    ASSERT_TRUE(others[0]);
    EXPECT_EQ(RegistryString(*others[0], ""), "chm.file");
    EXPECT_FALSE(others[1]);
}

TEST(WineRegistry, NamesMatchWithoutRegardToLetterCase)
{
    const QByteArray text = "WINE REGISTRY Version 2\n[software\\\\QUENMOOR technology\\\\Vivarion 2\\\\1.0] 1\n"
                            "\"HISTORY directory\"=\"x\"\n";
    EXPECT_EQ(RegistryString(KeyFrom(text), "History Directory"), "x");
}

TEST(WineRegistry, StringEscapesAndValueKinds)
{
    const QByteArray text =
        "WINE REGISTRY Version 2\n;; comment\n#arch=win64\n\n"
        "[Software\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0] 1796625244\n#time=1dd8614f3fab8b6\n"
        "\"Escapes\"=\"a\\\\b \\\"q\\\" \\n\\r\\t|\\0|\\x41\\x00e9\\x20ac!\"\n"
        "\"Expand\"=str(2):\"%ProgramFiles%\\\\Game\"\n"
        "\"Multi\"=str(7):\"one\\0two\\0\"\n"
        "\"Number\"=dword:00000010\n"
        "\"Blob\"=hex:01,02,03,\\\n  22,\\\n  5b,5d\n"
        "\"After Blob\"=\"still read\"\n"
        "@=\"the default\"\n"
        "\"Quote\\\"d\"=\"name with a quote\"\n"
        "\n[Software\\\\Other] 1\n\"After Blob\"=\"another key\"\n";
    const TRegistryKey key = KeyFrom(text);
    EXPECT_EQ(RegistryString(key, "Escapes"), QString::fromUtf16(u"a\\b \"q\" \n\r\t|") + QChar(0)
                                                  + QString::fromUtf16(u"|A\u00e9\u20ac!"));
    EXPECT_EQ(RegistryString(key, "Expand"), "%ProgramFiles%\\Game");
    EXPECT_EQ(RegistryString(key, "Multi"), "");
    EXPECT_EQ(RegistryString(key, "Number"), "");
    EXPECT_EQ(RegistryString(key, "Blob"), "");
    EXPECT_EQ(RegistryString(key, "After Blob"), "still read");
    EXPECT_EQ(RegistryString(key, ""), "the default");
    EXPECT_EQ(RegistryString(key, "Quote\"d"), "name with a quote");
    EXPECT_EQ(RegistryString(key, "Missing"), "");
}

TEST(WineRegistry, ContinuationLinesNeverPassForValuesOrKeys)
{
    const QByteArray text = "WINE REGISTRY Version 2\n[Software\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0] 1\n"
                            "\"Blob\"=hex:22,\\\n  \"History Directory\"=\"wrong\",\\\n  [Software]\n"
                            "\"History Directory\"=\"right\"\n";
    EXPECT_EQ(RegistryString(KeyFrom(text), "History Directory"), "right");
}

TEST(WineRegistry, DamagedTextFindsNothingAndDoesNotCrash)
{
    for (const QByteArray& text : {QByteArray(), QByteArray("[unterminated"), QByteArray("\"a\"=\"b"),
                                   QByteArray("[Software\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0\n\"a\"=\"b\"\n"),
                                   QByteArray("\\\\\\\\\\"), QByteArray("\"x\"=str(2:\"y\"")})
        EXPECT_FALSE(ReadRegistryKeys(text, {kGame})[0]) << text.constData();
}

// Windows paths are found where Wine finds them: drive letters and network
// shares through dosdevices, a rooted path on the current drive C:.
TEST(WinePaths, AsWineResolvesThem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Game\\History\\", "/p/dosdevices/c:/Program Files/Game/History/"},
        {"D:\\Games\\History", "/p/dosdevices/d:/Games/History"},
        {"\\Games\\History\\", "/p/dosdevices/c:/Games/History/"},
        {"\\\\server\\share\\H\\", "/p/dosdevices/unc/server/share/H/"},
        {"\\\\?\\C:\\Long\\", "/p/dosdevices/c:/Long/"},
        {"\\??\\E:\\Nt\\", "/p/dosdevices/e:/Nt/"},
        {"\\\\?\\UNC\\server\\share\\", "/p/dosdevices/unc/server/share/"},
        {"/home/me/History/", "/home/me/History/"},
        {"Relative\\History\\", "Relative/History/"},
        {"", ""},
    };
    for (const auto& [windows, host] : cases)
        EXPECT_EQ(HostPathFromWindows("/p", windows), host) << windows;
}

// Wine writes a string value that lacks its terminating zero as hex(1) or,
// when expandable, hex(2): UTF-16LE bytes, often over several lines.
TEST(WineRegistry, HexStringsReadUpToTheirFirstZero)
{
    const QByteArray text =
        "WINE REGISTRY Version 2\n[Software\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0] 1\n"
        "\"History Directory\"=hex(2):43,00,3a,00,5c,00,48,00,e9,00,5c,00,\\\n"
        "  00,00,41,00\n"
        "\"Genetics Directory\"=hex(1):44,00,3a,00,5c,00,47,00,5c,00\n"
        "\"Binary\"=hex:43,00,3a,00\n"
        "\"Multi\"=hex(7):41,00,00,00,00,00\n"
        "\"After\"=\"still read\"\n";
    const TRegistryKey key = KeyFrom(text);
    EXPECT_EQ(RegistryString(key, "History Directory"), QString::fromUtf16(u"C:\\H\u00e9\\"));
    EXPECT_EQ(RegistryString(key, "Genetics Directory"), "D:\\G\\");
    EXPECT_EQ(RegistryString(key, "Binary"), "");
    EXPECT_EQ(RegistryString(key, "Multi"), "");
    EXPECT_EQ(RegistryString(key, "After"), "still read");
}

class Lookup : public ::testing::Test {
protected:
    QTemporaryDir prefix;
    void WriteRegistry(const QByteArray& text) { WriteWholeFile(prefix.filePath("system.reg"), text); }
};

TEST_F(Lookup, PrefersTheThirtyTwoBitViewOfA64BitPrefix)
{
    WriteRegistry(SampleRegistryText("C:\\Plain\\History\\", "C:\\Plain\\Genetics\\")
                  + SampleRegistryText("C:\\Wow\\History\\", "C:\\Wow\\Genetics\\", true));
    const auto found = ReadInstallation(EncodePath(prefix.path()));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->HistoryDirectory, EncodePath(prefix.path()) + "/dosdevices/c:/Wow/History/");
    EXPECT_EQ(found->GeneticsDirectory, EncodePath(prefix.path()) + "/dosdevices/c:/Wow/Genetics/");

    WriteRegistry(SampleRegistryText("C:\\Plain\\History\\", "C:\\Plain\\Genetics\\"));
    EXPECT_EQ(ReadInstallation(EncodePath(prefix.path()))->HistoryDirectory, EncodePath(prefix.path()) + "/dosdevices/c:/Plain/History/");
}

TEST_F(Lookup, MissingFileOrKeyMeansNoInstallationButMissingValuesAreEmpty)
{
    EXPECT_FALSE(ReadInstallation(EncodePath(prefix.path())));
    WriteRegistry("WINE REGISTRY Version 2\n[Software\\\\Quenmoor Technology\\\\Vivarion 2] 1\n\"History Directory\"=\"x\"\n");
    EXPECT_FALSE(ReadInstallation(EncodePath(prefix.path())));
    WriteRegistry("WINE REGISTRY Version 2\n[Software\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0] 1\n"
                  "\"History Directory\"=dword:00000001\n");
    const auto found = ReadInstallation(EncodePath(prefix.path()));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->HistoryDirectory, "");
    EXPECT_EQ(found->GeneticsDirectory, "");
}

// A registry that is no plain file, or an implausibly large one, counts as
// no installation, at once: a pipe is not waited on, a device not read.
TEST_F(Lookup, HostileRegistryFilesMeanNoInstallation)
{
    const QByteArray reg = EncodePath(prefix.filePath("system.reg"));
    ASSERT_EQ(::mkfifo(reg.constData(), 0644), 0);
    EXPECT_FALSE(ReadInstallation(EncodePath(prefix.path())));
    ASSERT_EQ(::unlink(reg.constData()), 0);
    ASSERT_EQ(::symlink("/dev/zero", reg.constData()), 0);
    EXPECT_FALSE(ReadInstallation(EncodePath(prefix.path())));
    ASSERT_EQ(::unlink(reg.constData()), 0);
    QDir(prefix.path()).mkdir("system.reg");
    EXPECT_FALSE(ReadInstallation(EncodePath(prefix.path())));
}

TEST(CodePage, EveryByteSurvivesARoundTrip)
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = DecodeText(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(EncodeText(text), all);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));  // euro sign
    EXPECT_EQ(text.at(0x8C), QChar(0x0152));  // OE ligature
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(text.at(undefined), QChar(undefined));
    EXPECT_EQ(text.at(0xE9), QChar(0xE9));
}

TEST(CodePage, CharactersOutsideItAreRefusedAndNamed)
{
    EXPECT_FALSE(EncodeText(QString::fromUtf16(u"Snow \u2603 man")));
    EXPECT_EQ(UnencodableCharacters(QString::fromUtf16(u"\u2603 a \u0394\u2603 \U0001F600")),
              QString::fromUtf16(u"\u2603\u0394\U0001F600"));
    EXPECT_EQ(UnencodableCharacters(QString::fromUtf16(u"caf\u00e9 \u20ac")), "");
}

// ---------------------------------------------------------------- launchers

TEST(ValveData, BothFormsOfTheLibraryListAndTheTextsCorners)
{
    const QByteArray current = "// written by Steam\n\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/home/me/.local/share/Steam\"\n"
                               "\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"404262992\"\n\t\t}\n\t}\n"
                               "\t\"1\" { \"PATH\" \"/mnt/with \\\"quotes\\\" and \\\\\" }\n}\n";
    EXPECT_EQ(SteamLibraryFolders(current), (QStringList{"/home/me/.local/share/Steam", "/mnt/with \"quotes\" and \\"}));
    const QByteArray older = "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1600000000\"\n\t\"ContentStatsID\"\t\t\"-1\"\n"
                             "\t\"1\"\t\t\"/mnt/games/SteamLibrary\"\n}\n";
    EXPECT_EQ(SteamLibraryFolders(older), QStringList{"/mnt/games/SteamLibrary"});
    // Damaged or hostile texts give what could be read, and never hang or overflow.
    for (const QByteArray& bad : {QByteArray("\"libraryfolders\" { \"0\" { \"path\" \"/a\""), QByteArray("}}}{{{"),
                                  QByteArray(100000, '{'), QByteArray("\"unterminated")})
        SteamLibraryFolders(bad);
    EXPECT_EQ(SteamLibraryFolders("\"libraryfolders\" { \"0\" { \"path\" \"/a\""), QStringList{"/a"});
}

// On a home where each launcher keeps prefixes, with and without the game,
// every prefix is found once, in order, and only those with the game count.
TEST(Launchers, EveryLaunchersPrefixesAndOnlyThoseWithTheGame)
{
    QTemporaryDir dir;
    TFakeHome home(dir.filePath("home"));
    home.Prefix(".wine", false);
    home.Steam(false, true);
    home.Lutris(true);
    home.Bottles(false, true);
    home.Prefix(".PlayOnLinux/wineprefix/Old", false);
    home.Prefix(".cxoffice/Bottle", false);

    QStringList searched;
    std::vector<std::pair<QString, QString>> prefixes;
    for (const TPrefixCandidate& c : LauncherPrefixes(home.Root, &searched))
        prefixes.emplace_back(c.Launcher, c.Prefix);
    const std::vector<std::pair<QString, QString>> expected = {
        {"Wine", home.At(".wine")},
        {"Steam", home.At(".steam/steam/steamapps/compatdata/100/pfx")},
        {"Steam", home.At("games/SteamLibrary/steamapps/compatdata/200/pfx")},
        {"Lutris", home.At("Games/vivarion")},
        {"Bottles", home.At(".local/share/bottles/bottles/Games")},
        {"Bottles (Flatpak)", home.At(".var/app/com.usebottles.bottles/data/bottles/bottles/Vivarion")},
        {"PlayOnLinux", home.At(".PlayOnLinux/wineprefix/Old")},
        {"CrossOver", home.At(".cxoffice/Bottle")},
    };
    EXPECT_EQ(prefixes, expected);
    EXPECT_TRUE(searched.contains(home.At(".local/share/Steam/steamapps/libraryfolders.vdf")));
    EXPECT_TRUE(searched.contains(home.At(".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/libraryfolders.vdf")));
    EXPECT_TRUE(searched.contains(home.At(".local/share/lutris/games")));

    QStringList found;
    for (const TFoundInstallation& i : FindInstallations(home.Root, nullptr))
        found << i.Launcher + " " + i.Prefix;
    EXPECT_EQ(found, (QStringList{"Steam " + home.At("games/SteamLibrary/steamapps/compatdata/200/pfx"),
                                  "Lutris " + home.At("Games/vivarion"),
                                  "Bottles (Flatpak) " + home.At(".var/app/com.usebottles.bottles/data/bottles/bottles/Vivarion")}));
    EXPECT_TRUE(FindInstallations(dir.filePath("empty"), nullptr).empty());
}

// Launcher files are hostile input: a library named thousands of times (by
// other spellings and through a link), an empty or relative library path, a
// Lutris file far larger than any real one, a prefix whose name is not
// UTF-8. Each prefix counts once, by the folder it is; the search is bounded
// by the limits it is given.
TEST(Launchers, HostileFilesAreBoundedAndEveryPrefixCountsOnce)
{
    QTemporaryDir dir;
    TFakeHome home(dir.filePath("home"));
    home.Steam(false, true);
    const QByteArray library = home.At("games/SteamLibrary").toUtf8();
    QFile::link(home.At("games/SteamLibrary"), home.At("games/Linked"));
    QByteArray vdf = "\"libraryfolders\"\n{\n";
    const QByteArray spellings[] = {library, library + "/", library + "/./", home.At("games/Linked").toUtf8(), "",
                                    "games/SteamLibrary", "../../" + library};
    for (int i = 0; i < 7000; ++i)
        vdf += "\t\"" + QByteArray::number(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + spellings[i % 7] + "\"\n\t}\n";
    vdf += "}\n";
    ASSERT_LT(vdf.size(), 1 << 20);
    home.Write(".local/share/Steam/steamapps/libraryfolders.vdf", vdf);
    home.Prefix("Games/huge", true);
    home.Write(".config/lutris/games/huge.yml", "game:\n  prefix: " + home.At("Games/huge").toUtf8() + "\n#"
                                                     + QByteArray(100 << 10, 'x') + "\n");
    const QByteArray odd = home.At(".local/share/bottles/bottles/").toUtf8() + "Ga\xe9mes";
    home.Prefix(".local/share/bottles/bottles/x", true);
    ASSERT_EQ(::rename(home.At(".local/share/bottles/bottles/x").toUtf8().constData(), odd.constData()), 0);

    QStringList searched;
    std::vector<QByteArray> prefixes;
    for (const TFoundInstallation& found : FindInstallations(home.Root, &searched))
        prefixes.push_back(found.Prefix);
    const std::vector<QByteArray> expected = {library + "/steamapps/compatdata/200/pfx", odd};
    EXPECT_EQ(prefixes, expected);
    EXPECT_EQ(searched.count(QString::fromUtf8(library) + "/steamapps/compatdata"), 1);
    EXPECT_FALSE(searched.contains("/steamapps/compatdata"));

    // The limits stop the search and say so.
    TSearchLimits few;
    few.MaxPrefixes = 2;
    searched.clear();
    EXPECT_EQ(LauncherPrefixes(home.Root, &searched, few).size(), 2u);
    EXPECT_EQ(searched.filter("(The search stopped there").size(), 1) << searched.join('\n').toStdString();
    TSearchLimits none;
    none.MaxMilliseconds = 0;
    EXPECT_TRUE(FindInstallations(home.Root, nullptr, none).empty());
    std::filesystem::remove_all(odd.constData());  // a name QTemporaryDir cannot spell
}
