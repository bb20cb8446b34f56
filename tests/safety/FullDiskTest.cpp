// Writes that run out of room: each is cut short at several file sizes in a child
// process (RLIMIT_FSIZE stands for a full disk). The file that was there stays whole,
// the failure is reported, and nothing half-written is left under a final name.
#include "../edit/EditFixture.h"
#include "FolderSnapshot.h"

#include "export/ListExport.h"
#include "settings/SettingsStore.h"
#include "store/ArchiveTransfer.h"
#include "store/DiscArchive.h"
#include "store/IconStore.h"
#include "store/KeywordList.h"

#include <QDirIterator>
#include <csignal>
#include <functional>
#include <map>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorn;
using FullDisk = test::EditFixture;

namespace {

// The exit code of `write` run in a child whose files may not grow past `limit` bytes.
int runOnFullDisk(rlim_t limit, const std::function<int()> &write)
{
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit cap{limit, limit};
        setrlimit(RLIMIT_FSIZE, &cap);
        _exit(write());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QByteArray noise(int size)
{
    std::mt19937 random(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(random());
    return bytes;
}


const rlim_t kLimits[] = {100, 16 << 10, 64 << 10};

} // namespace

TEST_F(FullDisk, FullDiskLeavesTheIconStoreAndCopiedArchivesWhole)
{
    open();
    const QByteArray icon = QByteArray("\0\0\1\0\1\0", 6) + noise(300 << 10);
    ASSERT_TRUE(test::writeFile(catalogue.tempFolder + "1.ico", icon));
    ASSERT_TRUE(IconStore::add(catalogue, "1"));
    ASSERT_TRUE(test::writeFile(catalogue.tempFolder + "2.ico", icon));
    ASSERT_TRUE(catalogueDisc("5", "Five").ok());
    const QString big = catalogue.archivePath("6");   // an archive big enough to be cut short
    ASSERT_TRUE(test::writeFile(big, noise(300 << 10)));
    QTemporaryDir target;
    const QString copy = target.filePath("6.VORN");
    ASSERT_TRUE(test::writeFile(copy, "the copy made last year"));
    const std::map<QString, QByteArray> data = test::snapshot(catalogue.dataFolder);

    for (rlim_t limit : kLimits) {
        EXPECT_EQ(runOnFullDisk(limit, [&] { return IconStore::add(catalogue, "2") ? 0 : 3; }), 3) << limit;
        EXPECT_EQ(runOnFullDisk(limit, [&] { return copyAtomically(big, copy) ? 0 : 3; }), 3)
            << limit;
        EXPECT_EQ(test::snapshot(catalogue.dataFolder), data) << limit;
        EXPECT_EQ(test::readFile(copy), "the copy made last year") << limit;
        EXPECT_EQ(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"6.VORN"})) << limit;
    }
}

TEST_F(FullDisk, FullDiskLeavesTheKeywordListAndATextExportWhole)
{
    open();
    catalogue.keywords.push_back({QStringLiteral("Jazz"), 1});
    ASSERT_TRUE(KeywordList::write(catalogue));
    const QByteArray keywords = test::readFile(catalogue.keywordListPath());
    for (int k = 2; k < 300; ++k)
        catalogue.keywords.push_back({QStringLiteral("Keyword number %1").arg(k), qint16(k)});
    QTemporaryDir target;
    const QString list = target.filePath("list.txt");
    ASSERT_TRUE(test::writeFile(list, "last year's list"));
    // Both smaller than Qt's write buffer: the whole text reaches the file only when
    // the new file is committed.
    const QString text = QString::fromLatin1(noise(5000).toBase64());

    for (rlim_t limit : {rlim_t(100), rlim_t(4096)}) {
        EXPECT_EQ(runOnFullDisk(limit, [&] { return KeywordList::write(catalogue) ? 0 : 3; }), 3) << limit;
        EXPECT_EQ(test::readFile(catalogue.keywordListPath()), keywords) << limit;
        const int listed = runOnFullDisk(limit, [&] {
            test::ScriptedPrompt prompt;
            const bool written = writeTextExport(list, text, prompt);
            const QString said = prompt.notices.value(0);
            return written ? 0 : said.startsWith(LoadText(421)) && said.contains(QDir::toNativeSeparators(list)) ? 3 : 4;
        });
        EXPECT_EQ(listed, 3) << limit;
        EXPECT_EQ(test::readFile(list), "last year's list") << limit;
    }
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"list.txt"}));
}

TEST_F(FullDisk, FullDiskLeavesTheSettingsFileWhole)
{
    // Both files smaller than Qt's write buffer, as the settings file always is.
    Settings::write("Dirs", "1", QString::fromLatin1(noise(3000).toBase64()));
    ASSERT_TRUE(Settings::sync());
    const QString folder = settings.folder() + "/VORN";
    const QByteArray before = test::readFile(folder + "/VORN.conf");
    ASSERT_GT(before.size(), 4000);

    for (rlim_t limit : {rlim_t(1000), rlim_t(6000)}) {
        const int synced = runOnFullDisk(limit, [] {
            Settings::write("Dirs", "2", QString::fromLatin1(noise(6000).toBase64()));
            return Settings::sync() ? 0 : 3;
        });
        EXPECT_EQ(synced, 3) << limit;
        EXPECT_TRUE(test::readFile(folder + "/VORN.conf") == before) << limit;   // the old file, not one cut short
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"VORN.conf"})) << limit;
    }
}
