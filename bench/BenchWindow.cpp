#include "BenchCatalogue.h"
#include "BenchClock.h"
#include "BenchWindowRun.h"

#include "common/DayDate.h"
#include "gui/BrowsePane.h"
#include "gui/DiscListModel.h"
#include "gui/DiscListPane.h"
#include "gui/Form1.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

using namespace vorn;

namespace {

// One disc whose root holds a single folder of `files` files, written straight into
// the data folder: the synthetic generator spreads files over many folders.
bool ensureWideFolderDisc(const QString &folder, int files)
{
    if (QFileInfo::exists(folder + QStringLiteral("/777.VORN")))
        return true;
    QDir().mkpath(folder);
    Catalogue c;
    c.dataFolder = QDir::toNativeSeparators(folder) + QDir::separator();
    c.tempFolder = c.dataFolder;
    const double day = dayNumberFromDateTime(QDateTime(QDate(2005, 3, 1), QTime(12, 0)));
    QByteArray rep = TreeFiles::folderFileHeader();
    TreeFiles::appendFolderLine(rep, {QStringLiteral("Photos"), 0, day, QString(), 0});
    QByteArray fic = TreeFiles::fileListHeader();
    const char *extensions[] = {"jpg", "txt", "mp3", "pdf", "zip", "doc", "png", "html"};
    for (int n = 0; n < files; ++n) {
        FileRecord file;
        file.name = QStringLiteral("picture_%1_holiday.%2")
                        .arg(n, 5, 10, QChar(u'0'))
                        .arg(QString::fromLatin1(extensions[n % 8]));
        file.owner = 1;
        file.size = 1000 + qint64(n) * 7919 % 5000000;
        file.date = day - n % 900;
        if (n % 5 == 0)
            file.descriptions.user = QStringLiteral("Seaside, day %1").arg(n % 30);
        TreeFiles::appendFileLine(fic, file);
    }
    QFile repFile(c.workingCopy(QStringLiteral("777"), QStringLiteral(".rep")));
    QFile ficFile(c.workingCopy(QStringLiteral("777"), QStringLiteral(".fic")));
    if (!repFile.open(QIODevice::WriteOnly) || repFile.write(rep) != rep.size() || !ficFile.open(QIODevice::WriteOnly)
        || ficFile.write(fic) != fic.size())
        return false;
    repFile.close();
    ficFile.close();
    DiscRecord disc;
    disc.identifier = QStringLiteral("777");
    disc.name = QStringLiteral("Wide folder");
    c.memberFlags = Member::Rep | Member::Fic;
    return writeRecord(c, disc, 4);
}

std::unique_ptr<Form1> startWindow(const QString &folder)
{
    Form1Setup setup;
    setup.defaultDataFolder = folder;
    return bench::startWindow(setup);
}

} // namespace

// bench-window [WORK_FOLDER]: times the disc list filled with 5,000 discs and a folder
// of 20,000 files shown in the file pane, painting included. Settings and drives are
// private to the run (an empty virtual drive V).
int main(int argc, char *argv[])
{
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    bench::usePrivateHome(work, QStringLiteral("window-home"));
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("VORN"));
    QCoreApplication::setApplicationName(QStringLiteral("VORN-bench"));
    setLanguageOffset(0);

    const QString many = work + QStringLiteral("/window-5000x5");
    if (!bench::ensureCatalogue(many, 5000, 5, 1000))
        return 1;
    {
        QElapsedTimer timer;
        timer.start();
        auto window = startWindow(many);
        if (!window)
            return 1;
        bench::report(QStringLiteral("start-up over 5,000 discs (opening the folder)"), timer);
        for (int run = 1; run <= 3; ++run) {
            timer.restart();
            window->discList()->fill();
            QApplication::processEvents();
            window->repaint();
            bench::report(
                QStringLiteral("disc list of %1 entries (run %2)").arg(window->discModel()->rowCount()).arg(run),
                timer);
        }
        window->close();
    }

    const QString wide = work + QStringLiteral("/window-wide");
    if (!ensureWideFolderDisc(wide, 20000))
        return 1;
    auto window = startWindow(wide);
    if (!window || !window->showDisc(QStringLiteral("777")))
        return 1;
    BrowsePane *browser = window->browser();
    for (int run = 1; run <= 3; ++run) {
        browser->showNode(QStringLiteral("K0"));
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        browser->showNode(QStringLiteral("K1"));
        QApplication::processEvents();
        window->repaint();
        bench::report(QStringLiteral("folder of %1 files%2 (run %3)")
                          .arg(browser->fileModel()->rowCount())
                          .arg(run == 1 ? QStringLiteral(", file list read") : QString())
                          .arg(run),
                      timer);
    }
    QElapsedTimer timer;
    timer.start();
    browser->sortByColumn(0);
    QApplication::processEvents();
    bench::report(QStringLiteral("sorting the 20,000 rows by name"), timer);
    std::printf("%-50s %8.1f MB\n", "peak memory", bench::peakMemoryMB());
    window->close();
    return 0;
}
