#include "store/Mp3Summary.h"

#include "settings/StringTable.h"

namespace vorn {

QString mp3FullSummary(const Mp3Tags &tags)
{
    QString text;
    auto line = [&text](int label, const QString &value) {
        if (!value.isEmpty())
            text += LoadText(label) + value + QStringLiteral("\r\n");
    };
    line(873, tags.artist);
    line(874, tags.album);
    line(875, tags.title);
    line(876, tags.track);
    line(877, tags.year != 0 ? QString::number(tags.year) : QString());
    line(878, tags.comment);
    return text;
}

} // namespace vorn
