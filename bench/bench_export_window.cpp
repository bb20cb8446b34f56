#include "BenchCatalogue.h"
#include "BenchClock.h"
#include "BenchWindowRun.h"

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
    bench::usePrivateHome(work, QStringLiteral("export-window-home"));
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
    const std::unique_ptr<Form1> started = bench::startWindow(setup);
    if (!started)
        return 1;
    Form1 &window = *started;

    bench::EventGapMeter gaps;
    for (int run = 1; run <= 3; ++run) {
        window.findChild<QAction *>(QStringLiteral("MnuExportHtml"))->trigger();
        auto *dialog = window.findChild<FrmHTML *>();
        if (!dialog)
            return 1;
        for (const char *key : {"kDesc", "kMC", "KCD", "KBordCD"})
            dialog->node(QLatin1String(key))->setCheckState(0, Qt::Checked);
        gaps.start();
        QElapsedTimer timer;
        timer.start();
        dialog->findChild<QPushButton *>(QStringLiteral("Bt1_0"))->click();
        bench::report(QStringLiteral("window HTML export of %1 discs (run %2)").arg(discs).arg(run), timer);
        gaps.stop();
        std::printf("%-50s %8.3f s\n", "  longest time without handling events", gaps.longest());
        delete dialog;
    }
    std::printf("%-50s %8.1f MB\n", "peak memory", bench::peakMemoryMB());
    return 0;
}
