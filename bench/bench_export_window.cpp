#include "BenchCatalogue.h"
#include "BenchClock.h"

#include "gui/Form1.h"
#include "gui/export/FrmHTML.h"
#include "scan/ShellOpen.h"
#include "settings/StringTable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidgetItem>
#include <cstdio>

using namespace vorn;

namespace {

// Answers the save dialog with one file and every question with "no change".
class SavePrompt : public QuietPrompt
{
public:
    explicit SavePrompt(QString file) : m_file(std::move(file)) {}
    QString chooseFile(const QString &, const QString &, bool) override { return m_file; }

private:
    QString m_file;
};

// Starts nothing: the written index is not shown in a browser.
class NoLauncher : public ShellLauncher
{
public:
    std::optional<QByteArray> runAndRead(const QString &, const QStringList &) override { return std::nullopt; }
    bool startDetached(const QString &, const QStringList &, const QString &, std::function<void()>) override
    {
        return true;
    }
};

} // namespace

// bench-export-window [WORK_FOLDER] [DISCS] [FILES]: the HTML export of every disc
// with contents pages, descriptions and keywords, run from the window's export dialog
// over the synthetic catalogue of bench-export (default 1,000 discs of 1,000 files),
// and the longest time the window went without handling its events meanwhile.
int main(int argc, char *argv[])
{
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/vorn-bench");
    const int discs = argc > 2 ? std::max(1, atoi(argv[2])) : 1000;
    const int files = argc > 3 ? std::max(1, atoi(argv[3])) : 1000;
    QDir().mkpath(work + QStringLiteral("/export-window-home/drive"));
    qputenv("XDG_CONFIG_HOME", (work + QStringLiteral("/export-window-home")).toUtf8());
    qputenv("VORN_DRIVES", ("V=" + work + QStringLiteral("/export-window-home/drive/V")).toUtf8());
    QApplication app(argc, argv);
    setLanguageOffset(0);

    const QString folder = work + QStringLiteral("/export-%1x%2").arg(discs).arg(files);
    if (!bench::ensureCatalogue(folder, discs, files, 3000))
        return 1;
    QTemporaryDir site;
    SavePrompt prompt(site.filePath(QStringLiteral("catalogue.html")));
    Form1Setup setup;
    setup.defaultDataFolder = folder;
    setup.prompt = &prompt;
    NoLauncher launcher;
    setup.launcher = &launcher;
    Form1 window(setup);
    if (!window.startUp())
        return 1;
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();

    QElapsedTimer sinceTick;
    double longestGap = 0;
    QTimer ticks;
    ticks.setInterval(5);
    QObject::connect(&ticks, &QTimer::timeout, &app, [&] {
        if (sinceTick.isValid())
            longestGap = std::max(longestGap, double(sinceTick.nsecsElapsed()) / 1e9);
        sinceTick.start();
    });
    for (int run = 1; run <= 3; ++run) {
        window.findChild<QAction *>(QStringLiteral("MnuExportHtml"))->trigger();
        auto *dialog = window.findChild<FrmHTML *>();
        if (!dialog)
            return 1;
        for (const char *key : {"kDesc", "kMC", "KCD", "KBordCD"})
            dialog->node(QLatin1String(key))->setCheckState(0, Qt::Checked);
        longestGap = 0;
        sinceTick.invalidate();
        ticks.start();
        QElapsedTimer timer;
        timer.start();
        dialog->findChild<QPushButton *>(QStringLiteral("Bt1_0"))->click();
        bench::report(QStringLiteral("window HTML export of %1 discs (run %2)").arg(discs).arg(run), timer);
        ticks.stop();
        std::printf("%-50s %8.3f s\n", "  longest time without handling events", longestGap);
        delete dialog;
    }
    std::printf("%-50s %8.1f MB\n", "peak memory", bench::peakMemoryMB());
    return 0;
}
