#include "BenchCatalogue.h"
#include "BenchClock.h"
#include "BenchWindowRun.h"

#include "edit/CoverEdits.h"
#include "gui/Form1.h"
#include "gui/TabHost.h"
#include "gui/covers/CoverPanel.h"
#include "gui/covers/ThumbStrip.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/DataFolder.h"
#include "store/DiscArchive.h"
#include "store/RecordText.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <unistd.h>

using namespace vorn;

namespace {

// A photograph-like picture: smooth colour fields with fine noise, which JPEG
// compresses about as much as a scanned cover.
QImage photoLike(QSize size, std::uint32_t seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int noise = int(random.bounded(24));
            line[x] = qRgb((x * 255 / size.width() + noise) & 0xFF, (y * 255 / size.height() + noise) & 0xFF,
                           ((x + y) / 8 + noise) & 0xFF);
        }
    }
    return image;
}

QByteArray jpeg(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    return bytes;
}

// Every disc gets the cover picture alone (no thumbnail), as an older program version
// or another copy would have left it: the strip must make and store every thumbnail.
bool giveCoversWithoutThumbnails(const QString &folder, const QByteArray &cover)
{
    Catalogue catalogue;
    QTemporaryDir temp;
    catalogue.tempFolder = temp.path() + u'/';
    QuietPrompt quiet;
    bench::QuietObserver observer;
    if (!openDataFolder(catalogue, folder, observer))
        return false;
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        const QString id = catalogue.disc(position).identifier;
        const QString archive = catalogue.archivePath(id);
        const QByteArray stored = DiscArchive::readMember(archive, id + QStringLiteral(".img1")).value_or(QByteArray());
        if (stored.size() != cover.size()) {
            QFile file(catalogue.workingCopy(id, QStringLiteral(".img1")));
            if (!file.open(QIODevice::WriteOnly) || file.write(cover) != cover.size())
                return false;
            file.close();
            if (!DiscArchive::pack(catalogue, id, Member::Img1, DiscArchive::readComment(archive), 4))
                return false;
        }
        if (!DiscArchive::removeMember(archive, id + QStringLiteral(".imi")))
            return false;
    }
    return true;
}

std::unique_ptr<Form1> startWindow(const QString &folder)
{
    Form1Setup setup;
    setup.defaultDataFolder = folder;
    return bench::startWindow(setup);
}

} // namespace

// bench-covers [WORK_FOLDER]: the thumbnail strip of 1,000 discs of 1,000 files with
// a cover of about 300 KB each, first when every thumbnail must be made and stored
// (archive rewrite and flush included), then once they exist; and a 6000 x 4000 JPEG
// cover shown in the cover panel. Settings and drives are private to the run.
int main(int argc, char *argv[])
{
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    bench::usePrivateHome(work, QStringLiteral("covers-home"));
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("VORN"));
    QCoreApplication::setApplicationName(QStringLiteral("VORN-bench"));
    setLanguageOffset(0);

    const QString folder = work + QStringLiteral("/covers-1000x1000");
    if (!bench::ensureCatalogue(folder, 1000, 1000, 1000))
        return 1;
    // Quality 80 over 1200 x 900 gives a picture of about 300 KB.
    const QByteArray cover = jpeg(photoLike(QSize(1200, 900), 7), 80);
    std::printf("%-50s %8.1f KB\n", "cover picture", cover.size() / 1024.0);
    if (!giveCoversWithoutThumbnails(folder, cover))
        return 1;
    // The setup's writes reach the disk now, not during the timed flushes.
    ::sync();

    auto window = startWindow(folder);
    if (!window)
        return 1;
    auto *strip = window->findChild<ThumbStrip *>(QStringLiteral("FraThumbs"));
    QAction *select = window->findChild<QAction *>(QStringLiteral("mnuSelectJaq"));
    QElapsedTimer timer;
    timer.start();
    select->trigger();
    QApplication::processEvents();
    window->repaint();
    const double making = bench::report(
        QStringLiteral("strip of %1 discs, every thumbnail made and stored").arg(strip->images().size()), timer);
    std::printf("%-50s %8.1f ms\n", "  per disc", making * 1000 / qMax<size_t>(1, strip->images().size()));
    for (int run = 1; run <= 3; ++run) {
        timer.restart();
        select->trigger();
        QApplication::processEvents();
        window->repaint();
        bench::report(
            QStringLiteral("strip of %1 discs, thumbnails stored (run %2)").arg(strip->images().size()).arg(run),
            timer);
    }

    // The large cover: stored once, then shown from the archive (unpacked and decoded)
    // and shown again from the working copy.
    const QByteArray large = jpeg(photoLike(QSize(6000, 4000), 11), 85);
    std::printf("%-50s %8.1f MB\n", "large cover picture", large.size() / 1048576.0);
    QTemporaryDir pictures;
    const QString largePath = pictures.filePath(QStringLiteral("large.jpg"));
    QFile largeFile(largePath);
    if (!largeFile.open(QIODevice::WriteOnly) || largeFile.write(large) != large.size())
        return 1;
    largeFile.close();
    const QString id = window->catalogue().disc(1).identifier;
    timer.restart();
    if (!edit::setCover(window->catalogue(), 1, largePath).ok())
        return 1;
    bench::report(QStringLiteral("6000 x 4000 cover checked, thumbnail made, stored"), timer);
    window->tabs()->showTab(TabHost::Cover);
    auto *panel = window->findChild<CoverPanel *>(QStringLiteral("PictJ"));
    QFile::remove(window->catalogue().workingCopy(id, QStringLiteral(".img1")));
    window->showDisc(window->catalogue().disc(2).identifier);
    QApplication::processEvents();
    for (int run = 1; run <= 3; ++run) {
        timer.restart();
        window->showDisc(id);
        QApplication::processEvents();
        panel->repaint();
        bench::report(QStringLiteral("6000 x 4000 cover shown with its disc%1 (run %2)")
                          .arg(run == 1 ? QStringLiteral(", unpacked") : QString())
                          .arg(run),
                      timer);
        timer.restart();
        panel->showDisc(QString(), QString(), QIcon());
        panel->showDisc(id, QStringLiteral("Large"), QIcon());
        panel->repaint();
        bench::report(QStringLiteral("  the cover panel alone, drawn again (run %1)").arg(run), timer);
        window->showDisc(window->catalogue().disc(2).identifier);
        QApplication::processEvents();
    }
    std::printf("%-50s %8.1f MB\n", "peak memory", bench::peakMemoryMB());
    window->close();
    return 0;
}
