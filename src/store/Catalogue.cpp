#include "store/Catalogue.h"

namespace vorn {

QString Catalogue::archivePath(const QString &identifier) const
{
    const auto found = archiveFileNames.constFind(identifier);
    if (found != archiveFileNames.constEnd())
        return dataFolder + *found;
    return dataFolder + identifier + QStringLiteral(".VORN");
}

QString Catalogue::workingCopy(const QString &identifier, const QString &extension) const
{
    return tempFolder + identifier + extension;
}

QString Catalogue::keywordListPath() const
{
    return dataFolder + QStringLiteral("MC.txt");
}

QString Catalogue::iconStorePath() const
{
    return dataFolder + QStringLiteral("VORN.Icons");
}

} // namespace vorn
