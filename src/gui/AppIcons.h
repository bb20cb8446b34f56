#pragma once

#include <QByteArray>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

namespace vorn {

// The icons of the window's lists, by the keys the lists use: "CD" (a disc, the root
// of the folder tree), "FC"/"FO" (folder closed/open), "FCe"/"FOe" (the same for a
// folder excluded from searches), "LCD" (a CD drive), "DIS" (a removable drive),
// "FILE" (a file), "ZIP" (an archive), "TXT" (a text). The program draws its own and
// takes the desktop theme's when the theme has one.
class AppIcons
{
public:
    QIcon icon(const QString &key);
    // The icon of a file extension (upper-cased, "" for none), one per extension.
    QIcon fileIcon(const QString &fileName);
    // A disc's own icon from its .ico bytes, cached by identifier; the disc icon when
    // the bytes do not read.
    QIcon discIcon(const QString &identifier, const QByteArray &icoBytes);
    void forgetDiscIcons() { m_discIcons.clear(); }
    // Adds the picture of an icon file under `key`; false when it does not read.
    bool addIconFile(const QString &key, const QString &path);
    // The keys of the icon folder's stock icons ("K" & name), in the order added.
    const QStringList &stockKeys() const { return m_stockKeys; }

private:
    QHash<QString, QIcon> m_icons;
    QHash<QString, QIcon> m_extensions;
    QHash<QString, QIcon> m_discIcons;
    QStringList m_stockKeys;
};

// The drawn icon alone, never the theme's (used by tests and as the fallback).
QIcon drawnIcon(const QString &key);

// A command's icon: the desktop theme's icon of that freedesktop name when the theme
// has one, else the program's own drawing ":/icons/<bundled>.svg" (crisp at any
// scale, greyed when disabled). An empty theme name takes the drawing alone; an
// empty drawing name, the theme's icon or none.
QIcon commandIcon(const QString &themeName, const QString &bundled = QString());

} // namespace vorn
