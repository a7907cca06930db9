// The sample installation is what the demo shows and the GUI tests stand on.
#include "sampleworld/SampleWorld.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray treeDigest(const QString& root)
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
    writeSampleWorld(a.path());
    writeSampleWorld(b.path());
    EXPECT_EQ(treeDigest(a.path()), treeDigest(b.path()));
}

TEST(SampleWorld, LaysOutAWinePrefix)
{
    QTemporaryDir dir;
    const SampleWorld w = writeSampleWorld(dir.path());
    EXPECT_TRUE(QFileInfo(w.prefix + "/system.reg").isFile());
    EXPECT_EQ(QFileInfo(w.prefix + "/dosdevices/c:").symLinkTarget(), QFileInfo(w.prefix + "/drive_c").absoluteFilePath());
    EXPECT_TRUE(QFileInfo(w.prefix + "/dosdevices/c:/Program Files/Quenmoor/Vivarion 2/History/cr_TOVA").isFile());
    EXPECT_TRUE(QFileInfo(w.historyDir + "CR_CAPS").isFile());
    EXPECT_TRUE(QFileInfo(w.historyDir + "photo_AB.s16").isFile());
    EXPECT_TRUE(QFileInfo(w.geneticsDir + "AB.gen").isFile());
    EXPECT_GE(sampleCreatures().size(), 40u);
}
