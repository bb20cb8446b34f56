#include "SyntheticCatalogue.h"

#include "common/DayDate.h"
#include "store/CapturedTextStore.h"
#include "store/Catalogue.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <random>

namespace vorn::bench {

namespace {

const char *const Words[] = {
    "setup",  "readme",   "install", "photo",   "holiday", "report",   "invoice", "budget",  "driver",  "update",
    "manual", "letter",   "music",   "track",   "album",   "video",    "backup",  "project", "source",  "library",
    "game",   "level",    "sound",   "texture", "font",    "icon",     "network", "printer", "scanner", "archive",
    "notes",  "summary",  "draft",   "final",   "january", "february", "march",   "april",   "paris",   "london",
    "berlin", "vacances", "famille", "ecole",   "travail", "config",   "data",    "index",   "help",    "license",
};
const char *const Extensions[] = {
    ".txt", ".doc", ".jpg",  ".jpeg", ".png", ".gif", ".bmp", ".mp3", ".wav", ".exe",
    ".dll", ".htm", ".html", ".pdf",  ".xls", ".avi", ".mpg", ".ini", ".dat", ".cab",
    ".zip", ".c",   ".h",    ".cpp",  ".pas", ".bas", ".hlp", ".ttf", ".ico", ".nfo",
};
const char *const FolderWords[] = {
    "Docs",     "Images",   "Photos", "Music", "Drivers", "Setup", "Tools", "Games",  "Source",
    "Backup",   "Data",     "Help",   "Fonts", "System",  "Win95", "Linux", "Extras", "Demos",
    "Archives", "Projects", "2001",   "2002",  "2003",    "Old",   "New",   "Misc",   "Vacances",
};
const char *const Keywords[] = {
    "Jazz",  "Rock",     "Photos",   "Backup",    "Games", "Drivers", "Work",  "Family",  "Software", "Music",
    "Video", "Archives", "Magazine", "Shareware", "Fonts", "Clipart", "Linux", "Windows", "Docs",     "Misc",
};

// A 16x16, 4-bit icon file: enough for anything that shows or stores icons.
QByteArray sampleIcon(int variant)
{
    QByteArray ico;
    auto put16 = [&](int v) { ico.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
    auto put32 = [&](quint32 v) {
        put16(int(v & 0xffff));
        put16(int(v >> 16));
    };
    const int imageSize = 40 + 16 * 4 + 16 * 16 / 2 + 16 * 4;
    put16(0);
    put16(1);
    put16(1);
    ico.append(char(16)).append(char(16)).append(char(16)).append(char(0));
    put16(1);
    put16(4);
    put32(imageSize);
    put32(22);
    put32(40);
    put32(16);
    put32(32);
    put16(1);
    put16(4);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    for (int i = 0; i < 16; ++i)
        put32(quint32((i * 16 + variant * 40) & 0xff) << 16 | quint32(i * 12) << 8 | 0x40);
    for (int i = 0; i < 16 * 16 / 2; ++i)
        ico.append(char(((i + variant) % 16) << 4 | ((i / 8) % 16)));
    ico.append(QByteArray(16 * 4, '\0'));
    return ico;
}

class Generator
{
public:
    explicit Generator(const SyntheticOptions &options) : m_options(options), m_random(options.seed) {}

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }

    QString word() { return QString::fromLatin1(Words[pick(std::size(Words))]); }
    QString fileName()
    {
        QString name = word();
        if (chance(0.5))
            name += QString::number(pick(200));
        if (chance(0.3))
            name += u'_' + word();
        if (chance(0.2))
            name = name.toUpper();
        return name + QString::fromLatin1(Extensions[pick(std::size(Extensions))]);
    }
    qint64 fileSize()
    {
        std::lognormal_distribution<double> size(10.0, 2.2);
        return qMin<qint64>(qint64(size(m_random)), 700LL << 20);
    }
    double date()
    {
        const QDate base(1995, 1, 1);
        const QDateTime when(base.addDays(pick(16 * 365)), QTime(pick(24), pick(60), pick(60)));
        return dayNumberFromDateTime(when);
    }

    bool writeDisc(Catalogue &catalogue, int index);

private:
    const SyntheticOptions &m_options;
    std::mt19937 m_random;
};

bool Generator::writeDisc(Catalogue &catalogue, int index)
{
    const QString identifier = QString::number(m_options.firstIdentifier + index);
    const int fileTotal = m_options.filesPerDisc;
    const int folderTotal = qMax(1, fileTotal / 20);

    // Folders breadth first: each folder's children follow all earlier folders' children.
    std::vector<FolderRecord> folders(1);
    double burnDate = 0;
    for (size_t parent = 0; parent < folders.size() && int(folders.size()) <= folderTotal; ++parent) {
        const int children = parent == 0 ? 3 + pick(6) : pick(5);
        for (int c = 0; c < children && int(folders.size()) <= folderTotal; ++c) {
            FolderRecord folder;
            folder.name = QString::fromLatin1(FolderWords[pick(std::size(FolderWords))])
                + (chance(0.4) ? u' ' + QString::number(folders.size()) : QString());
            folder.parent = qint32(parent);
            folder.date = date();
            burnDate = qMax(burnDate, folder.date);
            folders.push_back(folder);
        }
    }

    QByteArray rep = TreeFiles::folderFileHeader();
    for (size_t i = 1; i < folders.size(); ++i)
        TreeFiles::appendFolderLine(rep, folders[i], TreeFiles::FolderFlags::EmptyText);

    CapturedTextWriter texts;
    if (!texts.begin(catalogue.workingCopy(identifier, QStringLiteral(".text"))))
        return false;
    QByteArray fic = TreeFiles::fileListHeader();
    fic.reserve(fileTotal * 60);
    int fileNumber = 0;
    const int folderCount = int(folders.size());
    for (int file = 0; file < fileTotal; ++file) {
        // Files are grouped by folder in folder order.
        const qint32 owner = qint32(qint64(file) * folderCount / fileTotal);
        FileRecord record;
        record.name = fileName();
        record.owner = owner;
        record.size = fileSize();
        record.date = date();
        if (chance(m_options.textShare)) {
            record.name = word().toUpper() + QStringLiteral(".TXT");
            const QString first = word() + u' ' + word() + QStringLiteral(" - ") + word();
            QString text = first;
            for (int line = 0, lines = 2 + pick(12); line < lines; ++line)
                text += QStringLiteral("\r\n") + word() + u' ' + word() + u' ' + word() + u' ' + word();
            record.size = text.size();
            record.descriptions.automatic = first;
            record.link = texts.append(text);
        } else if (chance(m_options.archiveShare)) {
            record.name = word() + QStringLiteral(".zip");
            record.link = TreeFiles::archiveLink(fileNumber);
            const int members = 2 + pick(20);
            record.descriptions.automatic = QStringLiteral("%1 Fichier(s) ; ").arg(members);
            TreeFiles::appendFileLine(fic, record);
            ++fileNumber;
            for (int m = 0; m < members; ++m, ++file) {
                FileRecord member;
                member.name = fileName();
                member.owner = record.link;
                member.size = fileSize();
                member.date = date();
                if (chance(0.3))
                    member.descriptions.archivePath = word() + u'\\' + word();
                TreeFiles::appendFileLine(fic, member);
                ++fileNumber;
            }
            continue;
        } else if (chance(0.02)) {
            record.descriptions.user = QStringLiteral("Notes: ") + word() + u' ' + word();
        }
        TreeFiles::appendFileLine(fic, record);
        ++fileNumber;
    }
    if (!texts.finish())
        return false;

    auto writeWorking = [&](const QString &extension, const QByteArray &bytes) {
        QFile out(catalogue.workingCopy(identifier, extension));
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size();
    };
    if (!writeWorking(QStringLiteral(".rep"), rep) || !writeWorking(QStringLiteral(".fic"), fic))
        return false;
    int flags = 2 | 4 | 16;
    if (chance(m_options.iconShare)) {
        if (!writeWorking(QStringLiteral(".ico"), sampleIcon(index)))
            return false;
        flags |= 32;
    }

    DiscRecord disc;
    disc.identifier = identifier;
    disc.name = QStringLiteral("Disc %1 %2 %3").arg(index + 1, 5, 10, QLatin1Char('0')).arg(word(), word());
    disc.volumeLabel = QStringLiteral("VOL_%1").arg(index + 1);
    disc.burnDate = burnDate;
    disc.excluded = chance(0.05) ? 1 : 0;
    disc.keywordCodes = QStringLiteral("|");
    for (int k = 0, n = pick(4); k < n; ++k)
        disc.keywordCodes += QString::number(1 + pick(int(std::size(Keywords)))) + u'|';
    disc.description =
        QStringLiteral("Catalogued from the shelf, box %1.\r\n%2 %3 %4").arg(pick(40)).arg(word(), word(), word());
    if (chance(0.3)) {
        disc.fields.push_back({QStringLiteral("Editeur"), word()});
        disc.fields.push_back({QStringLiteral("Prix"), QString::number(pick(100))});
    }
    catalogue.memberFlags = flags;
    const bool written = writeRecord(catalogue, disc, m_options.compression);
    for (const char *extension : {".rep", ".fic", ".text", ".ico"})
        QFile::remove(catalogue.workingCopy(identifier, QString::fromLatin1(extension)));
    return written;
}

} // namespace

bool writeSyntheticCatalogue(const QString &dataFolder, const QString &tempFolder, const SyntheticOptions &options)
{
    QDir().mkpath(dataFolder);
    QDir().mkpath(tempFolder);
    Catalogue catalogue;
    catalogue.dataFolder = QDir(dataFolder).absolutePath() + u'/';
    catalogue.tempFolder = QDir(tempFolder).absolutePath() + u'/';
    for (int i = 0; i < int(std::size(Keywords)); ++i)
        catalogue.keywords.push_back({QString::fromLatin1(Keywords[i]), qint16(i + 1)});
    if (!KeywordList::write(catalogue))
        return false;
    Generator generator(options);
    for (int disc = 0; disc < options.discs; ++disc) {
        if (!generator.writeDisc(catalogue, disc))
            return false;
        if ((disc + 1) % 100 == 0) {
            std::printf("\r%d / %d discs", disc + 1, options.discs);
            std::fflush(stdout);
        }
    }
    std::printf("\n");
    return true;
}

} // namespace vorn::bench
