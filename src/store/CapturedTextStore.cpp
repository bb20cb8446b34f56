#include "store/CapturedTextStore.h"

#include "common/DurableFile.h"
#include "common/LineFields.h"
#include "common/Numbers.h"
#include "common/ProfileFile.h"
#include "common/TextCodec.h"
#include "store/Catalogue.h"
#include "store/DiscArchive.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace vorn {

namespace {

const QString kTextExtension = QStringLiteral(".text");
const QString kTextUnpackList = QStringLiteral(".Text;");
constexpr qsizetype kCopyChunk = 1 << 16;

int decimalDigits(qint64 value)
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

QByteArray lengthLine(const std::vector<qint64> &lengths)
{
    QByteArray line;
    for (qint64 length : lengths) {
        line += QByteArray::number(length);
        line += ';';
    }
    line += QByteArray(10, ' ');
    return line;
}

// The first `lines` lines of a file (with their line ends), read without loading the rest.
QByteArray readHead(QFile &file, int lines)
{
    QByteArray head;
    for (int i = 0; i < lines && !file.atEnd(); ++i) {
        const QByteArray line = file.readLine();
        if (line.isEmpty())
            break;
        head += line;
    }
    return head;
}

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

// The working copy of a disc's store, unpacked from the disc archive when missing.
QString workingStore(const Catalogue &catalogue, const QString &identifier)
{
    const QString path = catalogue.workingCopy(identifier, kTextExtension);
    if (!fileExists(path))
        DiscArchive::unpack(catalogue, identifier, kTextUnpackList);
    return fileExists(path) ? path : QString();
}

} // namespace

qint64 capturedTextHeaderValue(qsizetype lengthLineSize)
{
    // "[TxtSize]" CRLF, "Size=" H CRLF, line 3 CRLF, CRLF, less 2.
    const qint64 fixed = 11 + 5 + 2 + qint64(lengthLineSize) + 2 + 2 - 2;
    int digits = 1;
    for (;;) {
        const qint64 h = fixed + digits;
        const int d = decimalDigits(h);
        if (d == digits)
            return h;
        digits = d;
    }
}

QByteArray capturedTextHeader(const std::vector<qint64> &lengths)
{
    const QByteArray line3 = lengthLine(lengths);
    QByteArray header("[TxtSize]\r\nSize=");
    header += QByteArray::number(capturedTextHeaderValue(line3.size()));
    header += "\r\n";
    header += line3;
    header += "\r\n\r\n";
    return header;
}

CapturedTextIndex parseCapturedTextIndex(QByteArrayView head)
{
    CapturedTextIndex index;
    QByteArrayView lines[3];
    int found = 0;
    forEachLine(head, [&](QByteArrayView line) {
        lines[found++] = line;
        return found < 3;
    });
    if (found < 3)
        return index;

    QByteArray profileText(lines[0].data(), lines[0].size());
    profileText += "\r\n";
    profileText.append(lines[1].data(), lines[1].size());
    profileText += "\r\n";
    ProfileFile profile;
    profile.parse(profileText);
    const QString sizeText = profile.value(QStringLiteral("TxtSize"), QStringLiteral("Size"));
    const qint64 h = integerValue(sizeText);
    // A header size no file could have marks a damaged store.
    if (sizeText.trimmed().isEmpty() || h <= 0 || h > std::numeric_limits<qint64>::max() / 2)
        return index;

    qint64 offset = h + 2;
    index.firstText = offset;
    const QByteArrayView list = lines[2];
    qsizetype start = 0;
    while (start < list.size()) {
        qsizetype end = list.indexOf(';', start);
        if (end < 0)
            end = list.size();
        const QByteArrayView piece = list.sliced(start, end - start).trimmed();
        start = end + 1;
        if (piece.isEmpty())
            continue;
        const qint64 length = std::max<qint64>(0, integerValue(QString::fromLatin1(piece)));
        index.starts.push_back(offset);
        index.lengths.push_back(length);
        // Lengths past any file leave the texts after them unreadable, never a
        // start before the one of the text in front.
        offset =
            length > std::numeric_limits<qint64>::max() - offset ? std::numeric_limits<qint64>::max() : offset + length;
    }
    return index;
}

CapturedTextIndex readCapturedTextIndex(const QString &storePath)
{
    QFile file(storePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseCapturedTextIndex(readHead(file, 3));
}

// ---------------------------------------------------------------------------------

CapturedTextWriter::~CapturedTextWriter()
{
    if (m_file)
        m_file->close();
}

bool CapturedTextWriter::begin(const QString &storePath)
{
    m_path = storePath;
    m_lengths.clear();
    m_failed = false;
    m_file = std::make_unique<QFile>(storePath);
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_file.reset();
        return false;
    }
    return true;
}

int CapturedTextWriter::append(QStringView text)
{
    if (!m_file || m_failed)
        return 0;
    QByteArray bytes = text.toUtf8();
    bytes += "\r\n";
    if (m_file->write(bytes) != bytes.size()) {
        m_failed = true;
        return 0;
    }
    m_lengths.push_back(bytes.size());
    return int(m_lengths.size());
}

// Moves the texts aside to the store name followed by "_" (or "_1" to "_100" when
// that name cannot be freed). Empty text when no name could be had.
QString CapturedTextWriter::renameTexts() const
{
    for (int n = 0; n <= 100; ++n) {
        const QString candidate = m_path + QLatin1Char('_') + (n == 0 ? QString() : QString::number(n));
        QFile::remove(candidate);
        if (QFileInfo::exists(candidate))
            continue;
        if (QFile::rename(m_path, candidate))
            return candidate;
    }
    return {};
}

bool CapturedTextWriter::finish()
{
    if (!m_file)
        return false;
    const bool written = m_file->flush() && !m_failed;
    m_file->close();
    m_file.reset();
    if (!written) {
        QFile::remove(m_path);
        return false;
    }

    // Read the texts from a renamed copy; when no name is free, straight from the
    // store path, which the new file only replaces once it is complete.
    const QString renamed = renameTexts();
    const QString source = renamed.isEmpty() ? m_path : renamed;
    auto cleanUp = [&](bool ok) {
        if (!ok)
            QFile::remove(m_path);
        if (!renamed.isEmpty())
            QFile::remove(renamed);
        return ok;
    };

    QFile texts(source);
    if (!texts.open(QIODevice::ReadOnly))
        return cleanUp(false);
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        return cleanUp(false);

    bool ok = out.write(capturedTextHeader(m_lengths)) >= 0;
    while (ok && !texts.atEnd()) {
        const QByteArray chunk = texts.read(kCopyChunk);
        if (chunk.isEmpty())
            ok = false;
        else
            ok = out.write(chunk) == chunk.size();
    }
    ok = ok && out.write("\r\n", 2) == 2 && !failsAt(Step::Write);
    texts.close();
    if (!ok || failsAt(Step::Commit)) {
        out.cancelWriting();
        return cleanUp(false);
    }
    return cleanUp(commitWhole(out));
}

void CapturedTextWriter::discard()
{
    if (m_file) {
        m_file->close();
        m_file.reset();
        QFile::remove(m_path);
    }
    m_lengths.clear();
    m_failed = false;
}

// ---------------------------------------------------------------------------------

void CapturedTextReader::forget()
{
    m_identifier.clear();
    m_path.clear();
    m_fileSize = -1;
    m_modified = QDateTime();
    m_index = {};
}

bool CapturedTextReader::refresh(const QString &identifier, const QString &path)
{
    const QFileInfo info(path);
    if (identifier == m_identifier && path == m_path && info.size() == m_fileSize && info.lastModified() == m_modified)
        return true;
    forget();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_index = parseCapturedTextIndex(readHead(file, 3));
    m_identifier = identifier;
    m_path = path;
    m_fileSize = info.size();
    m_modified = info.lastModified();
    return true;
}

QString CapturedTextReader::read(const Catalogue &catalogue, const QString &identifier, int k)
{
    const QString path = workingStore(catalogue, identifier);
    if (path.isEmpty() || !refresh(identifier, path))
        return {};
    if (k < 1 || k > m_index.count())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(m_index.starts[size_t(k - 1)]))
        return {};
    return decodeText(file.read(m_index.lengths[size_t(k - 1)]));
}

// ---------------------------------------------------------------------------------

CapturedTextScanner::~CapturedTextScanner() = default;

void CapturedTextScanner::forget()
{
    m_open = false;
    m_disc.clear();
    m_data = QByteArray();
    m_index = {};
    m_next = 1;
    m_lastNumber = 0;
    m_lastText.clear();
}

bool CapturedTextScanner::openMemory(const QString &discKey, const QByteArray &store)
{
    if (m_open && m_disc == discKey && m_data.constData() == store.constData() && m_data.size() == store.size())
        return true;
    forget();
    // Only the first three lines are needed for the index.
    qsizetype headEnd = 0;
    for (int line = 0; line < 3 && headEnd >= 0; ++line) {
        headEnd = store.indexOf('\n', headEnd);
        if (headEnd >= 0)
            ++headEnd;
    }
    CapturedTextIndex index = parseCapturedTextIndex(QByteArrayView(store).first(headEnd < 0 ? store.size() : headEnd));
    if (index.empty())
        return false;
    m_data = store;
    m_index = std::move(index);
    m_disc = discKey;
    m_open = true;
    return true;
}

QByteArray CapturedTextScanner::readPiece(qint64 offset, qint64 length)
{
    if (offset >= m_data.size())
        return {};
    return m_data.mid(qsizetype(offset), qsizetype(length));
}

QString CapturedTextScanner::advanceTo(int k)
{
    if (k < 1 || k > m_index.count())
        return {};
    if (k == m_lastNumber)
        return m_lastText;
    if (k < m_next)
        m_next = 1; // asked for an earlier text: start again from the first one
    // Texts before k are passed over: their bytes are skipped, not decoded.
    const size_t i = size_t(k - 1);
    m_lastText = decodeText(readPiece(m_index.starts[i], m_index.lengths[i]));
    m_lastNumber = k;
    m_next = k + 1;
    if (k == m_index.count()) {
        const QString text = m_lastText;
        forget();
        return text;
    }
    return m_lastText;
}

QString CapturedTextScanner::text(const QString &discKey, const QByteArray &store, int k)
{
    if (!openMemory(discKey, store)) {
        forget();
        return {};
    }
    return advanceTo(k);
}

bool CapturedTextScanner::occurs(const QString &discKey, const QByteArray &store, int k, QStringView searchText)
{
    const QString piece = text(discKey, store, k);
    return !piece.isEmpty() && piece.contains(searchText, Qt::CaseInsensitive);
}

} // namespace vorn
