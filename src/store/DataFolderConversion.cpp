#include "store/DataFolderConversion.h"

#include "common/LineFields.h"
#include "common/RunObserver.h"
#include "common/UserPrompt.h"
#include "settings/StringTable.h"
#include "store/Catalogue.h"
#include "store/RecordText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vorn {

namespace {

QString olderListPath(const Catalogue &catalogue)
{
    return catalogue.dataFolder + QStringLiteral("CDS_INF.txt");
}

// Every file of `folder` named identifier & "." & anything.
QStringList looseFiles(const QString &folder, const QString &identifier)
{
    QStringList paths;
    const QString prefix = identifier + u'.';
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(prefix, Qt::CaseInsensitive) && !name.endsWith(QLatin1String(".VORN"), Qt::CaseInsensitive))
            paths << dir.filePath(name);
    }
    return paths;
}

} // namespace

bool convertOlderDataFolder(Catalogue &catalogue, RunObserver &observer)
{
    if (observer.prompt().askYesNo(LoadText(598)) != UserPrompt::Answer::Yes)
        return false;

    QFile list(olderListPath(catalogue));
    if (!list.open(QIODevice::ReadOnly))
        return true;
    const QByteArray data = list.readAll();
    list.close();

    catalogue.discs.assign(1, DiscRecord());
    forEachLine(data, [&](QByteArrayView line) {
        const LineFields fields(line);
        DiscRecord record;
        record.identifier = fields.text(0).trimmed();
        record.name = fields.text(1);
        record.keywordCodes = fields.text(2);
        record.excluded = quint8(fields.integer(3));
        record.description = fields.text(4);
        if (!record.identifier.isEmpty())
            catalogue.discs.push_back(record);
        return true;
    });

    bool allConverted = true;
    for (int position = 1; position <= catalogue.discCount(); ++position) {
        const DiscRecord &record = catalogue.disc(position);
        observer.progress(LoadText(590) + u' ' + record.name);
        observer.yield();
        const QStringList originals = looseFiles(catalogue.dataFolder, record.identifier);
        QStringList copies;
        bool copied = true;
        for (const QString &original : originals) {
            const QString copy = catalogue.tempFolder + QFileInfo(original).fileName();
            QFile::remove(copy);
            QFile(original).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
            if (!QFile::copy(original, copy))
                copied = false;
            copies << copy;
        }
        catalogue.memberFlags = 38;
        QString error;
        const bool written = copied && writeRecord(catalogue, record, 4, &error);
        catalogue.memberFlags = 0;
        for (const QString &copy : copies)
            QFile::remove(copy);
        if (written) {
            for (const QString &original : originals)
                QFile::remove(original);
        } else {
            allConverted = false;
        }
    }
    if (allConverted)
        QFile::remove(olderListPath(catalogue));
    return true;
}

} // namespace vorn
