#include "settings/OptionsWord.h"

#include "settings/SettingsStore.h"

namespace vorn {

qint32 ReadOptionsWord()
{
    return qint32(Settings::readNumber(QStringLiteral("Opt"), QStringLiteral("OptDiv"), DefaultOptionsWord));
}

void WriteOptionsWord(qint32 word)
{
    Settings::writeNumber(QStringLiteral("Opt"), QStringLiteral("OptDiv"), word);
}

int TestOption(qint32 word, qint32 bit)
{
    return (word & bit) == bit ? 1 : 0;
}

QString programVersionKey(int major, int minor, int revision)
{
    return QString::number(major) + QStringLiteral("%1").arg(minor, 2, 10, QLatin1Char('0'))
        + QString::number(revision);
}

QString programVersionKey()
{
    return programVersionKey(VORN_VERSION_MAJOR, VORN_VERSION_MINOR, VORN_VERSION_PATCH);
}

qint32 startupOptionsWord(const QString &storedVersion, const QString &runningVersion, qint32 storedWord)
{
    return storedVersion == runningVersion ? storedWord : UpgradeOptionsWord;
}

qint32 startupOptionsWord()
{
    return startupOptionsWord(Settings::read(QStringLiteral("Opt"), QStringLiteral("Version")), programVersionKey(),
                              ReadOptionsWord());
}

} // namespace vorn
