#pragma once

#include <QString>

namespace vorn {

// Bits of the options word "Opt"/"OptDiv".
namespace Opt {
enum : qint32 {
    CaptureText = 1,
    FirstLineToDescription = 2,
    CaptureTextInArchives = 4,
    ListZip = 8,
    EjectAfterCataloguing = 16,
    ExcludedFromSearch = 32, // only in a cataloguing request, never in the stored word
    ViewerAutoShow = 64,
    ViewerVisible = 128,
    ListCab = 256,
    ListRar = 1024,
    SearchLatestOnly = 4096,
    SearchInArchives = 8192,
    StartOnSearchTab = 16384,
};
}

inline constexpr qint32 DefaultOptionsWord = 9695;
// The default without "eject after cataloguing": the word a new version starts from.
inline constexpr qint32 UpgradeOptionsWord = 9679;

// "OptDiv" as a 32-bit integer, 9695 when absent.
qint32 ReadOptionsWord();
void WriteOptionsWord(qint32 word);

// 1 when every bit of `bit` is set in `word`, else 0.
int TestOption(qint32 word, qint32 bit);

// The running program's version in the stored "Version" form: the major version,
// the minor version as two digits, then the revision (1.5.3 gives "1053").
QString programVersionKey(int major, int minor, int revision);
QString programVersionKey();

// The options word start-up uses: the stored word when "Version" matches the
// running version, else 9679.
qint32 startupOptionsWord(const QString &storedVersion, const QString &runningVersion, qint32 storedWord);
qint32 startupOptionsWord();

} // namespace vorn
