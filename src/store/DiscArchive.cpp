#include "store/DiscArchive.h"

#include "common/DurableFile.h"
#include "common/TextCodec.h"
#include "common/Wildcard.h"
#include "store/Catalogue.h"
#include "store/Records.h"
#include "store/ZipDirectRead.h"
#include "store/ZipTail.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace vorn::DiscArchive {

namespace {

struct ZipCloser
{
    void operator()(zip_t *archive) const
    {
        if (archive)
            zip_discard(archive);
    }
};
using ZipHandle = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser
{
    void operator()(zip_file_t *file) const
    {
        if (file)
            zip_fclose(file);
    }
};
using ZipFileHandle = std::unique_ptr<zip_file_t, ZipFileCloser>;

QString openErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

QString archiveErrorText(zip_t *archive)
{
    return QString::fromUtf8(zip_strerror(archive));
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// A change to an archive is made on a copy under a temporary name beside it
// ("<archive>.XXXXXX"); the copy is flushed to the disk, renamed over the archive and
// the folder flushed, so a crash at any point leaves the old archive or the new one.
// Copies a crash leaves behind are removed when the data folder is next opened.
struct ArchiveWrite
{
    ZipHandle zip;
    QString partial;
    QString target;

    ArchiveWrite() = default;
    ArchiveWrite(ArchiveWrite &&) = default;
    ~ArchiveWrite()
    {
        zip.reset();
        if (!partial.isEmpty())
            QFile::remove(partial);
    }
    explicit operator bool() const { return bool(zip); }
    zip_t *get() const { return zip.get(); }
};

QString temporaryName(const QString &archivePath)
{
    QTemporaryFile file(archivePath + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return {};
    return file.fileName(); // removed again when `file` goes: the name is free
}

ArchiveWrite openForWriting(const QString &archivePath, int flags, QString *error)
{
    ArchiveWrite write;
    write.target = archivePath;
    write.partial = temporaryName(archivePath);
    if (write.partial.isEmpty()) {
        setError(error, archivePath + QStringLiteral(": the temporary file cannot be created"));
        return write;
    }
    if (QFileInfo::exists(archivePath) && !QFile::copy(archivePath, write.partial)) {
        setError(error, archivePath + QStringLiteral(": the temporary copy cannot be written"));
        return write;
    }
    int code = 0;
    write.zip.reset(zip_open(QFile::encodeName(write.partial).constData(), flags, &code));
    if (!write.zip)
        setError(error, archivePath + QStringLiteral(": ") + openErrorText(code));
    return write;
}

// Adds one host file under its bare name, replacing a member of the same name.
bool addFile(zip_t *archive, const QString &path, int level, QString *error)
{
    const QByteArray name = QFileInfo(path).fileName().toUtf8();
    zip_source_t *source = zip_source_file(archive, QFile::encodeName(path).constData(), 0, -1);
    if (!source) {
        setError(error, path + QStringLiteral(": ") + archiveErrorText(archive));
        return false;
    }
    const zip_int64_t index = zip_file_add(archive, name.constData(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        setError(error, path + QStringLiteral(": ") + archiveErrorText(archive));
        return false;
    }
    // Level 0 means stored: libzip's deflate level 0 would mean its default level.
    const zip_int32_t method = level <= 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    const zip_uint32_t flags = level <= 0 ? 0 : zip_uint32_t(qMin(level, 9));
    if (zip_set_file_compression(archive, zip_uint64_t(index), method, flags) < 0) {
        setError(error, archiveErrorText(archive));
        return false;
    }
    return true;
}

bool setComment(zip_t *archive, const QString &comment, QString *error)
{
    const QByteArray bytes = comment.toUtf8();
    if (bytes.size() > 0xFFFF) {
        setError(error,
                 QStringLiteral("the disc information is too long to be stored (%1 bytes, at most 65535)")
                     .arg(bytes.size()));
        return false;
    }
    if (zip_set_archive_comment(archive, bytes.constData(), zip_uint16_t(bytes.size())) < 0) {
        setError(error, archiveErrorText(archive));
        return false;
    }
    return true;
}

bool commit(ArchiveWrite &archive, QString *error)
{
    const QString &archivePath = archive.target;
    // libzip removes an archive left without members; a disc archive always has some.
    if (zip_get_num_entries(archive.get(), 0) <= 0) {
        setError(error, archivePath + QStringLiteral(": no member to store"));
        return false;
    }
    if (zip_close(archive.get()) < 0) {
        setError(error, archivePath + QStringLiteral(": ") + archiveErrorText(archive.get()));
        return false; // the handle still owns the archive; zip_discard frees it
    }
    archive.zip.release();
    if (!replaceDurably(archive.partial, archivePath)) {
        setError(error, archivePath + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    archive.partial.clear();
    return true;
}

// The file name part of a member name, whatever separator it uses; empty when the
// name has no usable last component.
QString bareMemberName(const QString &memberName)
{
    qsizetype cut = qMax(memberName.lastIndexOf(u'/'), memberName.lastIndexOf(u'\\'));
    QString name = memberName.mid(cut + 1);
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return {};
    if (name.size() >= 2 && name[1] == u':')
        name = name.mid(2);
    return name;
}

QStringList extensionPatterns(const QString &extensions)
{
    QStringList patterns;
    const QStringList pieces = extensions.split(u';');
    // Text after the last ";" is ignored, as in every ";"-terminated list.
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
        if (!pieces[i].isEmpty())
            patterns << u'*' + pieces[i];
    }
    return patterns;
}

// Working copies are scratch files: they are written under a temporary name and
// renamed into place, without the cost of forcing them to disk.
bool extractEntry(zip_t *archive, zip_uint64_t index, const QString &targetPath)
{
    ZipFileHandle file(zip_fopen_index(archive, index, 0));
    if (!file)
        return false;
    const QString partial = targetPath + QStringLiteral(".part");
    QFile out(partial);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    bool ok = true;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), zip_uint64_t(buffer.size()));
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        if (out.write(buffer.constData(), got) != got) {
            ok = false;
            break;
        }
    }
    out.close();
    if (ok && out.error() == QFile::NoError) {
        QFile::remove(targetPath);
        if (QFile::rename(partial, targetPath))
            return true;
    }
    QFile::remove(partial);
    return false;
}

} // namespace

QStringList memberExtensions(int memberFlags)
{
    static const std::pair<int, const char *> order[] = {
        {Member::Rep, ".rep"},   {Member::Fic, ".fic"}, {Member::Ico, ".ico"}, {Member::Text, ".text"},
        {Member::Img1, ".img1"}, {Member::Imi, ".imi"}, {Member::Sig, ".sig"}, {Member::Id3, ".id3"},
    };
    QStringList extensions;
    for (const auto &[bit, extension] : order) {
        if (memberFlags & bit)
            extensions << QString::fromLatin1(extension);
    }
    return extensions;
}

bool pack(const Catalogue &catalogue, const QString &identifier, int memberFlags, const QString &comment, int level,
          QString *error)
{
    const QString archivePath = catalogue.archivePath(identifier);
    ArchiveWrite archive = openForWriting(archivePath, ZIP_CREATE, error);
    if (!archive)
        return false;
    for (const QString &extension : memberExtensions(memberFlags)) {
        const QString path = catalogue.workingCopy(identifier, extension);
        if (!QFileInfo(path).isFile())
            continue;
        if (!addFile(archive.get(), path, level, error))
            return false;
    }
    if (!setComment(archive.get(), comment, error))
        return false;
    return commit(archive, error);
}

bool packFiles(const QStringList &files, const QString &archivePath, const QString &comment, int level, QString *error)
{
    ArchiveWrite archive = openForWriting(archivePath, ZIP_CREATE, error);
    if (!archive)
        return false;
    for (const QString &path : files) {
        if (!addFile(archive.get(), path, level, error))
            return false;
    }
    if (!setComment(archive.get(), comment, error))
        return false;
    return commit(archive, error);
}

bool removeMember(const QString &archivePath, const QString &memberName, QString *error)
{
    if (!QFileInfo::exists(archivePath))
        return true;
    ArchiveWrite archive = openForWriting(archivePath, 0, error);
    if (!archive)
        return false;
    const zip_int64_t index = zip_name_locate(archive.get(), memberName.toUtf8().constData(), ZIP_FL_NOCASE);
    if (index < 0)
        return true;
    if (zip_get_num_entries(archive.get(), 0) == 1) {
        archive.zip.reset();
        return QFile::remove(archivePath) && syncFolderOf(archivePath);
    }
    if (zip_delete(archive.get(), zip_uint64_t(index)) < 0) {
        setError(error, archivePath + QStringLiteral(": ") + archiveErrorText(archive.get()));
        return false;
    }
    return commit(archive, error);
}

bool unpack(const Catalogue &catalogue, const QString &identifier, const QString &extensions)
{
    return unpackArchive(catalogue.archivePath(identifier), extensions, catalogue.tempFolder);
}

bool unpackArchive(const QString &archivePath, const QString &extensions, const QString &targetFolder)
{
    int code = 0;
    ZipHandle archive(zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, &code));
    if (!archive)
        return false;
    const bool everything = extensions.isEmpty();
    std::vector<WildcardPattern> patterns;
    for (const QString &pattern : extensionPatterns(extensions))
        patterns.emplace_back(pattern);
    const QDir target(targetFolder);
    bool ok = true;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(archive.get(), zip_uint64_t(i), 0);
        if (!raw)
            continue;
        // Only the last name component is used, so nothing lands outside the target.
        const QString name = bareMemberName(QString::fromUtf8(raw));
        if (name.isEmpty())
            continue;
        const bool wanted = everything
            || std::any_of(patterns.begin(), patterns.end(), [&](const WildcardPattern &p) { return p.matches(name); });
        if (wanted && !extractEntry(archive.get(), zip_uint64_t(i), target.filePath(name)))
            ok = false;
    }
    return ok;
}

QString readComment(const QString &archivePath)
{
    return tryReadComment(archivePath).value_or(QString());
}

std::optional<QString> tryReadComment(const QString &archivePath, QString *error)
{
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return std::nullopt;
    }
    const std::optional<QByteArray> comment = readZipComment(file, error);
    if (!comment)
        return std::nullopt;
    return decodeText(*comment);
}

namespace {

// The whole content of an entry whose size is known and at most `limit`.
std::optional<QByteArray> readEntry(zip_t *archive, zip_uint64_t index, qint64 limit)
{
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) < 0 || !(stat.valid & ZIP_STAT_SIZE)
        || stat.size > zip_uint64_t(limit))
        return std::nullopt;
    ZipFileHandle file(zip_fopen_index(archive, index, 0));
    if (!file)
        return std::nullopt;
    QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < data.size()) {
        const zip_int64_t got = zip_fread(file.get(), data.data() + filled, zip_uint64_t(data.size() - filled));
        if (got <= 0)
            return std::nullopt;
        filled += qsizetype(got);
    }
    return data;
}

} // namespace

namespace {

std::vector<WildcardPattern> compiledExtensions(const QString &extensions)
{
    std::vector<WildcardPattern> patterns;
    for (const QString &pattern : extensionPatterns(extensions))
        patterns.emplace_back(pattern);
    return patterns;
}

bool wantedMember(const std::vector<WildcardPattern> &patterns, const QString &name)
{
    return !name.isEmpty()
        && std::any_of(patterns.begin(), patterns.end(), [&](const WildcardPattern &p) { return p.matches(name); });
}

} // namespace

bool MemberReader::read(const QString &archivePath, const QString &extensions, qint64 sizeLimit)
{
    m_members.clear();
    QFile file(archivePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Disc archives are small: read whole, they are parsed and inflated in memory.
    constexpr qint64 WholeReadLimit = qint64(64) << 20;
    const qint64 size = file.size();
    if (size > WholeReadLimit) {
        if (!readZipTail(file))
            return false;
        file.close();
        return readWithLibrary(archivePath, extensions, sizeLimit);
    }
    m_content.resize(size);
    if (file.read(m_content.data(), size) != size)
        return false;
    file.close();
    const std::optional<ZipTail> tail = parseZipTail(m_content);
    if (!tail)
        return false;

    const std::vector<WildcardPattern> patterns = compiledExtensions(extensions);
    std::vector<std::pair<QString, const ZipEntry *>> chosen;
    for (const ZipEntry &entry : tail->entries) {
        QString name = bareMemberName(QString::fromUtf8(entry.name));
        if (!wantedMember(patterns, name))
            continue;
        if (!directlyReadable(entry))
            return readWithLibrary(archivePath, extensions, sizeLimit);
        chosen.emplace_back(std::move(name), &entry);
    }
    if (!tail->namesKnown)
        return readWithLibrary(archivePath, extensions, sizeLimit);
    if (m_buffers.size() < chosen.size())
        m_buffers.resize(chosen.size());
    size_t used = 0;
    for (auto &[name, entry] : chosen) {
        if (qint64(entry->size) > sizeLimit)
            continue;
        QByteArray &buffer = m_buffers[used];
        if (readZipMemberDirect(m_content, *entry, buffer)) {
            m_members.push_back({std::move(name), buffer});
            ++used;
        }
    }
    return true;
}

bool MemberReader::readWithLibrary(const QString &archivePath, const QString &extensions, qint64 sizeLimit)
{
    m_members.clear();
    int code = 0;
    ZipHandle archive(zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, &code));
    if (!archive)
        return true; // the end was readable; its members are not
    const std::vector<WildcardPattern> patterns = compiledExtensions(extensions);
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(archive.get(), zip_uint64_t(i), 0);
        QString name = raw ? bareMemberName(QString::fromUtf8(raw)) : QString();
        if (!wantedMember(patterns, name))
            continue;
        if (std::optional<QByteArray> data = readEntry(archive.get(), zip_uint64_t(i), sizeLimit)) {
            m_buffers.resize(m_members.size() + 1);
            m_buffers[m_members.size()] = std::move(*data);
            m_members.push_back({std::move(name), m_buffers[m_members.size()]});
        }
    }
    return true;
}

std::vector<std::pair<QString, QByteArray>> readMembers(const QString &archivePath, const QString &extensions,
                                                        qint64 sizeLimit, bool *readable)
{
    MemberReader reader;
    const bool ok = reader.read(archivePath, extensions, sizeLimit);
    if (readable)
        *readable = ok;
    std::vector<std::pair<QString, QByteArray>> members;
    for (const MemberReader::Member &member : reader.members())
        members.emplace_back(member.name, member.data.toByteArray());
    return members;
}

std::optional<QByteArray> readMember(const QString &archivePath, const QString &memberName)
{
    int code = 0;
    ZipHandle archive(zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY, &code));
    if (!archive)
        return std::nullopt;
    const QByteArray name = memberName.toUtf8();
    const zip_int64_t index = zip_name_locate(archive.get(), name.constData(), ZIP_FL_NOCASE);
    if (index < 0)
        return std::nullopt;
    return readEntry(archive.get(), zip_uint64_t(index), qint64(1) << 30);
}

} // namespace vorn::DiscArchive
