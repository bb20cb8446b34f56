#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringView>
#include <functional>
#include <memory>
#include <vector>

namespace vorn {

struct Catalogue;

// The captured-text store <id>.text:
//   "[TxtSize]"  /  "Size=" H  /  L1;L2;...;  + ten spaces  /  empty line  /
//   the texts, each followed by CRLF  /  one further CRLF.
// Li is the byte length of text i in its stored UTF-8 form plus 2 (its CRLF); text k
// starts at byte H + 2 + L1 + ... + L(k-1). H is the byte count of the four header
// lines minus 2; since its own digits count, it is found as a fixed point.

// H for a length list line (line 3, without its CRLF) of the given byte count.
qint64 capturedTextHeaderValue(qsizetype lengthLineSize);

// The four header lines with their CRLFs for the given lengths.
QByteArray capturedTextHeader(const std::vector<qint64> &lengths);

// Where the texts of a store are: the offset of text 1 and every length.
struct CapturedTextIndex
{
    qint64 firstText = 0; // H + 2
    std::vector<qint64> lengths; // L1, L2, ...
    std::vector<qint64> starts; // byte offset of text i + 1

    int count() const { return int(lengths.size()); }
    bool empty() const { return lengths.empty(); }
};

// Reads H (key "Size" of section "TxtSize") and the length list from the first three
// lines of a store. No section, an empty or 0 H, or no lengths give an empty index.
CapturedTextIndex parseCapturedTextIndex(QByteArrayView head);
// The same from a store file; an unreadable file gives an empty index.
CapturedTextIndex readCapturedTextIndex(const QString &storePath);

// Writes a disc's captured texts during a cataloguing run and finishes the store at
// its end. The texts go to the store path as they come; finish() then puts the header
// in front. The finished store is written to a new file that replaces the old one
// only when complete, so a failure never leaves a store that looks whole but is not.
class CapturedTextWriter
{
public:
    // The steps of finish() where a test can make it fail.
    enum class Step { Write, Commit };

    CapturedTextWriter() = default;
    CapturedTextWriter(const CapturedTextWriter &) = delete;
    CapturedTextWriter &operator=(const CapturedTextWriter &) = delete;
    ~CapturedTextWriter();

    // Creates the store file empty and keeps it open; forgets earlier lengths.
    bool begin(const QString &storePath);
    // Appends the text and CRLF as UTF-8; returns the text's number (from 1), or 0
    // when the store is not open or the write failed (finish() then fails too).
    int append(QStringView text);
    int count() const { return int(m_lengths.size()); }
    const std::vector<qint64> &lengths() const { return m_lengths; }

    // Closes the texts and writes the finished store in their place. On failure no
    // store is left at the path. A disc without texts still gets a store.
    bool finish();
    // Closes and deletes the texts without finishing (a cancelled run).
    void discard();

    // Test seam: `fail` is asked at each step of finish(); true makes that step fail.
    void setFailurePoint(std::function<bool(Step)> fail) { m_fail = std::move(fail); }

private:
    bool failsAt(Step step) const { return m_fail && m_fail(step); }
    QString renameTexts() const;

    QString m_path;
    std::unique_ptr<QFile> m_file;
    std::vector<qint64> m_lengths;
    bool m_failed = false;
    std::function<bool(Step)> m_fail;
};

// Reads single captured texts of a disc from its working copy in the temporary folder.
// The length list is loaded once per disc and kept until the disc or the working copy
// changes.
class CapturedTextReader
{
public:
    // Text k (from 1) with its trailing CRLF. A missing working copy is first unpacked
    // from the disc archive; a missing store or a k outside the list give empty text.
    QString read(const Catalogue &catalogue, const QString &identifier, int k);
    void forget();

private:
    bool refresh(const QString &identifier, const QString &path);

    QString m_identifier;
    QString m_path;
    qint64 m_fileSize = -1;
    QDateTime m_modified;
    CapturedTextIndex m_index;
};

// The sequential reader the search uses: it serves one disc at a time, reads the
// texts forward from where it stopped up to the one asked for, and closes the store
// after the last text. A call with a text number below the last one starts again from
// the first text. The store is an in-memory copy of the disc's member.
class CapturedTextScanner
{
public:
    CapturedTextScanner() = default;
    CapturedTextScanner(const CapturedTextScanner &) = delete;
    CapturedTextScanner &operator=(const CapturedTextScanner &) = delete;
    ~CapturedTextScanner();

    // Whether `searchText` occurs in text k, ignoring case. An empty or missing
    // text answers false.
    bool occurs(const QString &discKey, const QByteArray &store, int k, QStringView searchText);

    // Text k itself (with its CRLF), read the same way; empty when there is none.
    QString text(const QString &discKey, const QByteArray &store, int k);

    // Starts afresh: the next call opens its disc's store again.
    void forget();
    // Whether a store is open (it is closed after its last text has been read).
    bool isOpen() const { return m_open; }

private:
    bool openMemory(const QString &discKey, const QByteArray &store);
    QString advanceTo(int k);
    QByteArray readPiece(qint64 offset, qint64 length);

    bool m_open = false;
    QString m_disc; // the key of the store
    QByteArray m_data;
    CapturedTextIndex m_index;
    int m_next = 1; // number of the next text to read
    int m_lastNumber = 0; // number of the last text read, 0 for none
    QString m_lastText;
};

} // namespace vorn
