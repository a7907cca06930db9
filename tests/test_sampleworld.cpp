// The sample installation is what the demo shows and the GUI tests stand on.
#include "sampleworld/SampleWorld.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray TreeDigest(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& path : files) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        hash.addData(path.mid(root.size()).toUtf8());
        hash.addData(f.readAll());
    }
    return hash.result().toHex();
}

}  // namespace

TEST(SampleWorld, IsDeterministic)
{
    QTemporaryDir a, b;
    WriteSampleWorld(a.path());
    WriteSampleWorld(b.path());
    EXPECT_EQ(TreeDigest(a.path()), TreeDigest(b.path()));
}

TEST(SampleWorld, LaysOutAWinePrefix)
{
    QTemporaryDir dir;
    const TSampleWorld w = WriteSampleWorld(dir.path());
    EXPECT_TRUE(QFileInfo(w.Prefix + "/system.reg").isFile());
    EXPECT_EQ(QFileInfo(w.Prefix + "/dosdevices/c:").symLinkTarget(), QFileInfo(w.Prefix + "/drive_c").absoluteFilePath());
    EXPECT_TRUE(QFileInfo(w.Prefix + "/dosdevices/c:/Program Files/Quenmoor/Vivarion 2/History/cr_TOVA").isFile());
    EXPECT_TRUE(QFileInfo(w.HistoryDir + "CR_CAPS").isFile());
    EXPECT_TRUE(QFileInfo(w.HistoryDir + "photo_AB.s16").isFile());
    EXPECT_TRUE(QFileInfo(w.GeneticsDir + "AB.gen").isFile());
    EXPECT_GE(SampleCreatures().size(), 40u);
}
