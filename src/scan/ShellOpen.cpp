#include "scan/ShellOpen.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace vorn {

namespace {

constexpr int kStartTimeoutMs = 5000;
constexpr int kQueryTimeoutMs = 10000;

const QString kOpener = QStringLiteral("xdg-open");
const QString kMimeTool = QStringLiteral("xdg-mime");

class ProcessLauncher final : public ShellLauncher
{
public:
    std::optional<QByteArray> runAndRead(const QString &program, const QStringList &arguments) override
    {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForStarted(kStartTimeoutMs))
            return std::nullopt;
        if (!process.waitForFinished(kQueryTimeoutMs)) {
            process.kill();
            process.waitForFinished();
            return std::nullopt;
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return std::nullopt;
        return process.readAllStandardOutput();
    }

    bool startDetached(const QString &program, const QStringList &arguments, const QString &workingFolder,
                       std::function<void()> failedLater) override
    {
        if (!failedLater)
            return QProcess::startDetached(program, arguments, workingFolder);
        // Watched to its end. The object is never destroyed while the program runs
        // (destroying it would kill the program): it is deleted when the program ends,
        // and left alone when VORN ends first.
        auto *process = new QProcess;
        process->setWorkingDirectory(workingFolder);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process, &QProcess::finished, process,
                         [process, failedLater = std::move(failedLater)](int code, QProcess::ExitStatus status) {
                             if (status != QProcess::NormalExit || code != 0)
                                 failedLater();
                             process->deleteLater();
                         });
        process->start(program, arguments);
        if (!process->waitForStarted(kStartTimeoutMs)) {
            delete process;
            return false;
        }
        return true;
    }
};

// "https://...", "mailto:..."; not "C:\..." (a one-letter scheme is a drive).
bool isAddress(const QString &path)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(path).hasMatch();
}

// False only when the desktop says for sure that no application opens this file.
bool hasAssociation(const QString &file, ShellLauncher &launcher)
{
    const std::optional<QByteArray> type =
        launcher.runAndRead(kMimeTool, {QStringLiteral("query"), QStringLiteral("filetype"), file});
    if (!type)
        return true;
    const QString mimeType = QString::fromUtf8(*type).trimmed();
    if (mimeType.isEmpty())
        return true;
    const std::optional<QByteArray> application =
        launcher.runAndRead(kMimeTool, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    return !application || !application->trimmed().isEmpty();
}

int launch(const QString &target, ShellLauncher &launcher, std::function<void()> failedLater = {})
{
    return launcher.startDetached(kOpener, {target}, QDir::homePath(), std::move(failedLater)) ? kShellDone
                                                                                               : kShellUnknownError;
}

} // namespace

ShellLauncher &systemShellLauncher()
{
    static ProcessLauncher launcher;
    return launcher;
}

QString shellErrorText(int code)
{
    if (code > 32)
        return {};
    switch (code) {
    case kShellFileNotFound:
        return QStringLiteral("Fichier non trouvé");
    case kShellPathNotFound:
        return QStringLiteral("Chemin non trouvé");
    case kShellAccessDenied:
        return QStringLiteral("Accès refusé");
    case kShellOutOfMemory:
        return QStringLiteral("Pas assez de mémoire");
    case kShellBadExecutable:
        return QStringLiteral("Fichier EXE invalide");
    case kShellSharingViolation:
        return QStringLiteral("Une violation de partage est apparue");
    case kShellBadAssociation:
        return QStringLiteral("Association incomplète ou invalide");
    case kShellDdeTimeout:
        return QStringLiteral("DDE Délai dépassé");
    case kShellDdeFailed:
        return QStringLiteral("DDE transaction abortée");
    case kShellDdeBusy:
        return QStringLiteral("DDE occupé");
    case kShellNoAssociation:
        return QStringLiteral("Pas d'association enregistrée pour ce type de fichier");
    case kShellLibraryNotFound:
        return QStringLiteral("DLL non trouvée");
    default:
        return QStringLiteral("Erreur inconnue");
    }
}

namespace {

int openCode(const QString &path, ShellLauncher &launcher, std::function<void()> failedLater)
{
    if (path.trimmed().isEmpty())
        return kShellFileNotFound;
    if (isAddress(path))
        return launch(path, launcher, std::move(failedLater));
    const QString cleaned = QDir::cleanPath(path);
    const QFileInfo info(cleaned);
    if (!info.exists())
        return info.absoluteDir().exists() ? kShellFileNotFound : kShellPathNotFound;
    if (!info.isDir() && !hasAssociation(info.absoluteFilePath(), launcher))
        return kShellNoAssociation;
    return launch(info.absoluteFilePath(), launcher, std::move(failedLater));
}

} // namespace

int shellOpenCode(const QString &path, ShellLauncher &launcher)
{
    return openCode(path, launcher, {});
}

QString shellOpen(const QString &path, ShellLauncher &launcher)
{
    return shellErrorText(openCode(path, launcher, {}));
}

QString shellOpen(const QString &path, ShellLauncher &launcher, std::function<void()> failedLater)
{
    return shellErrorText(openCode(path, launcher, std::move(failedLater)));
}

QString shellOpenFolder(const QString &folder, ShellLauncher &launcher)
{
    const QFileInfo info(QDir::cleanPath(folder));
    if (folder.trimmed().isEmpty() || !info.isDir())
        return shellErrorText(kShellPathNotFound);
    return shellErrorText(launch(info.absoluteFilePath(), launcher));
}

} // namespace vorn
