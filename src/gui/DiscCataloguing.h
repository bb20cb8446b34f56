#pragma once

#include <QObject>
#include <QString>
#include <functional>

namespace vorn {

class AppIcons;
class DataFolderList;
class DriveLayer;
class FilterTable;
class Form1;
class RunObserver;
class UserPrompt;
class cDrive;
struct Catalogue;
struct DriveVolumeOpening;
struct EditResult;
namespace edit {
struct CaptureSettings;
struct NewDisc;
} // namespace edit

// The window's cataloguing commands: cataloguing the disc in a drive (through the
// options dialog), updating a catalogued disc from its drive ("Mise à jour..."), and
// identifying an unrecognised disc (through the disc picker). Runs go through the
// progress window with the main window's controls disabled.
class DiscCataloguing : public QObject
{
    Q_OBJECT
public:
    DiscCataloguing(Form1 &window, Catalogue &catalogue, DataFolderList &folders, DriveLayer &drives, cDrive &drive,
                    UserPrompt &prompt, AppIcons &icons);

    void catalogueDiscInDrive(); // BtSauveCD_Click
    // "Cataloguer une image...": an ISO image file chosen by the user, read as the disc
    // burnt from it would be (same identifier and label), then the options dialog.
    void catalogueImage();
    void updateSelectedDisc(); // "Mise à jour..."
    void identifyDiscInDrive(); // "Identification manuelle..."
    // Catalogues the disc in drive `letter` through the core call, in the progress
    // window; refills the lists and shows the new disc. False when nothing was catalogued.
    bool archiveDisc(const edit::NewDisc &disc, const edit::CaptureSettings &capture, const FilterTable &filters,
                     QChar letter, bool eject);
    // Moves the disc at `position` to `identifier`, that of a disc in a drive.
    bool rekeyDiscToDrive(int position, const QString &identifier);
    // Reads the autorun icon of the disc in `letter` into the icon lists.
    void readDiscIcon(QChar letter, const QString &identifier);
    // Whether the disc being catalogued comes from an image file rather than a drive.
    bool fromImage() const { return !m_image.isEmpty(); }

private:
    QChar cataloguingLetter() const;
    // The disc to read: the image being catalogued when there is one, else the drive.
    DriveVolumeOpening openSource(QChar letter) const;
    void runInProgressWindow(QChar letter, const std::function<void(const DriveVolumeOpening &, RunObserver &)> &work);
    void endRun();
    void leaveShownDisc();
    void updateDisc(int position, QChar letter);
    void afterRun(const EditResult &result);

    Form1 &m_window;
    Catalogue &m_catalogue;
    DataFolderList &m_folders;
    DriveLayer &m_drives;
    cDrive &m_drive;
    UserPrompt &m_prompt;
    AppIcons &m_icons;
    QString m_image; // the image file being catalogued; empty for a drive
};

} // namespace vorn
