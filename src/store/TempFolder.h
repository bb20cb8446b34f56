#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace vorn {

// The program's private scratch folder for working copies: mode 0700, owned by the
// user, never a symlink, under $XDG_RUNTIME_DIR (else the system temporary folder),
// named "VORN_TmpFiles-" & uid and held by a lock file. A second running copy that
// finds the lock held uses "VORN_TmpFiles-" & uid & "-" & pid. Each copy removes its
// folder at exit, and no copy ever empties another's folder. Per-process folders left
// by copies that are gone are removed when a copy starts.
class TempFolder
{
public:
    // `base` overrides the parent folder (tests).
    explicit TempFolder(const QString &base = QString());
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    // Native path ending in a separator; empty when no folder could be made.
    QString path() const { return m_path; }
    QString errorString() const { return m_error; }
    bool isShared() const { return m_shared; } // the main folder (not a per-process one)

    // Deletes every file in the folder (the lock file excepted).
    void empty();
    // Deletes the folder's files named identifier & ".*".
    void removeWorkingCopies(const QString &identifier);

private:
    bool prepare(const QString &folder);
    QString m_path;
    QString m_error;
    bool m_shared = false;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace vorn
