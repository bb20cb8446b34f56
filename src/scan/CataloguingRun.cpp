#include "scan/CataloguingRun.h"

#include "capture/ArchiveMembers.h"
#include "capture/FilterTable.h"
#include "capture/Mp3Tags.h"
#include "capture/TextCapture.h"
#include "common/DayDate.h"
#include "common/RunObserver.h"
#include "common/TextCodec.h"
#include "common/UserPrompt.h"
#include "scan/PathSyntax.h"
#include "scan/StoredName.h"
#include "scan/cDirectory.h"
#include "settings/StringTable.h"
#include "store/CapturedTextStore.h"
#include "store/Catalogue.h"
#include "store/DiscSort.h"
#include "store/Mp3TagStore.h"
#include "store/TreeFiles.h"

#include <QFile>
#include <QIODevice>

#include <memory>

namespace vorn {

namespace {

constexpr qint32 ArchiveOptions = 8 | 256 | 1024;
constexpr int ProgressEvery = 25;

bool endsWithMp3(const QString &name)
{
    return name.endsWith(QLatin1String(".MP3"), Qt::CaseInsensitive);
}

// The kind of archive whose members are listed, or 0 for an ordinary file: the first
// matching archive pattern decides, and its option must be on.
int archiveKindFor(const FilterTable &filters, const QString &name, qint32 options)
{
    if (!(options & ArchiveOptions))
        return 0;
    const int kind = MatchFilter(filters, name, 14);
    if ((kind == 2 && (options & 8)) || (kind == 4 && (options & 256)) || (kind == 8 && (options & 1024)))
        return kind;
    return 0;
}

} // namespace

// The state of one run: the folder queue, the records, the open stores.
class CataloguingRun::Walk
{
public:
    Walk(CataloguingRun &owner, const CataloguingRequest &request)
        : m_run(owner), m_request(request), m_catalogue(owner.m_catalogue), m_counters(owner.m_counters)
    {
    }

    bool run();

private:
    QString workingCopy(const char *extension) const
    {
        return m_catalogue.workingCopy(m_request.identifier, QString::fromLatin1(extension));
    }
    std::unique_ptr<cDirectory> readFolder(const QString &path, bool &cancelled);
    void progress(const QString &folderPath);
    void captureText(FileRecord &record, const QString &text);
    void catalogueFile(const cFile &file, qint32 owner);
    void catalogueArchive(const QString &hostPath, int kind, size_t archiveIndex);
    bool flushFolderFiles();
    void cancel();

    CataloguingRun &m_run;
    const CataloguingRequest &m_request;
    Catalogue &m_catalogue;
    CataloguingCounters &m_counters;

    std::vector<FolderRecord> m_folders;
    std::vector<FileRecord> m_folderFiles; // records of the folder being processed
    qint64 m_fileOffset = 0; // file records already written
    QByteArray m_fileList;
    QFile m_fileListOut;
    CapturedTextWriter m_texts;
    Mp3TagStore m_tags;
};

// Reads one folder through the walker, asking to read it again while it cannot be
// read. No keeps it empty; Cancel (cancelled set) gives nullptr.
std::unique_ptr<cDirectory> CataloguingRun::Walk::readFolder(const QString &path, bool &cancelled)
{
    cancelled = false;
    auto directory = std::make_unique<cDirectory>(m_run.m_volume, &m_run.m_observer);
    directory->setSortFiles(-1);
    directory->setSortDirectories(-1);
    directory->setReadsFileFacts(true);
    directory->setFullPath(path);
    while (!directory->Exist() && !directory->WasCancelled()) {
        const UserPrompt::Answer answer =
            m_run.m_observer.prompt().askYesNoCancel(LoadText(303) + u'\n' + path, UserPrompt::Icon::Exclamation);
        if (answer == UserPrompt::Answer::No)
            break;
        if (answer != UserPrompt::Answer::Yes) {
            cancelled = true;
            return nullptr;
        }
        directory->Refresh();
    }
    return directory;
}

void CataloguingRun::Walk::progress(const QString &folderPath)
{
    m_run.m_observer.progress(LoadText(352) + folderPath + u'\n' + LoadText(350) + QString::number(m_counters.folders)
                              + u'\n' + LoadText(351) + QString::number(m_counters.files) + u'\n' + LoadText(594)
                              + QString::number(m_counters.members) + u'\n' + LoadText(593)
                              + QString::number(m_counters.texts));
    m_run.m_observer.yield();
}

void CataloguingRun::Walk::captureText(FileRecord &record, const QString &text)
{
    const int number = m_texts.append(text);
    if (number == 0)
        return;
    ++m_counters.texts;
    record.link = number;
    if (m_request.options & 2) {
        if (const std::optional<QString> line = firstLineDescription(text))
            record.descriptions.automatic = *line;
    }
}

void CataloguingRun::Walk::catalogueFile(const cFile &file, qint32 owner)
{
    const QString &name = file.NameWithExtension();
    FileRecord record;
    record.name = storedName(name);
    record.owner = owner;
    record.size = file.FileSize();
    record.date = file.DayNumberLastModification();
    m_folderFiles.push_back(record);
    const size_t index = m_folderFiles.size() - 1;

    const int kind = archiveKindFor(m_run.m_filters, name, m_request.options);
    if (kind != 0) {
        catalogueArchive(file.HostPath(), kind, index);
        return;
    }
    if ((m_request.options & 1) && file.FileSize() <= m_request.maxTextSize
        && MatchFilter(m_run.m_filters, name, 1) != 0) {
        if (std::unique_ptr<QIODevice> content = file.Open()) {
            const QString text = decodeCapturedText(content->read(m_request.maxTextSize + 1));
            if (!text.isEmpty())
                captureText(m_folderFiles[index], text);
        }
    }
    if (endsWithMp3(name)) {
        const Mp3Tags tags = ReadMp3Tags(file.HostPath());
        m_tags.set(m_fileOffset + qint64(index), tags);
        m_folderFiles[index].descriptions.automatic = mp3Summary(tags);
    }
}

void CataloguingRun::Walk::catalogueArchive(const QString &hostPath, int kind, size_t archiveIndex)
{
    const ArchiveListing listing = listArchiveMembers(ArchiveKind(kind), hostPath);
    if (listing.members.empty())
        return;
    const qint64 archiveNumber = m_fileOffset + qint64(archiveIndex);
    const qint32 link = TreeFiles::archiveLink(int(archiveNumber));
    m_folderFiles[archiveIndex].link = link;

    std::vector<MemberRequest> requests;
    std::vector<size_t> recordOf(listing.members.size(), 0);
    int added = 0;
    for (size_t i = 0; i < listing.members.size(); ++i) {
        const ArchiveMember &member = listing.members[i];
        if (member.name.isEmpty())
            continue;
        FileRecord record;
        record.name = storedName(member.name);
        record.owner = link;
        record.size = member.size;
        record.date = member.date;
        record.descriptions.archivePath = storedName(member.path);
        m_folderFiles.push_back(record);
        recordOf[i] = m_folderFiles.size() - 1;
        ++added;
        ++m_counters.members;
        if (m_counters.members % ProgressEvery == 0)
            progress(hostPath);
        if (endsWithMp3(member.name)) {
            requests.push_back({int(i), MemberRequest::Want::Mp3, 0});
        } else if ((m_request.options & 4) && member.size <= m_request.maxTextSize
                   && MatchFilter(m_run.m_filters, member.name, 1) != 0) {
            requests.push_back({int(i), MemberRequest::Want::Text, m_request.maxTextSize});
        }
    }
    if (!requests.empty()) {
        readArchiveMembers(
            ArchiveKind(kind), hostPath, listing, requests,
            [&](const MemberRequest &request, const MemberContent &content) {
                const size_t recordIndex = recordOf[size_t(request.index)];
                FileRecord &record = m_folderFiles[recordIndex];
                if (request.want == MemberRequest::Want::Mp3) {
                    const Mp3Tags tags = readMp3TagsFromParts(content.head, content.tail128, content.size);
                    m_tags.set(m_fileOffset + qint64(recordIndex), tags);
                    record.descriptions.automatic = mp3Summary(tags);
                } else if (content.complete) {
                    const QString text = decodeCapturedText(content.head);
                    if (!text.trimmed().isEmpty())
                        captureText(record, text);
                }
            },
            &m_run.m_observer.prompt());
    }
    QString summary = LoadText(378);
    summary.chop(2);
    m_folderFiles[archiveIndex].descriptions.automatic = summary + u' ' + QString::number(added);
}

bool CataloguingRun::Walk::flushFolderFiles()
{
    for (const FileRecord &record : m_folderFiles) {
        if (!record.name.isEmpty())
            TreeFiles::appendFileLine(m_fileList, record);
    }
    m_fileOffset += qint64(m_folderFiles.size());
    m_folderFiles.clear();
    if (m_fileList.size() >= (1 << 20)) {
        if (m_fileListOut.write(m_fileList) != m_fileList.size())
            return false;
        m_fileList.clear();
    }
    return true;
}

void CataloguingRun::Walk::cancel()
{
    m_run.m_observer.progress(LoadText(356));
    m_run.m_observer.yield();
    m_fileListOut.close();
    m_texts.discard();
    deleteWorkingCopies(m_catalogue, m_request.identifier);
    if (m_request.recordAppended && m_catalogue.discCount() > 0)
        m_catalogue.discs.pop_back();
    m_catalogue.current = 0;
}

bool CataloguingRun::Walk::run()
{
    m_catalogue.memberFlags = 567;
    if (!m_texts.begin(workingCopy(".text"))) {
        m_run.m_error = workingCopy(".text") + QStringLiteral(": cannot be written");
        return false;
    }
    m_fileListOut.setFileName(workingCopy(".fic"));
    if (!m_fileListOut.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_run.m_error = m_fileListOut.fileName() + u' ' + m_fileListOut.errorString();
        m_texts.discard();
        return false;
    }
    m_fileList = TreeFiles::fileListHeader();

    // Folder 0 is the root; queue[n] is folder number n. A folder is read when it
    // joins the queue and let go once its files are written. Folder paths end with
    // "\\", so the walker's trimming of blanks never cuts a name that ends with one.
    bool retryCancelled = false;
    std::vector<std::unique_ptr<cDirectory>> queue;
    queue.push_back(readFolder(QStringLiteral("\\"), retryCancelled));
    if (retryCancelled) {
        cancel();
        return false;
    }
    m_folders.assign(1, FolderRecord());
    for (size_t n = 0; n < queue.size(); ++n) {
        const std::unique_ptr<cDirectory> folder = std::move(queue[n]);
        const QString &folderPath = folder->FullPath();
        m_counters.folders = int(n);
        progress(folderPath);

        for (const QString &name : folder->Directories()) {
            if (m_run.m_observer.cancelled()) {
                cancel();
                return false;
            }
            std::unique_ptr<cDirectory> child = readFolder(joinPath(folderPath, name) + u'\\', retryCancelled);
            if (retryCancelled) {
                cancel();
                return false;
            }
            FolderRecord record;
            record.name = storedName(name);
            record.parent = qint32(n);
            record.date = dayNumberFromDateTime(child->DateCreation());
            m_folders.push_back(record);
            queue.push_back(std::move(child));
        }
        for (int i = 0; i < folder->FilesCount(); ++i) {
            ++m_counters.files;
            if (m_run.m_observer.cancelled()) {
                cancel();
                return false;
            }
            catalogueFile(folder->File(i), qint32(n));
            if (m_folderFiles.size() % ProgressEvery == 0)
                progress(folderPath);
        }
        if (!flushFolderFiles()) {
            m_run.m_error = m_fileListOut.fileName() + u' ' + m_fileListOut.errorString();
            cancel();
            return false;
        }
    }
    m_counters.folders = int(queue.size()) - 1;

    // End: the folder file, the rest of the file list, the text and tag stores.
    QByteArray folderFile = TreeFiles::folderFileHeader();
    for (size_t i = 1; i < m_folders.size(); ++i) {
        if (!m_folders[i].name.isEmpty())
            TreeFiles::appendFolderLine(folderFile, m_folders[i], TreeFiles::FolderFlags::EmptyText);
    }
    QFile folderOut(workingCopy(".rep"));
    const bool written = m_fileListOut.write(m_fileList) == m_fileList.size() && m_fileListOut.flush()
        && folderOut.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && folderOut.write(folderFile) == folderFile.size() && folderOut.flush();
    m_fileListOut.close();
    folderOut.close();
    if (!written || !m_texts.finish() || !m_tags.save(workingCopy(".id3"))) {
        m_run.m_error = QStringLiteral("the working copies of the disc cannot be written in ") + m_catalogue.tempFolder;
        cancel();
        return false;
    }
    return true;
}

CataloguingRun::CataloguingRun(Catalogue &catalogue, const Volume &volume, const FilterTable &filters,
                               RunObserver &observer)
    : m_catalogue(catalogue), m_volume(volume), m_filters(filters), m_observer(observer)
{
}

bool CataloguingRun::run(const CataloguingRequest &request)
{
    m_counters = CataloguingCounters();
    m_error.clear();
    m_observer.clearCancel();
    Walk walk(*this, request);
    return walk.run();
}

} // namespace vorn
