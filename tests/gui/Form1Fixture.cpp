#include "Form1Fixture.h"

#include "common/DayDate.h"
#include "gui/DiscListModel.h"
#include "gui/DiscListPane.h"
#include "settings/StringTable.h"
#include "store/BookmarkFile.h"
#include "store/CapturedTextStore.h"
#include "store/Catalogue.h"
#include "store/KeywordList.h"
#include "store/RecordText.h"
#include "store/TreeFiles.h"

#include <QDateTime>
#include <QDir>

namespace vorn::test {

namespace {

double day(int y, int m, int d)
{
    return dayNumberFromDateTime(QDateTime(QDate(y, m, d), QTime(0, 0)));
}

} // namespace

Form1Fixture::Form1Fixture()
{
    setLanguageOffset(0);
    Catalogue c;
    c.dataFolder = dataPath();
    c.tempFolder = temp.path() + u'/';

    std::vector<FolderRecord> folders(1);
    folders.push_back({"Docs", 0, day(2004, 6, 15), "", 0});
    folders.push_back({"Empty", 0, day(2004, 6, 16), "", 1});
    folders.push_back({"Guides", 1, day(2004, 6, 17), "", 0});
    QByteArray rep = TreeFiles::folderFileHeader();
    for (size_t i = 1; i < folders.size(); ++i)
        TreeFiles::appendFolderLine(rep, folders[i]);

    std::vector<FileRecord> files;
    files.push_back({"TOOLS.ZIP", 0, 470, day(2004, 6, 15), {"", " Fichier(s)  2", ""}, ArchiveAtZero});
    files.push_back({"tool.sh", ArchiveAtZero, 20, day(2004, 6, 1), {"", "", "src"}, 0});
    files.push_back({"README.TXT", ArchiveAtZero, 30, day(2004, 6, 2), {}, 0});
    files.push_back({"readme.txt", 0, 1536, day(2003, 1, 3), {"my notes", "VORN sample", ""}, 1});
    files.push_back({"empty.dat", 0, 0, day(2005, 2, 4), {}, 0});
    files.push_back({"half.bin", 0, 2560, day(2004, 1, 5), {}, 0});
    files.push_back({"INSTALL.TXT", 1, 5000000000LL, day(2004, 6, 4), {}, 0});
    QByteArray fic = TreeFiles::fileListHeader();
    for (const FileRecord &f : files)
        TreeFiles::appendFileLine(fic, f);
    writeFile(c.workingCopy("42", ".rep"), rep);
    writeFile(c.workingCopy("42", ".fic"), fic);

    CapturedTextWriter texts;
    texts.begin(c.workingCopy("42", ".text"));
    texts.append(u"Hello from the readme");
    texts.finish();

    std::vector<BookmarkRecord> bookmarks(1);
    bookmarks.push_back({1, "half.bin", "", 5, "", 0});
    bookmarks.push_back({2, "Guides", "Docs\\", 3, "", 1});
    BookmarkFile::write(c, "42", bookmarks);

    c.keywords = {{}, {"Jazz", 1}, {"Live", 2}, {"Unused", 3}};
    KeywordList::write(c);
    c.fieldNames = {QString(), QStringLiteral("Shelf")};

    DiscRecord disc;
    disc.identifier = "42";
    disc.keywordCodes = "|1|";
    disc.fields = {{"Shelf", "B3"}};
    disc.name = "Sample";
    disc.burnDate = day(2004, 6, 17);
    disc.description = "Line one\r\nLine two";
    c.memberFlags = Member::Rep | Member::Fic | Member::Text | Member::Sig;
    writeRecord(c, disc, 4);

    writeFile(c.workingCopy("-7", ".rep"), TreeFiles::folderFileHeader());
    writeFile(c.workingCopy("-7", ".fic"), TreeFiles::fileListHeader());
    DiscRecord other;
    other.identifier = "-7";
    other.name = "Another";
    other.excluded = 1;
    c.memberFlags = Member::Rep | Member::Fic;
    writeRecord(c, other, 4);
    QDir(temp.path()).removeRecursively();
    QDir().mkpath(temp.path());

    insertDisc(QString());
    layer = std::make_unique<DriveLayer>(std::make_shared<NoOpticalDrives>());
}

Form1Fixture::~Form1Fixture()
{
    closeWindow();
    qunsetenv("VORN_DRIVES");
}

void Form1Fixture::insertDisc(const QString &serial)
{
    const QString folder = driveFolder();
    QDir(folder).removeRecursively();
    if (!serial.isEmpty()) {
        writeFile(folder + QStringLiteral("/.vorn-volume"), ("label=DISC\nserial=" + serial + "\n").toUtf8());
        writeFile(folder + QStringLiteral("/file.txt"), serial.toUtf8());
    }
    qputenv("VORN_DRIVES", ("V=" + folder).toUtf8());
}

Form1 *Form1Fixture::start()
{
    closeWindow();
    layer->findDrives();
    Form1Setup setup;
    setup.drives = layer.get();
    setup.prompt = &prompt;
    setup.defaultDataFolder = data.path();
    setup.tempBase = temp.path();
    setup.launcher = &launcher;
    window = std::make_unique<Form1>(setup);
    if (!window->startUp()) {
        window.reset();
        return nullptr;
    }
    window->show();
    return window.get();
}

void Form1Fixture::closeWindow()
{
    if (window) {
        window->close();
        window.reset();
    }
}

int Form1Fixture::rowOfText(const QString &text) const
{
    return int(rowTexts().indexOf(text));
}

QStringList Form1Fixture::rowTexts() const
{
    QStringList texts;
    for (const DiscListEntry &entry : window->discModel()->entries())
        texts << entry.text;
    return texts;
}

bool Form1Fixture::show(const QString &identifier) const
{
    return window->showDisc(identifier);
}

void Form1Fixture::select(int row) const
{
    window->discList()->selectRow(row);
}

void Form1Fixture::trigger(const char *actionName) const
{
    QAction *action = child<QAction>(actionName);
    ASSERT_NE(action, nullptr) << actionName;
    action->trigger();
}

} // namespace vorn::test
