#pragma once

#include <QString>

namespace vorn {

// True when both paths name one existing folder (or file) on this machine, however
// they are written: through symlinks, with "." and ".." (taken both as the kernel
// resolves them and as written), or as another path to the same device and inode.
bool namesSamePlace(const QString &a, const QString &b);

// The check every export, copy or move of disc archives makes before its first
// question: 0 when archives may go from the data folder into `targetFolder`, else the
// identifier of the message that refuses it (the target is the data folder itself).
int refuseTransferInto(const QString &dataFolder, const QString &targetFolder);
// The same for one archive: 0, or the message refusing a target that is the source.
int refuseTransferOf(const QString &sourceArchive, const QString &targetArchive);

// Copies through a temporary name beside the target, then renames over it, so a copy
// cut short never leaves a broken archive at the target.
bool copyAtomically(const QString &source, const QString &target);
// Renames, or on another file system copies and removes the source once the copy is whole.
bool moveAtomically(const QString &source, const QString &target);

} // namespace vorn
