#include "Form1Fixture.h"
#include "scan/FakeDriveSystem.h"
#include "scan/IsoVolume.h"
#include "scan/ScanFixtures.h"

#include "gui/DiscListModel.h"
#include "gui/DiscListPane.h"
#include "gui/Form2.h"
#include "gui/FrmArchivage.h"
#include "gui/FrmListeCD.h"
#include "settings/OptionsWord.h"
#include "settings/SettingsStore.h"
#include "settings/StringTable.h"
#include "store/DiscArchive.h"
#include "store/IconStore.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace vorn;
using test::Form1Fixture;
using Answer = UserPrompt::Answer;

namespace {

const QString kNewId = QStringLiteral("555");

// A disc for the virtual drive: a text file at the root, a folder with a readme whose
// first line becomes a description, a ZIP archive of two members and an autorun icon.
void fillDisc(Form1Fixture &f, const QString &serial)
{
    f.insertDisc(serial);
    const QString root = f.drive.path() + QStringLiteral("/V/");
    test::writeFile(root + "Docs/readme.txt", "Welcome aboard\r\nsecond line\r\n");
    test::writeFile(root + "Docs/Deep/notes.txt", "deep notes");
    test::writeFile(root + "a.txt", "alpha");
    test::writeFile(root + "b.txt", "beta");
    QTemporaryDir members;
    test::writeFile(members.filePath("inside.txt"), "zipped text");
    test::writeFile(members.filePath("tool.bin"), "binary");
    DiscArchive::packFiles({members.filePath("inside.txt"), members.filePath("tool.bin")}, root + "TOOLS.ZIP",
                           QString());
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    icon.save(root + "disc.ico", "ICO");
    test::writeFile(root + "Autorun.inf", "[autorun]\r\nicon=disc.ico\r\n");
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <typename Window>
Window *shown(Form1 *w)
{
    flushDeletes();
    for (Window *window : w->findChildren<Window *>()) {
        if (window->isVisible())
            return window;
    }
    return nullptr;
}

FrmArchivage *openDialog(Form1 *w)
{
    flushDeletes();
    w->findChild<QAction *>(QStringLiteral("MnuArchiver"))->trigger();
    return shown<FrmArchivage>(w);
}

template <typename T>
T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromUtf8(name));
}

void archive(FrmArchivage *dialog, const QString &name)
{
    child<QLineEdit>(dialog, "TxtNomCD")->setText(name);
    child<QPushButton>(dialog, "Bt1_0")->click();
}

struct Tree
{
    std::vector<FolderRecord> folders;
    std::vector<FileRecord> files;
    const FileRecord *file(const QString &name) const
    {
        for (const FileRecord &f : files) {
            if (f.name == name)
                return &f;
        }
        return nullptr;
    }
    int members(const QString &archiveName) const
    {
        const FileRecord *archive = file(archiveName);
        int count = 0;
        for (const FileRecord &f : files)
            count += archive && archive->link < 0 && f.owner == archive->link;
        return count;
    }
};

// The tree files of a disc archive, read without touching the window's working copies.
Tree readTree(const Form1Fixture &f, const QString &identifier)
{
    QTemporaryDir out;
    DiscArchive::unpackArchive(f.dataPath() + identifier + ".VORN", ".rep;.fic;", out.path() + u'/');
    Tree tree;
    tree.folders = TreeFiles::readFolderFile(out.filePath(identifier + ".rep")).value_or(std::vector<FolderRecord>{});
    tree.files = TreeFiles::readFileList(out.filePath(identifier + ".fic")).value_or(std::vector<FileRecord>{});
    return tree;
}

QStringList discNames(Form1 *w)
{
    QStringList names;
    for (int i = 1; i <= w->catalogue().discCount(); ++i)
        names << w->catalogue().disc(i).name;
    return names;
}

// A started window with a new disc in the drive.
class Cataloguing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fillDisc(f, kNewId);
        w = f.start();
        ASSERT_NE(w, nullptr);
    }

    Form1Fixture f;
    Form1 *w = nullptr;
};

} // namespace

TEST_F(Cataloguing, DefaultsCatalogueTheDiscWithItsKeywordsAndIcon)
{
    // The fixture's keywords: Jazz 1, Live 2, Unused 3.
    FrmArchivage *dialog = openDialog(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(child<QLineEdit>(dialog, "TxtNomCD")->text(), "DISC");
    auto *icons = child<QComboBox>(dialog, "IC1");
    EXPECT_EQ(icons->itemData(0).toString(), "CD");
    EXPECT_EQ(icons->currentData().toString(), "I" + kNewId);
    EXPECT_FALSE(dialog->optionsShown());
    child<QPushButton>(dialog, "Bt1_2")->click();
    EXPECT_TRUE(dialog->optionsShown());
    EXPECT_EQ(child<QPushButton>(dialog, "Bt1_2")->text(), LoadText(460));
    dialog->mnuMCClick(1);
    dialog->mnuMCClick(2);
    dialog->mnuMCClick(1);
    child<QCheckBox>(dialog, "CheckExclu")->setChecked(true);
    archive(dialog, "  New disc ");

    EXPECT_FALSE(dialog->isVisible());
    const int position = findDisc(w->catalogue(), kNewId);
    ASSERT_GT(position, 0);
    const DiscRecord &disc = w->catalogue().disc(position);
    EXPECT_EQ(disc.name, "New disc");
    EXPECT_EQ(disc.keywordCodes, "|2|");
    EXPECT_EQ(disc.volumeLabel, "DISC");
    EXPECT_EQ(disc.excluded, 1);
    EXPECT_EQ(discNames(w), QStringList({"Another", "New disc", "Sample"}));
    EXPECT_EQ(w->catalogue().current, position);
    EXPECT_TRUE(w->centralWidget()->isEnabled());
    EXPECT_TRUE(f.prompt.notices.isEmpty()) << f.prompt.notices.join('|').toStdString();
    // The keyword list counts the new disc at once.
    EXPECT_EQ(f.child<QListWidget>("ListMC")->item(1)->text(), "Live (1)");

    const int row = f.rowOfText(QStringLiteral("V:\\[New disc]"));
    ASSERT_GE(row, 0);
    EXPECT_FALSE(w->discModel()->entry(row).icon.isNull());
    EXPECT_TRUE(w->catalogue().discIcons.contains(kNewId));
    Catalogue stored;
    stored.dataFolder = f.dataPath();
    stored.tempFolder = f.temp.path() + u'/';
    IconStore::load(stored);
    EXPECT_TRUE(stored.discIcons.contains(kNewId));

    const Tree tree = readTree(f, kNewId);
    ASSERT_EQ(tree.folders.size(), 3u);
    EXPECT_EQ(tree.folders[1].name, "Docs");
    EXPECT_EQ(tree.folders[2].name, "Deep");
    const FileRecord *readme = tree.file("readme.txt");
    ASSERT_NE(readme, nullptr);
    EXPECT_GT(readme->link, 0);
    EXPECT_EQ(readme->descriptions.automatic, "Welcome aboard");
    EXPECT_EQ(tree.members("TOOLS.ZIP"), 2);
    EXPECT_GT(tree.file("inside.txt")->link, 0);
    const auto reading = readRecord(f.dataPath() + kNewId + ".VORN", kNewId);
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->keywordNames, "Live;");
}

TEST_F(Cataloguing, WithEveryCaptureOptionOffOnlyNamesSizesAndDatesAreKept)
{
    // A stock icon of the icon folder is offered after "CD" and stored as its key.
    QImage star(16, 16, QImage::Format_ARGB32);
    star.fill(Qt::yellow);
    const QString starPath = f.temp.path() + QStringLiteral("/Star.png");
    ASSERT_TRUE(star.save(starPath));
    ASSERT_TRUE(w->icons().addIconFile(QStringLiteral("KStar"), starPath));
    FrmArchivage *dialog = openDialog(w);
    ASSERT_NE(dialog, nullptr);
    auto *icons = child<QComboBox>(dialog, "IC1");
    ASSERT_GE(icons->count(), 2);
    EXPECT_EQ(icons->itemData(1).toString(), "KStar");
    EXPECT_EQ(icons->itemText(1), "Star");
    icons->setCurrentIndex(1);
    for (const char *name : {"ChkTxt", "ChK1Ligne", "ChKTxtDsZip_1", "ChKZip_1", "ChKZip_4", "ChKZip_8", "ChkEject"})
        child<QCheckBox>(dialog, name)->setChecked(false);
    EXPECT_EQ(dialog->requestOptions(), 0);
    // Without text capture the size and first-line boxes and the text patterns are off.
    EXPECT_FALSE(child<QLineEdit>(dialog, "TxtTaillemax")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>(dialog, "ChK1Ligne")->isEnabled());
    EXPECT_FALSE(child<QComboBox>(dialog, "Combo1")->isEnabled());
    archive(dialog, "Bare");

    const Tree tree = readTree(f, kNewId);
    ASSERT_NE(tree.file("readme.txt"), nullptr);
    EXPECT_EQ(tree.file("readme.txt")->link, 0);
    EXPECT_TRUE(tree.file("readme.txt")->descriptions.automatic.isEmpty());
    EXPECT_EQ(tree.file("TOOLS.ZIP")->link, 0);
    EXPECT_EQ(tree.file("inside.txt"), nullptr);
    EXPECT_EQ(tree.files.size(), 8u);
    EXPECT_EQ(w->catalogue().disc(findDisc(w->catalogue(), kNewId)).icon, "KStar");
}

TEST_F(Cataloguing, SavedDefaultsWithAnEmptyZipListCaptureNoMembers)
{
    WriteOptionsWord(DefaultOptionsWord | Opt::SearchLatestOnly);
    w = f.start();
    ASSERT_NE(w, nullptr);
    FrmArchivage *dialog = openDialog(w);
    ASSERT_NE(dialog, nullptr);
    auto *tabs = child<QTabBar>(dialog, "TabStrip1");
    auto *combo = child<QComboBox>(dialog, "Combo1");
    tabs->setCurrentIndex(1);
    EXPECT_EQ(combo->count(), 2);   // *.ZIP and *.EXE
    // Removed and typed again: once in the list, twice in the table (once empty).
    combo->setCurrentIndex(1);
    child<QPushButton>(dialog, "BtAjoutFiltre_1")->click();
    combo->setEditText(QStringLiteral("*.EXE"));
    child<QPushButton>(dialog, "BtAjoutFiltre_0")->click();
    combo->setEditText(QStringLiteral("*.exe"));
    child<QPushButton>(dialog, "BtAjoutFiltre_0")->click();
    EXPECT_EQ(combo->count(), 2);
    int exe = 0;
    int empty = 0;
    for (qsizetype i = 1; i < dialog->filters().size(); ++i) {
        exe += dialog->filters().pattern(i) == QLatin1String("*.EXE");
        empty += dialog->filters().pattern(i).isEmpty();
    }
    EXPECT_EQ(exe, 1);
    EXPECT_EQ(empty, 1);
    while (combo->count() > 0) {
        combo->setCurrentIndex(0);
        child<QPushButton>(dialog, "BtAjoutFiltre_1")->click();
    }
    child<QCheckBox>(dialog, "ChkEject")->setChecked(false);
    child<QLineEdit>(dialog, "TxtTaillemax")->setText(QStringLiteral("3"));
    child<QPushButton>(dialog, "BtDéfaut")->click();
    EXPECT_EQ(Settings::read("Opt", "FiltresZip", "unset"), "");
    EXPECT_EQ(Settings::read("Opt", "FiltresCab", "unset"), "*.CAB;");
    EXPECT_EQ(Settings::read("Opt", "TailleMax"), "3");
    EXPECT_EQ(ReadOptionsWord(), (DefaultOptionsWord | Opt::SearchLatestOnly) & ~Opt::EjectAfterCataloguing);
    child<QPushButton>(dialog, "Bt1_1")->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(findDisc(w->catalogue(), kNewId), 0);

    dialog = openDialog(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(child<QCheckBox>(dialog, "ChKZip_1")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dialog, "ChkEject")->isChecked());
    EXPECT_EQ(child<QLineEdit>(dialog, "TxtTaillemax")->text(), "3");
    archive(dialog, "No members");
    const Tree tree = readTree(f, kNewId);
    ASSERT_NE(tree.file("TOOLS.ZIP"), nullptr);
    EXPECT_EQ(tree.members("TOOLS.ZIP"), 0);
    EXPECT_EQ(tree.file("inside.txt"), nullptr);
}

TEST(CataloguingCancel, CancelAndAVanishedDiscLeaveTheDiscArrayAsBefore)
{
    struct Case
    {
        const char *name;
        bool removeDisc;                  // else the cancel button is pressed
        std::deque<Answer> answers;
        int retryQuestions;
    };
    const Case cases[] = {
        {"cancel button", false, {}, 0},
        {"disc removed, retry then cancel", true, {Answer::Yes, Answer::Cancel}, 2},
    };
    for (const Case &c : cases) {
        Form1Fixture f;
        fillDisc(f, kNewId);
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr) << c.name;
        const QStringList before = discNames(w);
        FrmArchivage *dialog = openDialog(w);
        ASSERT_NE(dialog, nullptr) << c.name;
        f.prompt.answers = c.answers;
        bool mainDisabled = false;
        // Runs at the run's first yield.
        QTimer::singleShot(0, w, [&] {
            mainDisabled = !w->centralWidget()->isEnabled() && !w->menuBar()->isEnabled();
            if (c.removeDisc)
                QDir(f.drive.path() + QStringLiteral("/V")).removeRecursively();
            else if (Form2 *progress = shown<Form2>(w))
                child<QPushButton>(progress, "Command1")->click();
        });
        archive(dialog, QStringLiteral("Interrupted"));
        EXPECT_TRUE(mainDisabled) << c.name;
        EXPECT_EQ(discNames(w), before) << c.name;
        EXPECT_EQ(f.prompt.questions.filter(LoadText(303)).size(), c.retryQuestions) << c.name;
        EXPECT_FALSE(QFile::exists(f.dataPath() + kNewId + ".VORN")) << c.name;
        EXPECT_TRUE(QDir(w->catalogue().tempFolder).entryList({kNewId + ".*"}, QDir::Files).isEmpty()) << c.name;
        EXPECT_TRUE(w->centralWidget()->isEnabled()) << c.name;
        EXPECT_EQ(shown<Form2>(w), nullptr) << c.name;
    }
}

TEST(CataloguingEject, EjectOptionOpensTheTrayOfTheCataloguedDrive)
{
    for (const bool eject : {true, false}) {
        Form1Fixture f;
        fillDisc(f, kNewId);
        auto system = std::make_shared<test::FakeDriveSystem>();
        system->devices = {QStringLiteral("/dev/sr0")};
        system->insert(QStringLiteral("/dev/sr0"), test::isoDisc("OPTICAL"));
        system->mounts = "/dev/sr0 " + f.drive.path().toUtf8() + "/V iso9660 ro 0 0\n";
        f.insertDisc(QString());
        fillDisc(f, kNewId);
        qunsetenv("VORN_DRIVES");
        f.layer = std::make_unique<DriveLayer>(system);
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);
        const auto volume = f.layer->volume(u'D');
        ASSERT_TRUE(volume.has_value());
        const QString id = QString::number(volume->serial);
        FrmArchivage *dialog = openDialog(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(child<QLineEdit>(dialog, "TxtNomCD")->text(), "OPTICAL");
        child<QCheckBox>(dialog, "ChkEject")->setChecked(eject);
        archive(dialog, QStringLiteral("Optical"));
        EXPECT_GT(findDisc(w->catalogue(), id), 0);
        EXPECT_EQ(system->calls.contains(QStringLiteral("eject /dev/sr0")), eject);
    }
}

TEST_F(Cataloguing, NamesAndSizesTheDialogRefuses)
{
    struct Case
    {
        const char *name;
        const char *maxKb;
        int message;    // 0: nothing said
    };
    const Case cases[] = {
        {"   ", "10", 0},
        {"sample", "10", 344},
        {"ANOTHER", "10", 344},
        {"Fresh", "1025", 519},
        {"Fresh", "-1", 519},
    };
    FrmArchivage *dialog = openDialog(w);
    ASSERT_NE(dialog, nullptr);
    for (const Case &c : cases) {
        f.prompt.notices.clear();
        child<QLineEdit>(dialog, "TxtTaillemax")->setText(QString::fromLatin1(c.maxKb));
        archive(dialog, QString::fromLatin1(c.name));
        EXPECT_TRUE(dialog->isVisible()) << c.name;
        EXPECT_EQ(w->catalogue().discCount(), 2) << c.name;
        EXPECT_EQ(f.prompt.notices, c.message ? QStringList{LoadText(c.message)} : QStringList()) << c.name;
    }
    child<QLineEdit>(dialog, "TxtTaillemax")->setText(QStringLiteral("1024"));
    archive(dialog, QStringLiteral("Fresh"));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(w->catalogue().discCount(), 3);
}

TEST(CataloguingRefusal, NoDiscInTheDriveIsRefused)
{
    Form1Fixture f;
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(openDialog(w), nullptr);
    EXPECT_EQ(f.prompt.warnings, QStringList{LoadText(301) + u'\n' + LoadText(302)});
}

TEST(CataloguingElsewhere, ADiscOfAnotherDataFolderIsCopiedOrCataloguedAnew)
{
    struct Case
    {
        Answer answer;
        bool dialogOpens;
        bool copied;
    };
    for (const Case &c : {Case{Answer::Yes, false, true}, Case{Answer::No, true, false},
                          Case{Answer::Cancel, false, false}}) {
        Form1Fixture f;
        fillDisc(f, kNewId);
        QTemporaryDir other;
        Catalogue elsewhere;
        elsewhere.dataFolder = other.path() + u'/';
        elsewhere.tempFolder = other.path() + QStringLiteral("/tmp/");
        test::writeFile(elsewhere.workingCopy(kNewId, ".rep"), TreeFiles::folderFileHeader());
        DiscRecord record;
        record.identifier = kNewId;
        record.name = QStringLiteral("Elsewhere");
        elsewhere.memberFlags = Member::Rep;
        ASSERT_TRUE(writeRecord(elsewhere, record, 4));
        Settings::write("DataDirs", "1", f.dataPath());
        Settings::write("DataDirs", "2", elsewhere.dataFolder);
        Settings::write("DataDirs", "Charge", "1");
        Form1 *w = f.start();
        ASSERT_NE(w, nullptr);

        f.prompt.answers = {c.answer};
        FrmArchivage *dialog = openDialog(w);
        ASSERT_EQ(f.prompt.questions.size(), 1);
        EXPECT_EQ(f.prompt.questions[0], LoadText(603) + u'\n' + elsewhere.dataFolder + u'\n' + LoadText(605)
                                             + "Elsewhere\n" + LoadText(604));
        EXPECT_EQ(dialog != nullptr, c.dialogOpens);
        EXPECT_EQ(QFile::exists(f.dataPath() + kNewId + ".VORN"), c.copied);
        EXPECT_EQ(f.rowOfText(QStringLiteral("V:\\[Elsewhere]")) >= 0, c.copied);
        EXPECT_TRUE(QFile::exists(elsewhere.archivePath(kNewId)));
    }
}

TEST_F(Cataloguing, UpdateKeepsTheDescriptionsTheUserTyped)
{
    archive(openDialog(w), QStringLiteral("Changing"));
    ASSERT_GT(findDisc(w->catalogue(), kNewId), 0);

    // The user describes a folder and a file.
    {
        Tree tree = readTree(f, kNewId);
        Catalogue edit;
        edit.dataFolder = f.dataPath();
        QTemporaryDir work;
        edit.tempFolder = work.path() + u'/';
        DiscTree disc;
        disc.folders.assign(1, FolderRecord());
        disc.folders.insert(disc.folders.end(), tree.folders.begin() + 1, tree.folders.end());
        disc.files = tree.files;
        for (FolderRecord &folder : disc.folders)
            if (folder.name == "Deep")
                folder.description = QStringLiteral("deep folder");
        for (FileRecord &file : disc.files)
            if (file.name == "a.txt")
                file.descriptions.user = QStringLiteral("my alpha");
        ASSERT_TRUE(TreeFiles::rewriteFolderFile(edit, kNewId, disc));
        ASSERT_TRUE(TreeFiles::rewriteFileList(edit, kNewId, disc));
        edit.memberFlags = Member::Rep | Member::Fic;
        ASSERT_TRUE(writeRecord(edit, w->catalogue().disc(findDisc(w->catalogue(), kNewId)), 4));
    }
    // The disc changes: a new file, one gone.
    const QString root = f.drive.path() + QStringLiteral("/V/");
    test::writeFile(root + "Docs/Deep/added.txt", "added");
    QFile::remove(root + "b.txt");

    f.prompt.answers = {Answer::No};
    f.trigger("mnuMiseAJour");
    ASSERT_EQ(f.prompt.questions.size(), 1);
    EXPECT_EQ(f.prompt.questions[0], LoadText(622) + u'\n' + LoadText(623));
    EXPECT_EQ(readTree(f, kNewId).file("added.txt"), nullptr);

    f.prompt.answers = {Answer::Yes};
    f.trigger("MAJ");
    const Tree tree = readTree(f, kNewId);
    EXPECT_NE(tree.file("added.txt"), nullptr);
    EXPECT_EQ(tree.file("b.txt"), nullptr);
    ASSERT_NE(tree.file("a.txt"), nullptr);
    EXPECT_EQ(tree.file("a.txt")->descriptions.user, "my alpha");
    bool kept = false;
    for (const FolderRecord &folder : tree.folders)
        kept = kept || (folder.name == "Deep" && folder.description == "deep folder");
    EXPECT_TRUE(kept);
    EXPECT_EQ(w->catalogue().disc(findDisc(w->catalogue(), kNewId)).name, "Changing");
    EXPECT_TRUE(w->centralWidget()->isEnabled());
    EXPECT_TRUE(f.prompt.failures.isEmpty());
}

TEST(DiscPicker, MovesADiscToTheIdentifierInTheDrive)
{
    Form1Fixture f;
    f.insertDisc(QStringLiteral("99"));
    Form1 *w = f.start();
    ASSERT_NE(w, nullptr);
    ASSERT_GE(f.rowOfText(QStringLiteral("V:\\") + LoadText(91)), 0);
    f.prompt.inputs.push_back("Holiday");
    w->discList()->nameDriveDisc(0);

    for (const Answer answer : {Answer::Cancel, Answer::Ok}) {
        flushDeletes();
        f.trigger("MnuIdentManuelle");
        FrmListeCD *picker = shown<FrmListeCD>(w);
        ASSERT_NE(picker, nullptr);
        QString caption = LoadText(625);
        caption.chop(3);
        EXPECT_EQ(picker->windowTitle(), caption);
        auto *list = child<QListWidget>(picker, "LVEx");
        auto *ok = child<QPushButton>(picker, "Command1");
        // Focus alone makes an item current; only a click picks a disc.
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(list, &focus);
        ASSERT_NE(list->currentItem(), nullptr);
        EXPECT_FALSE(ok->isEnabled());
        const QList<QListWidgetItem *> items = list->findItems(QStringLiteral("Sample"), Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items[0]).center());
        EXPECT_TRUE(ok->isEnabled());
        f.prompt.answers = {answer};
        f.prompt.questions.clear();
        ok->click();
        EXPECT_EQ(f.prompt.questions, QStringList{"Associer le CD Holiday (vol:[DISC]) à l'archive : Sample ?"});
        if (answer == Answer::Cancel) {
            EXPECT_TRUE(picker->isVisible());
            EXPECT_TRUE(QFile::exists(f.dataPath() + "42.VORN"));
            picker->close();
        }
    }
    EXPECT_FALSE(QFile::exists(f.dataPath() + "42.VORN"));
    EXPECT_TRUE(QFile::exists(f.dataPath() + "99.VORN"));
    EXPECT_GE(f.rowOfText(QStringLiteral("V:\\[Sample]")), 0);
    EXPECT_TRUE(f.prompt.failures.isEmpty()) << f.prompt.failures.join(u'|').toStdString();
    EXPECT_EQ(findDisc(w->catalogue(), u"99"), w->catalogue().current);
    EXPECT_GT(w->catalogue().current, 0);
    EXPECT_EQ(f.rowOfText(QStringLiteral("Sample")), -1);

    // Recognised again after the data folder is opened anew.
    f.start();
    EXPECT_GE(f.rowOfText(QStringLiteral("V:\\[Sample]")), 0);
}

TEST(ProgressWindow, ShowsTheLatestTextOnItsOwnTick)
{
    test::IsolatedSettings settings;
    setLanguageOffset(0);
    Form2 progress;
    progress.show();
    test::ScriptedPrompt prompt;
    Form2Observer observer(progress, prompt);
    const QString longPath = QStringLiteral("\\") + QString(40, u'a') + QStringLiteral("\\middle\\")
        + QString(40, u'z') + QStringLiteral("\\end");
    const QString text = LoadText(352) + longPath + u'\n' + LoadText(350) + "3\n" + LoadText(351) + "12";
    observer.progress(text);
    auto *label1 = child<QLabel>(&progress, "Label1");
    auto *label2 = child<QLabel>(&progress, "Label2");
    EXPECT_TRUE(label1->text().isEmpty());   // nothing painted by the run's own call
    QTest::qWait(Form2::kPaintMs * 2);
    EXPECT_TRUE(label1->text().startsWith(LoadText(352)));
    EXPECT_TRUE(label1->text().contains(QChar(0x2026)));
    EXPECT_TRUE(label1->text().endsWith(QStringLiteral("end")));
    EXPECT_LE(label1->fontMetrics().horizontalAdvance(label1->text()), label1->width());
    EXPECT_EQ(progress.shownPath(), longPath);
    EXPECT_EQ(label2->text(), LoadText(350) + "3\n" + LoadText(351) + "12");

    EXPECT_FALSE(observer.cancelled());
    child<QPushButton>(&progress, "Command1")->click();
    observer.clearCancel();   // a run starting now would clear the flag
    observer.yield();
    EXPECT_TRUE(observer.cancelled());
    EXPECT_EQ(label1->text(), LoadText(356));
}

TEST_F(Cataloguing, ARecordThatCannotBeWrittenIsReported)
{
    // A folder where the disc archive should go makes the write fail.
    ASSERT_TRUE(QDir().mkpath(f.dataPath() + kNewId + ".VORN/blocked"));
    archive(openDialog(w), QStringLiteral("Unwritable"));
    ASSERT_EQ(f.prompt.failures.size(), 1);
    EXPECT_TRUE(f.prompt.failures[0].startsWith(LoadText(441) + u'\n' + f.dataPath() + kNewId + ".VORN"));
    // Nothing is left of the disc: neither its record nor its working copies.
    EXPECT_EQ(findDisc(w->catalogue(), kNewId), 0);
    EXPECT_TRUE(QDir(w->catalogue().tempFolder).entryList({kNewId + ".*"}, QDir::Files).isEmpty());
    EXPECT_TRUE(w->centralWidget()->isEnabled());
}

TEST_F(Cataloguing, AnImageFileCataloguesAsItsDiscWithItsIcon)
{
    if (!test::hasGenisoimage())
        GTEST_SKIP() << "genisoimage is not installed";
    QTemporaryDir images;
    const QString image = images.filePath("disc.iso");
    ASSERT_TRUE(test::makeIsoImage(f.drive.path() + "/V", image, {"-J", "-R", "-V", "PHOTOS"}));
    const QString id = QString::number(IsoVolume::open(image).disc.serial);
    test::writeFile(images.filePath("bad.iso"), "not an image");
    f.prompt.inputs = {images.filePath("bad.iso"), image};
    QAction *entry = w->findChild<QAction *>(QStringLiteral("mnuArchiverImage"));
    entry->trigger();
    ASSERT_EQ(f.prompt.warnings.size(), 1);
    EXPECT_TRUE(f.prompt.warnings[0].startsWith(LoadText(930))) << f.prompt.warnings[0].toStdString();
    EXPECT_EQ(shown<FrmArchivage>(w), nullptr);

    entry->trigger();
    FrmArchivage *dialog = shown<FrmArchivage>(w);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(child<QLineEdit>(dialog, "TxtNomCD")->text(), "PHOTOS");
    EXPECT_TRUE(child<QCheckBox>(dialog, "ChkEject")->isHidden());
    EXPECT_EQ(child<QComboBox>(dialog, "IC1")->currentData().toString(), "I" + id);   // the image's own icon
    archive(dialog, "Photos");
    const int position = findDisc(w->catalogue(), id);
    ASSERT_GT(position, 0);
    EXPECT_EQ(w->catalogue().disc(position).volumeLabel, "PHOTOS");
    const Tree tree = readTree(f, id);
    ASSERT_NE(tree.file("readme.txt"), nullptr);
    EXPECT_EQ(tree.file("readme.txt")->descriptions.automatic, "Welcome aboard");
    EXPECT_EQ(tree.members("TOOLS.ZIP"), 2);
    Catalogue stored;
    stored.dataFolder = f.dataPath();
    stored.tempFolder = f.temp.path() + u'/';
    IconStore::load(stored);
    EXPECT_TRUE(stored.discIcons.contains(id));
}
