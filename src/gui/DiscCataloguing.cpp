#include "gui/DiscCataloguing.h"

#include "capture/Autorun.h"
#include "capture/FilterTable.h"
#include "edit/DiscCataloguing.h"
#include "edit/DiscEdits.h"
#include "gui/BrowsePane.h"
#include "gui/DiscInfoPane.h"
#include "gui/DiscListPane.h"
#include "gui/EditReport.h"
#include "gui/Form1.h"
#include "gui/Form2.h"
#include "gui/FrmArchivage.h"
#include "gui/FrmListeCD.h"
#include "gui/ShownDisc.h"
#include "scan/DriveLayer.h"
#include "scan/IsoVolume.h"
#include "scan/VolumeDiscFiles.h"
#include "scan/cDrive.h"
#include "settings/OptionValues.h"
#include "settings/OptionsWord.h"
#include "settings/StringTable.h"
#include "store/DiscOperations.h"
#include "store/DiscSort.h"
#include "store/RecordText.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

namespace vorn {

DiscCataloguing::DiscCataloguing(Form1 &window, Catalogue &catalogue, DataFolderList &folders, DriveLayer &drives,
                                 cDrive &drive, UserPrompt &prompt, AppIcons &icons)
    : QObject(&window), m_window(window), m_catalogue(catalogue), m_folders(folders), m_drives(drives), m_drive(drive),
      m_prompt(prompt), m_icons(icons)
{
}

QChar DiscCataloguing::cataloguingLetter() const
{
    const DiscListEntry *selected = m_window.discList()->selected();
    if (selected && selected->isDrive())
        return selected->letter;
    for (const DiscListEntry &drive : m_window.discList()->drives()) {
        if (drive.state != DriveState::Empty)
            return drive.letter;
    }
    const QString &letters = m_window.discList()->driveLetters();
    return letters.isEmpty() ? QChar() : letters[0];
}

DriveVolumeOpening DiscCataloguing::openSource(QChar letter) const
{
    if (m_image.isEmpty())
        return m_drives.openVolume(letter);
    DriveVolumeOpening opening;
    IsoOpening image = IsoVolume::open(m_image);
    opening.image = std::move(image.volume);
    opening.message = image.message;
    return opening;
}

void DiscCataloguing::catalogueDiscInDrive()
{
    if (m_window.isBusy())
        return;
    m_image.clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QChar letter = cataloguingLetter();
    m_drive.setLetter(QString(letter));
    const QString identifier = m_drive.NumberID().trimmed();
    const QString label = m_drive.volume();
    QApplication::restoreOverrideCursor();
    if (letter.isNull() || identifier.toLongLong() == 0) {
        m_prompt.warn(LoadText(301) + u'\n' + LoadText(302));
        return;
    }
    // A disc of this data folder is re-catalogued in place, keeping its descriptions.
    if (const int position = findDisc(m_catalogue, identifier); position > 0) {
        updateDisc(position, letter);
        return;
    }
    switch (lookInOtherDataFolders(m_catalogue, m_folders, identifier, m_prompt)) {
    case ElsewhereAnswer::Copied:
        m_window.saveCurrentDisc();
        m_window.openDataFolderEntry(m_folders.current());
        m_window.showDisc(identifier, true);
        return;
    case ElsewhereAnswer::Cancelled:
        return;
    case ElsewhereAnswer::NotFound:
    case ElsewhereAnswer::CatalogueAnew:
        break;
    }
    QString proposed = m_window.discList()->givenDriveName(letter);
    if (proposed.isEmpty())
        proposed = label;
    auto *dialog = new FrmArchivage(m_window, letter, identifier, label, proposed);
    dialog->show();
}

void DiscCataloguing::catalogueImage()
{
    if (m_window.isBusy())
        return;
    const QString path = m_prompt.chooseFile(LoadText(933), LoadText(934) + QStringLiteral(" (*.iso *.ISO)"), false);
    if (path.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const IsoOpening image = IsoVolume::open(path);
    QApplication::restoreOverrideCursor();
    if (!image.volume) {
        m_prompt.warn(image.message + u'\n' + QDir::toNativeSeparators(path));
        return;
    }
    m_image = path;
    const QString identifier = QString::number(image.disc.serial);
    // An image already catalogued is updated in place, as its disc would be.
    if (const int position = findDisc(m_catalogue, identifier); position > 0) {
        updateDisc(position, QChar());
        m_image.clear();
        return;
    }
    const QString proposed = image.disc.label.isEmpty() ? QFileInfo(path).completeBaseName() : image.disc.label;
    auto *dialog = new FrmArchivage(m_window, QChar(), identifier, image.disc.label, proposed);
    dialog->show();
}

void DiscCataloguing::readDiscIcon(QChar letter, const QString &identifier)
{
    const DriveVolumeOpening opening = openSource(letter);
    const Volume *volume = opening.walked();
    if (!volume)
        return;
    const QString path = ReadAutorunIcon(VolumeDiscFiles(*volume), identifier, m_catalogue.tempFolder);
    if (path.isEmpty() || m_catalogue.discIcons.contains(identifier))
        return;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        m_catalogue.discIcons.insert(identifier, file.readAll());
}

// A run on the disc in `letter` inside the progress window, with the window's
// controls disabled and the drive watch idle; endRun() gives them back.
void DiscCataloguing::runInProgressWindow(QChar letter,
                                          const std::function<void(const DriveVolumeOpening &, RunObserver &)> &work)
{
    m_window.setBusy(true);
    m_window.setControlsEnabled(false);
    Form2 progress(&m_window);
    progress.show();
    Form2Observer observer(progress, m_prompt);
    work(openSource(letter), observer);
    progress.close();
}

void DiscCataloguing::endRun()
{
    m_window.setBusy(false);
    m_window.setControlsEnabled(true);
    QApplication::restoreOverrideCursor();
}

// Before a run or a re-key: the shown disc's edits are written, its working copies
// deleted and no disc is current.
void DiscCataloguing::leaveShownDisc()
{
    m_window.saveCurrentDisc();
    const QString shownId = m_window.browser()->shown().identifier;
    m_window.browser()->clear();
    if (!shownId.isEmpty())
        deleteWorkingCopies(m_catalogue, shownId);
    m_catalogue.current = 0;
}

bool DiscCataloguing::archiveDisc(const edit::NewDisc &disc, const edit::CaptureSettings &capture,
                                  const FilterTable &filters, QChar letter, bool eject)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    leaveShownDisc();

    EditResult result;
    runInProgressWindow(letter, [&](const DriveVolumeOpening &opening, RunObserver &observer) {
        const Volume *volume = opening.walked();
        result = volume ? edit::catalogueDisc(m_catalogue, disc, capture, filters, *volume, observer)
                        : EditResult::failed(0, opening.message);
    });
    if (eject && !letter.isNull())
        m_drives.ejectTray(letter);
    m_image.clear();
    afterRun(result);
    if (result.ok())
        m_window.showDisc(disc.identifier, true);
    return result.ok();
}

void DiscCataloguing::afterRun(const EditResult &result)
{
    m_icons.forgetDiscIcons();
    m_window.discList()->fill();
    // The keyword list may have grown, and its counts follow the new disc at once.
    m_window.discList()->rebuildFilterMenu();
    m_window.info()->fillKeywords();
    m_window.info()->showCurrentDisc();
    endRun();
    reportEdit(m_prompt, result);
}

void DiscCataloguing::updateSelectedDisc()
{
    if (m_window.isBusy())
        return;
    const int position = m_window.discList()->selectedPosition();
    if (position == 0)
        return;
    for (const DiscListEntry &drive : m_window.discList()->drives()) {
        if (drive.state == DriveState::Catalogued && drive.identifier == m_catalogue.disc(position).identifier) {
            updateDisc(position, drive.letter);
            return;
        }
    }
    m_prompt.warn(LoadText(301) + u'\n' + LoadText(302));
}

void DiscCataloguing::updateDisc(int position, QChar letter)
{
    if (m_prompt.askYesNo(LoadText(622) + u'\n' + LoadText(623)) != UserPrompt::Answer::Yes)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString identifier = m_catalogue.disc(position).identifier;
    leaveShownDisc();

    // The descriptions update takes "TailleMax" with a default of 5 KB.
    const edit::CaptureSettings capture{ReadOptionsWord(), readMaxTextKb(5).clamped() * 1024};
    EditResult result;
    runInProgressWindow(letter, [&](const DriveVolumeOpening &opening, RunObserver &observer) {
        const Volume *volume = opening.walked();
        result = volume ? edit::updateDisc(m_catalogue, position, capture, BuildFilterTable(), *volume, observer)
                        : EditResult::failed(0, opening.message);
    });
    afterRun(result);
    m_window.showDisc(identifier, true);
}

void DiscCataloguing::identifyDiscInDrive()
{
    if (m_window.isBusy())
        return;
    // The selected drive when it holds an unrecognised disc, else the first that does.
    const std::vector<DiscListEntry> drives = m_window.discList()->drives();
    const DiscListEntry *inserted = nullptr;
    const DiscListEntry *selected = m_window.discList()->selected();
    bool anyDisc = false;
    for (const DiscListEntry &drive : drives) {
        anyDisc = anyDisc || drive.state != DriveState::Empty;
        if (drive.state == DriveState::NotCatalogued
            && (!inserted || (selected && selected->isDrive() && selected->letter == drive.letter)))
            inserted = &drive;
    }
    if (!inserted) {
        if (!anyDisc)
            m_prompt.warn(LoadText(301) + u'\n' + LoadText(302));
        return;
    }
    const QString given = m_window.discList()->givenDriveName(inserted->letter);
    auto *picker =
        new FrmListeCD(m_window, inserted->identifier, given.isEmpty() ? inserted->label : given, inserted->label);
    picker->show();
}

bool DiscCataloguing::rekeyDiscToDrive(int position, const QString &identifier)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    leaveShownDisc();
    const EditResult result = edit::rekeyDisc(m_catalogue, position, identifier);
    QApplication::restoreOverrideCursor();
    reportEdit(m_prompt, result);
    m_window.openDataFolderEntry(m_folders.current());
    if (result.ok())
        m_window.showDisc(identifier, true);
    return result.ok();
}

} // namespace vorn
