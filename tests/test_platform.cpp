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
#include <QRegularExpression>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kGame = QString::fromLatin1(kGameKey);

RegistryKey keyFrom(const QByteArray& text, const QString& path = kGame)
{
    const auto keys = readRegistryKeys(text, {path});
    EXPECT_TRUE(keys[0].has_value());
    return keys[0].value_or(RegistryKey());
}

}  // namespace

TEST(WineRegistry, FindsTheGameInARegistryWrittenByWine)
{
    const QByteArray text = gunzipFile(QStringLiteral(LIFELEDGER_TEST_DATA "/wine-system.reg.gz"));
    ASSERT_GT(text.size(), 1000000);
    const RegistryKey key = keyFrom(text);
    EXPECT_EQ(registryString(key, "History Directory"), "C:\\Program Files\\Quenmoor\\Vivarion 2\\History\\");
    EXPECT_EQ(registryString(key, "Genetics Directory"), "C:\\Program Files\\Quenmoor\\Vivarion 2\\Genetics\\");
    // Other keys of the same file read as Wine stored them.
    const auto others = readRegistryKeys(text, {"Software\\Classes\\.chm", "Software\\No\\Such\\Key"});
    ASSERT_TRUE(others[0]);
    EXPECT_EQ(registryString(*others[0], ""), "chm.file");
    EXPECT_FALSE(others[1]);
}

TEST(WineRegistry, NamesMatchWithoutRegardToLetterCase)
{
    const QByteArray text = "WINE REGISTRY Version 2\n[software\\\\QUENMOOR technology\\\\Vivarion 2\\\\1.0] 1\n"
                            "\"HISTORY directory\"=\"x\"\n";
    EXPECT_EQ(registryString(keyFrom(text), "History Directory"), "x");
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
    const RegistryKey key = keyFrom(text);
    EXPECT_EQ(registryString(key, "Escapes"), QString::fromUtf16(u"a\\b \"q\" \n\r\t|") + QChar(0)
                                                  + QString::fromUtf16(u"|A\u00e9\u20ac!"));
    EXPECT_EQ(registryString(key, "Expand"), "%ProgramFiles%\\Game");
    EXPECT_EQ(registryString(key, "Multi"), "");
    EXPECT_EQ(registryString(key, "Number"), "");
    EXPECT_EQ(registryString(key, "Blob"), "");
    EXPECT_EQ(registryString(key, "After Blob"), "still read");
    EXPECT_EQ(registryString(key, ""), "the default");
    EXPECT_EQ(registryString(key, "Quote\"d"), "name with a quote");
    EXPECT_EQ(registryString(key, "Missing"), "");
}

TEST(WineRegistry, ContinuationLinesNeverPassForValuesOrKeys)
{
    const QByteArray text = "WINE REGISTRY Version 2\n[Software\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0] 1\n"
                            "\"Blob\"=hex:22,\\\n  \"History Directory\"=\"wrong\",\\\n  [Software]\n"
                            "\"History Directory\"=\"right\"\n";
    EXPECT_EQ(registryString(keyFrom(text), "History Directory"), "right");
}

TEST(WineRegistry, DamagedTextFindsNothingAndDoesNotCrash)
{
    for (const QByteArray& text : {QByteArray(), QByteArray("[unterminated"), QByteArray("\"a\"=\"b"),
                                   QByteArray("[Software\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0\n\"a\"=\"b\"\n"),
                                   QByteArray("\\\\\\\\\\"), QByteArray("\"x\"=str(2:\"y\"")})
        EXPECT_FALSE(readRegistryKeys(text, {kGame})[0]) << text.constData();
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
        EXPECT_EQ(hostPathFromWindows("/p", windows), host) << windows;
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
    const RegistryKey key = keyFrom(text);
    EXPECT_EQ(registryString(key, "History Directory"), QString::fromUtf16(u"C:\\H\u00e9\\"));
    EXPECT_EQ(registryString(key, "Genetics Directory"), "D:\\G\\");
    EXPECT_EQ(registryString(key, "Binary"), "");
    EXPECT_EQ(registryString(key, "Multi"), "");
    EXPECT_EQ(registryString(key, "After"), "still read");
}

class Lookup : public ::testing::Test {
protected:
    QTemporaryDir prefix;
    void writeRegistry(const QByteArray& text) { writeWholeFile(prefix.filePath("system.reg"), text); }
};

TEST_F(Lookup, PrefersTheThirtyTwoBitViewOfA64BitPrefix)
{
    writeRegistry(sampleRegistryText("C:\\Plain\\History\\", "C:\\Plain\\Genetics\\")
                  + sampleRegistryText("C:\\Wow\\History\\", "C:\\Wow\\Genetics\\", true));
    const auto found = readInstallation(encodePath(prefix.path()));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->historyDirectory, encodePath(prefix.path()) + "/dosdevices/c:/Wow/History/");
    EXPECT_EQ(found->geneticsDirectory, encodePath(prefix.path()) + "/dosdevices/c:/Wow/Genetics/");

    writeRegistry(sampleRegistryText("C:\\Plain\\History\\", "C:\\Plain\\Genetics\\"));
    EXPECT_EQ(readInstallation(encodePath(prefix.path()))->historyDirectory, encodePath(prefix.path()) + "/dosdevices/c:/Plain/History/");
}

TEST_F(Lookup, MissingFileOrKeyMeansNoInstallationButMissingValuesAreEmpty)
{
    EXPECT_FALSE(readInstallation(encodePath(prefix.path())));
    writeRegistry("WINE REGISTRY Version 2\n[Software\\\\Quenmoor Technology\\\\Vivarion 2] 1\n\"History Directory\"=\"x\"\n");
    EXPECT_FALSE(readInstallation(encodePath(prefix.path())));
    writeRegistry("WINE REGISTRY Version 2\n[Software\\\\Quenmoor Technology\\\\Vivarion 2\\\\1.0] 1\n"
                  "\"History Directory\"=dword:00000001\n");
    const auto found = readInstallation(encodePath(prefix.path()));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->historyDirectory, "");
    EXPECT_EQ(found->geneticsDirectory, "");
}

// A registry that is no plain file, or an implausibly large one, counts as
// no installation, at once: a pipe is not waited on, a device not read.
TEST_F(Lookup, HostileRegistryFilesMeanNoInstallation)
{
    const QByteArray reg = encodePath(prefix.filePath("system.reg"));
    ASSERT_EQ(::mkfifo(reg.constData(), 0644), 0);
    EXPECT_FALSE(readInstallation(encodePath(prefix.path())));
    ASSERT_EQ(::unlink(reg.constData()), 0);
    ASSERT_EQ(::symlink("/dev/zero", reg.constData()), 0);
    EXPECT_FALSE(readInstallation(encodePath(prefix.path())));
    ASSERT_EQ(::unlink(reg.constData()), 0);
    QDir(prefix.path()).mkdir("system.reg");
    EXPECT_FALSE(readInstallation(encodePath(prefix.path())));
}

TEST(CodePage, EveryByteSurvivesARoundTrip)
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = decodeText(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(encodeText(text), all);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));  // euro sign
    EXPECT_EQ(text.at(0x8C), QChar(0x0152));  // OE ligature
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(text.at(undefined), QChar(undefined));
    EXPECT_EQ(text.at(0xE9), QChar(0xE9));
}

TEST(CodePage, CharactersOutsideItAreRefusedAndNamed)
{
    EXPECT_FALSE(encodeText(QString::fromUtf16(u"Snow \u2603 man")));
    EXPECT_EQ(unencodableCharacters(QString::fromUtf16(u"\u2603 a \u0394\u2603 \U0001F600")),
              QString::fromUtf16(u"\u2603\u0394\U0001F600"));
    EXPECT_EQ(unencodableCharacters(QString::fromUtf16(u"caf\u00e9 \u20ac")), "");
}

// ---------------------------------------------------------------- launchers

TEST(ValveData, BothFormsOfTheLibraryListAndTheTextsCorners)
{
    const QByteArray current = "// written by Steam\n\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/home/me/.local/share/Steam\"\n"
                               "\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"404262992\"\n\t\t}\n\t}\n"
                               "\t\"1\" { \"PATH\" \"/mnt/with \\\"quotes\\\" and \\\\\" }\n}\n";
    EXPECT_EQ(steamLibraryFolders(current), (QStringList{"/home/me/.local/share/Steam", "/mnt/with \"quotes\" and \\"}));
    const QByteArray older = "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1600000000\"\n\t\"ContentStatsID\"\t\t\"-1\"\n"
                             "\t\"1\"\t\t\"/mnt/games/SteamLibrary\"\n}\n";
    EXPECT_EQ(steamLibraryFolders(older), QStringList{"/mnt/games/SteamLibrary"});
    // Damaged or hostile texts give what could be read, and never hang or overflow.
    for (const QByteArray& bad : {QByteArray("\"libraryfolders\" { \"0\" { \"path\" \"/a\""), QByteArray("}}}{{{"),
                                  QByteArray(100000, '{'), QByteArray("\"unterminated")})
        steamLibraryFolders(bad);
    EXPECT_EQ(steamLibraryFolders("\"libraryfolders\" { \"0\" { \"path\" \"/a\""), QStringList{"/a"});
}

// The XDG folders moved out of the home (as $XDG_CONFIG_HOME and
// $XDG_DATA_HOME may put them): the launchers' files are found there.
TEST(Launchers, TheXdgFoldersAreWhereTheEnvironmentPutsThem)
{
    QTemporaryDir dir;
    FakeHome home(dir.filePath("home"));
    home.steam(true, false);
    home.lutris(true);
    home.bottles(true, false);
    ASSERT_TRUE(QDir().rename(home.at(".local/share"), dir.filePath("data")));
    ASSERT_TRUE(QDir().rename(home.at(".config"), dir.filePath("config")));
    const auto launchers = [](const UserFolders& folders) {
        QStringList found;
        for (const PrefixCandidate& c : launcherPrefixes(folders, nullptr))
            found << c.launcher + " " + c.prefix;
        return found;
    };
    const QStringList inHome = launchers(home.root);
    EXPECT_TRUE(inHome.filter(QRegularExpression("^(Lutris|Bottles) /")).isEmpty()) << inHome.join('\n').toStdString();

    UserFolders moved(home.root);
    moved.configHome = dir.filePath("config");
    moved.dataHome = dir.filePath("data");
    const QStringList found = launchers(moved);
    EXPECT_TRUE(found.contains("Lutris " + home.at("Games/vivarion"))) << found.join('\n').toStdString();
    EXPECT_TRUE(found.contains("Bottles " + dir.filePath("data/bottles/bottles/Games"))) << found.join('\n').toStdString();

    // From the environment: an absolute value is taken, a relative one is not.
    const QByteArray config = qgetenv("XDG_CONFIG_HOME"), data = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_CONFIG_HOME", "relative/config");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")) + "/");
    const UserFolders fromEnvironment = UserFolders::fromEnvironment(home.root);
    EXPECT_EQ(fromEnvironment.configHome, home.root + "/.config");
    EXPECT_EQ(fromEnvironment.dataHome, dir.filePath("data"));
    for (const auto& [name, value] : {std::pair{"XDG_CONFIG_HOME", config}, std::pair{"XDG_DATA_HOME", data}})
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
}

// On a home where each launcher keeps prefixes, with and without the game,
// every prefix is found once, in order, and only those with the game count.
TEST(Launchers, EveryLaunchersPrefixesAndOnlyThoseWithTheGame)
{
    QTemporaryDir dir;
    FakeHome home(dir.filePath("home"));
    home.makePrefix(".wine", false);
    home.steam(false, true);
    home.lutris(true);
    home.bottles(false, true);
    home.makePrefix(".PlayOnLinux/wineprefix/Old", false);
    home.makePrefix(".cxoffice/Bottle", false);

    QStringList searched;
    std::vector<std::pair<QString, QString>> prefixes;
    for (const PrefixCandidate& c : launcherPrefixes(home.root, &searched))
        prefixes.emplace_back(c.launcher, c.prefix);
    const std::vector<std::pair<QString, QString>> expected = {
        {"Wine", home.at(".wine")},
        {"Steam", home.at(".steam/steam/steamapps/compatdata/100/pfx")},
        {"Steam", home.at("games/SteamLibrary/steamapps/compatdata/200/pfx")},
        {"Lutris", home.at("Games/vivarion")},
        {"Bottles", home.at(".local/share/bottles/bottles/Games")},
        {"Bottles (Flatpak)", home.at(".var/app/com.usebottles.bottles/data/bottles/bottles/Vivarion")},
        {"PlayOnLinux", home.at(".PlayOnLinux/wineprefix/Old")},
        {"CrossOver", home.at(".cxoffice/Bottle")},
    };
    EXPECT_EQ(prefixes, expected);
    EXPECT_TRUE(searched.contains(home.at(".local/share/Steam/steamapps/libraryfolders.vdf")));
    EXPECT_TRUE(searched.contains(home.at(".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/libraryfolders.vdf")));
    EXPECT_TRUE(searched.contains(home.at(".local/share/lutris/games")));

    QStringList found;
    for (const FoundInstallation& i : findInstallations(home.root, nullptr))
        found << i.launcher + " " + i.prefix;
    EXPECT_EQ(found, (QStringList{"Steam " + home.at("games/SteamLibrary/steamapps/compatdata/200/pfx"),
                                  "Lutris " + home.at("Games/vivarion"),
                                  "Bottles (Flatpak) " + home.at(".var/app/com.usebottles.bottles/data/bottles/bottles/Vivarion")}));
    EXPECT_TRUE(findInstallations(dir.filePath("empty"), nullptr).empty());
}

// Launcher files are hostile input: a library named thousands of times (by
// other spellings and through a link), an empty or relative library path, a
// Lutris file far larger than any real one, a prefix whose name is not
// UTF-8. Each prefix counts once, by the folder it is; the search is bounded
// by the limits it is given.
TEST(Launchers, HostileFilesAreBoundedAndEveryPrefixCountsOnce)
{
    QTemporaryDir dir;
    FakeHome home(dir.filePath("home"));
    home.steam(false, true);
    const QByteArray library = home.at("games/SteamLibrary").toUtf8();
    QFile::link(home.at("games/SteamLibrary"), home.at("games/Linked"));
    QByteArray vdf = "\"libraryfolders\"\n{\n";
    const QByteArray spellings[] = {library, library + "/", library + "/./", home.at("games/Linked").toUtf8(), "",
                                    "games/SteamLibrary", "../../" + library};
    for (int i = 0; i < 7000; ++i)
        vdf += "\t\"" + QByteArray::number(i) + "\"\n\t{\n\t\t\"path\"\t\t\"" + spellings[i % 7] + "\"\n\t}\n";
    vdf += "}\n";
    ASSERT_LT(vdf.size(), 1 << 20);
    home.write(".local/share/Steam/steamapps/libraryfolders.vdf", vdf);
    home.makePrefix("Games/huge", true);
    home.write(".config/lutris/games/huge.yml", "game:\n  prefix: " + home.at("Games/huge").toUtf8() + "\n#"
                                                     + QByteArray(100 << 10, 'x') + "\n");
    const QByteArray odd = home.at(".local/share/bottles/bottles/").toUtf8() + "Ga\xe9mes";
    home.makePrefix(".local/share/bottles/bottles/x", true);
    ASSERT_EQ(::rename(home.at(".local/share/bottles/bottles/x").toUtf8().constData(), odd.constData()), 0);

    QStringList searched;
    std::vector<QByteArray> prefixes;
    for (const FoundInstallation& found : findInstallations(home.root, &searched))
        prefixes.push_back(found.prefix);
    const std::vector<QByteArray> expected = {library + "/steamapps/compatdata/200/pfx", odd};
    EXPECT_EQ(prefixes, expected);
    EXPECT_EQ(searched.count(QString::fromUtf8(library) + "/steamapps/compatdata"), 1);
    EXPECT_FALSE(searched.contains("/steamapps/compatdata"));

    // The limits stop the search and say so.
    SearchLimits few;
    few.maxPrefixes = 2;
    searched.clear();
    EXPECT_EQ(launcherPrefixes(home.root, &searched, few).size(), 2u);
    EXPECT_EQ(searched.filter("(The search stopped there").size(), 1) << searched.join('\n').toStdString();
    SearchLimits none;
    none.maxMilliseconds = 0;
    EXPECT_TRUE(findInstallations(home.root, nullptr, none).empty());
    std::filesystem::remove_all(odd.constData());  // a name QTemporaryDir cannot spell
}
