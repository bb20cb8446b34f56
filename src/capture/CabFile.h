#pragma once

#include "capture/ArchiveMembers.h"

#include <QString>
#include <functional>
#include <optional>

namespace vorn {

// Cabinet files found on a disc. Listing reads the file headers of one cabinet;
// members continued from or to another cabinet are listed and never read.
ArchiveListing listCabArchive(const QString &hostPath);

// A failed cabinet operation: the platform error number and its text.
struct CabError
{
    qint64 number = 0;
    QString source; // always "CabFile"
    QString description;
};

// The error raised by any operation on a CABFile whose CabName was never set:
// 1956 above the component error base (0x800407A4 read as a signed 32-bit number).
inline constexpr qint64 kCabNameErrorNumber = qint64(qint32(0x800407A4u));

// The text of a platform error code in the cabinet reader's table; "Unknown error."
// for codes the table lacks.
QString cabErrorText(qint64 code);

// One cabinet, read through its events. Every operation needs CabName; errors are
// kept in lastError() and answered with false (or a count of 0).
class CABFile
{
public:
    // Raised once per member by GetInfo: file name, date (day number, to the second,
    // from the DOS date and time as stored), size, and the folder inside the cabinet
    // up to and including its last "\" (empty at the top).
    std::function<void(const QString &name, double date, qint64 size, const QString &folder)> FileFound;
    // Raised before a member is written; setting `cancel` skips it.
    std::function<void(const QString &name, bool &cancel)> BeforeExtract;
    // Raised with the path of a member just written.
    std::function<void(const QString &path)> FileExtracted;

    void setCabName(const QString &path) { m_cabName = path; }
    QString CabName() const { return m_cabName; }

    // The number of members (a counting pass).
    int FileCount();
    // The listing pass: FileFound for each member in cabinet order. A damaged cabinet
    // raises it for the members before the damage and then fails.
    bool GetInfo();
    // Writes the member whose stored path ("folder\name", or the name of a member at the
    // top) equals `memberName` ignoring case to `destinationFolder` & its file name,
    // when it is at most `limit` bytes. False when there is no such member or it could
    // not be written.
    bool Extract(const QString &memberName, const QString &destinationFolder, qint64 limit);

    const std::optional<CabError> &lastError() const { return m_error; }

private:
    std::optional<ArchiveListing> listing();
    void fail(qint64 number);

    QString m_cabName;
    std::optional<CabError> m_error;
};

} // namespace vorn
