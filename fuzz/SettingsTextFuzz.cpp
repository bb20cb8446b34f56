// The settings file's INI text: whatever it holds reads without harm, and the text
// written from what was read reads back to the same keys and values.
#include "FuzzInput.h"
#include "settings/IniText.h"

#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace {

// A list holding a text that must be written in the "@String(...)" form (a text with
// a NUL) reads back, as Qt reads it, as a list of values rather than of texts: the
// same texts.
QVariant texts(const QVariant &value)
{
    if (value.typeId() != QMetaType::QVariantList)
        return value;
    QStringList list;
    for (const QVariant &item : value.toList()) {
        if (item.typeId() != QMetaType::QString)
            return value;
        list << item.toString();
    }
    return list;
}

bool sameTexts(const QSettings::SettingsMap &a, const QSettings::SettingsMap &b)
{
    return a.size() == b.size()
        && std::equal(a.cbegin(), a.cend(), b.cbegin(),
                      [&](const QVariant &x, const QVariant &y) { return texts(x) == texts(y); })
        && a.keys() == b.keys();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QSettings::SettingsMap read;
    vorn::IniText::read(vorn::fuzz::bytes(data, size), read);
    QSettings::SettingsMap again;
    vorn::IniText::read(vorn::IniText::write(read), again);
    // Texts and lists of texts are what VORN keeps; other kinds of value are only read.
    // A key with an empty part ("a//b", "a/") cannot be set through QSettings, which
    // tidies every key; one read from such a file is only read.
    const bool onlyTexts = std::all_of(read.cbegin(), read.cend(), [](const QVariant &value) {
        const int type = texts(value).typeId();
        return type == QMetaType::QString || type == QMetaType::QStringList;
    });
    const bool tidyKeys = std::none_of(read.keyBegin(), read.keyEnd(), [](const QString &key) {
        return key.isEmpty() || key.endsWith(u'/') || key.contains(QStringLiteral("//"))
            || (key.startsWith(u'/') && key.indexOf(u'/', 1) >= 0);
    });
    if (onlyTexts && tidyKeys && !sameTexts(read, again))
        std::abort();
    return 0;
}
