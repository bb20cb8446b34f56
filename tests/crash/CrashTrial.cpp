// Crash trials: a child process catalogues, updates, renames and describes the discs of
// a data folder and gives them covers or takes them away, in a loop; the parent kills it
// (SIGKILL) at random moments. After each kill every archive must pass an independent
// ZIP check ("unzip -t") and hold a readable record with a name the disc had, a cover
// and its thumbnail together or neither (the cover the very picture given), and the
// data folder must open with every disc and without the temporary files of the write
// that was cut short.
//   vorn_crash_trial <kills> [files on the large disc]

#include "capture/FilterTable.h"
#include "edit/CoverEdits.h"
#include "edit/DiscCataloguing.h"
#include "edit/DiscEdits.h"
#include "scan/Volume.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DataFolder.h"
#include "store/DiscArchive.h"
#include "store/RecordText.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vorn;

namespace {

const QStringList kIdentifiers = {QStringLiteral("11"), QStringLiteral("22"), QStringLiteral("33")};

struct Trial
{
    QString root;
    QString data() const { return root + QStringLiteral("/data/"); }
    QString disc(const QString &id) const { return root + QStringLiteral("/disc") + id; }
    QString picture() const { return root + QStringLiteral("/cover.png"); }
    FilterTable filters = BuildFilterTable();
    test::RecordingObserver observer;

    bool open(Catalogue &catalogue, const QString &temp)
    {
        QDir().mkpath(temp);
        catalogue.tempFolder = temp + u'/';
        return openDataFolder(catalogue, data(), observer);
    }
    EditResult update(Catalogue &catalogue, const QString &id)
    {
        return edit::updateDisc(catalogue, findDisc(catalogue, id), {1, 10240}, filters,
                                HostVolume(disc(id)), observer);
    }
};

bool isTemporary(const QString &name)
{
    return name.contains(QLatin1String(".VORN."), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("VORN.Icons."));
}

void makeDiscs(const Trial &trial, int largeDiscFiles)
{
    for (const QString &id : kIdentifiers) {
        const int files = id == kIdentifiers.back() ? largeDiscFiles : 3;
        for (int i = 0; i < files; ++i) {
            const QString folder = trial.disc(id) + QStringLiteral("/f%1").arg(i / 200);
            QDir().mkpath(folder);
            test::writeFile(folder + QStringLiteral("/file%1.txt").arg(i), QByteArray("text ") + QByteArray::number(i));
        }
    }
}

// The child's endless work: each step is one write of an archive.
[[noreturn]] void editForever(Trial &trial, unsigned seed)
{
    Catalogue catalogue;
    trial.open(catalogue, trial.root + QStringLiteral("/temp-child"));
    std::mt19937 random(seed);
    for (int step = 0;; ++step) {
        const QString id = kIdentifiers[random() % kIdentifiers.size()];
        switch (random() % 4) {
        case 0:
            trial.update(catalogue, id);
            break;
        case 1:
            edit::renameDisc(catalogue, findDisc(catalogue, id), QStringLiteral("Disc %1 %2").arg(id).arg(step));
            break;
        case 2:
            if (step % 2 == 0)
                edit::setCover(catalogue, findDisc(catalogue, id), trial.picture());
            else
                edit::deleteCover(catalogue, findDisc(catalogue, id));
            break;
        default: {
            edit::DiscInfoChanges changes;
            changes.description = QStringLiteral("Description %1").arg(step);
            edit::changeDiscInfo(catalogue, findDisc(catalogue, id), changes);
        }
        }
    }
}

// Problems found in the data folder after a kill; `covers` counts the archives found
// with a cover.
int damageAfterKill(Trial &trial, int &covers)
{
    int damage = 0;
    const QStringList names = QDir(trial.data()).entryList({QStringLiteral("*.VORN")}, QDir::Files);
    for (const QString &name : names) {
        const QString path = trial.data() + name;
        const int zipCheck = QProcess::execute(QStringLiteral("unzip"), {QStringLiteral("-tqq"), path});
        const auto record = readRecord(path, name.chopped(5));
        const QByteArray cover = DiscArchive::readMember(path, name.chopped(5) + QStringLiteral(".img1")).value_or("");
        const QByteArray thumbnail = DiscArchive::readMember(path, name.chopped(5) + QStringLiteral(".imi")).value_or("");
        const bool coverWhole = cover.isEmpty() ? thumbnail.isEmpty() : cover == test::readFile(trial.picture()) && !thumbnail.isEmpty();
        covers += cover.isEmpty() ? 0 : 1;
        if (zipCheck != 0 || !record || !record->record.name.startsWith(QLatin1String("Disc")) || !coverWhole) {
            std::fprintf(stderr, "damaged: %s\n", qPrintable(path));
            ++damage;
        }
    }
    Catalogue reopened;
    if (!trial.open(reopened, trial.root + QStringLiteral("/temp-check")) || reopened.discCount() != 3) {
        std::fprintf(stderr, "the data folder does not open with its 3 discs\n");
        ++damage;
    }
    for (const QString &name : QDir(trial.data()).entryList(QDir::Files)) {
        if (isTemporary(name)) {
            std::fprintf(stderr, "left behind: %s\n", qPrintable(name));
            ++damage;
        }
    }
    return damage;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vorn_crash_trial <kills> [files on the large disc]\n");
        return 2;
    }
    const int kills = std::atoi(argv[1]);
    const int largeDiscFiles = argc > 2 ? std::atoi(argv[2]) : 20000;
    test::IsolatedSettings settings;
    setLanguageOffset(0);
    QTemporaryDir root;
    Trial trial;
    trial.root = root.path();
    QDir().mkpath(trial.data());
    makeDiscs(trial, largeDiscFiles);
    QImage picture(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    }
    picture.save(trial.picture(), "PNG");
    Catalogue catalogue;
    trial.open(catalogue, trial.root + QStringLiteral("/temp"));
    for (const QString &id : kIdentifiers) {
        const edit::NewDisc disc{id, QStringLiteral("Disc ") + id, QStringLiteral("LBL"), {}, false, {}};
        if (!edit::catalogueDisc(catalogue, disc, {1, 10240}, trial.filters, HostVolume(trial.disc(id)),
                                 trial.observer).ok()) {
            std::fprintf(stderr, "disc %s cannot be catalogued\n", qPrintable(id));
            return 1;
        }
    }

    std::mt19937 random(20261206);
    int duringWrite = 0;
    int damage = 0;
    int covers = 0;
    for (int trialNumber = 0; trialNumber < kills; ++trialNumber) {
        const pid_t child = fork();
        if (child == 0)
            editForever(trial, unsigned(trialNumber));
        usleep(useconds_t(20000 + random() % 400000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const QStringList left = QDir(trial.data()).entryList(QDir::Files);
        duringWrite += std::any_of(left.begin(), left.end(), isTemporary) ? 1 : 0;
        damage += damageAfterKill(trial, covers);
    }
    std::printf("trials %d, kills during a write %d, damage %d, archives seen with a cover %d\n", kills, duringWrite,
                damage, covers);
    return damage == 0 ? 0 : 1;
}
