#pragma once

#include "scan/PathSyntax.h"
#include "scan/Volume.h"

#include <QHash>
#include <cerrno>

namespace vorn::test {

// Wraps a volume and makes chosen operations fail as if the platform refused them:
// tests run as root, so permissions cannot make a folder unreadable. Paths are
// matched by their components, so "D:\a" and "\a\" name the same folder.
class FaultyVolume final : public Volume
{
public:
    explicit FaultyVolume(const Volume &inner) : m_inner(inner) {}

    // Fails the listing `times` times, then lets it through; a negative count fails it always.
    void failListing(const QString &path, int error = EIO, int times = -1) { m_listing.insert(key(path), {error, times}); }
    void failChange(const QString &path, int error = EIO) { m_change.insert(key(path), error); }

    QChar separator() const override { return m_inner.separator(); }
    bool isRoot(QStringView path) const override { return m_inner.isRoot(path); }
    FolderListing listFolder(const QString &path, ListDetail detail) const override
    {
        if (auto it = m_listing.find(key(path)); it != m_listing.end() && it->times != 0) {
            it->times -= it->times > 0;
            return FolderListing{it->error, {}};
        }
        return m_inner.listFolder(path, detail);
    }
    VolumeLookup facts(const QString &path) const override { return m_inner.facts(path); }
    std::unique_ptr<QIODevice> openFile(const QString &path) const override { return m_inner.openFile(path); }
    QString hostPath(const QString &path) const override { return m_inner.hostPath(path); }
    VolumeResult removeFile(const QString &path) const override
    {
        return failed(path) ? VolumeResult{failed(path)} : m_inner.removeFile(path);
    }
    VolumeResult removeFolder(const QString &path) const override
    {
        return failed(path) ? VolumeResult{failed(path)} : m_inner.removeFolder(path);
    }
    VolumeResult moveFile(const QString &from, const QString &to) const override
    {
        return failed(from) ? VolumeResult{failed(from)} : m_inner.moveFile(from, to);
    }

private:
    QString key(QStringView path) const { return pathComponents(path, separator()).join(QChar(0)); }
    int failed(const QString &path) const { return m_change.value(key(path)); }

    const Volume &m_inner;
    struct Failure { int error; int times; };
    mutable QHash<QString, Failure> m_listing;
    QHash<QString, int> m_change;
};

} // namespace vorn::test
