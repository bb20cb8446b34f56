#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace vorn {

// The version line of the about box: the program title, "   Version : ", then the
// major and minor versions as two digits and the revision as four, zero-padded and
// joined by "." ("VORN   Version : 01.00.0000").
QString aboutVersionLine(int major, int minor, int revision);

// The about box: `Label2` with the version line and the maker's line below it.
// Hidden until shown.
QDialog *makeAboutBox(QWidget *parent, const QString &versionLine);

} // namespace vorn
