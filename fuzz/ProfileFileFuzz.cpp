// Profile files: sections of key=value lines.
#include "FuzzInput.h"
#include "common/ProfileFile.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    vorn::ProfileFile profile;
    profile.parse(vorn::fuzz::bytes(data, size));
    const QStringList sections = profile.sections();
    for (const QString &section : sections) {
        for (const QString &key : profile.keys(section))
            (void)profile.value(section, key);
    }
    if (!sections.isEmpty()) {
        profile.setValue(sections.front(), QStringLiteral("k"), QStringLiteral("v"));
        profile.removeSection(sections.back());
    }
    (void)profile.serialize();
    return 0;
}
