#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vorn {

// Runs the desktop's helper programs for the shell-open helper; tests replace it so
// that no real program is ever started.
class ShellLauncher
{
public:
    virtual ~ShellLauncher() = default;
    // Runs a program to its end and gives its standard output; nullopt when it could
    // not be run or did not succeed.
    virtual std::optional<QByteArray> runAndRead(const QString &program, const QStringList &arguments) = 0;
    // Starts a program without waiting for it; false when it could not be started.
    // With `failedLater`, that is called on the caller's thread should the program
    // end in failure afterwards (an opener that finds no application to start).
    virtual bool startDetached(const QString &program, const QStringList &arguments, const QString &workingFolder,
                               std::function<void()> failedLater = {}) = 0;
};

// Launches with QProcess.
ShellLauncher &systemShellLauncher();

// Result codes of a shell open: above 32 is success; the others name the failure.
enum ShellResult : int {
    kShellUnknownError = 0,
    kShellFileNotFound = 2,
    kShellPathNotFound = 3,
    kShellAccessDenied = 5,
    kShellOutOfMemory = 8,
    kShellBadExecutable = 11,
    kShellSharingViolation = 26,
    kShellBadAssociation = 27,
    kShellDdeTimeout = 28,
    kShellDdeFailed = 29,
    kShellDdeBusy = 30,
    kShellNoAssociation = 31,
    kShellLibraryNotFound = 32,
    kShellDone = 42,
};

// The answer for a result code: empty above 32, else the French text of the code
// ("Erreur inconnue" for codes without one). French in both interface languages.
QString shellErrorText(int code);

// Opens a file, folder or address with the program the desktop associates with it
// (xdg-open), after checking what can go wrong: a missing file (2) or folder on the
// way (3), a file type without default application (31, asked of xdg-mime), a
// launcher that cannot start (0). Addresses ("https://...", "mailto:...") are passed on
// unchecked. Gives the result code.
int shellOpenCode(const QString &path, ShellLauncher &launcher = systemShellLauncher());

// The helper callers use: the empty text on success, else the text to show.
QString shellOpen(const QString &path, ShellLauncher &launcher = systemShellLauncher());
// The same, telling `failedLater` when the opener, once started, finds no program to
// open the file with (no browser for a page, say).
QString shellOpen(const QString &path, ShellLauncher &launcher, std::function<void()> failedLater);

// Shows a folder in the file manager: "Chemin non trouvé" when it is not a folder.
QString shellOpenFolder(const QString &folder, ShellLauncher &launcher = systemShellLauncher());

} // namespace vorn
