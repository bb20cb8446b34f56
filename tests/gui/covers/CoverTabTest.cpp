#include "../Form1Fixture.h"

#include "edit/DiscEdits.h"
#include "gui/DiscListPane.h"
#include "gui/TabHost.h"
#include "gui/covers/CoverPanel.h"
#include "gui/covers/ThumbStrip.h"
#include "store/CoverMembers.h"
#include "store/DiscArchive.h"
#include "store/RecordText.h"

#include <QImage>
#include <QPrinter>
#include <QTest>

using namespace vorn;
using CoverTab = test::WindowTest;

namespace {

QString picture(const QTemporaryDir &folder, const char *name)
{
    QImage image(600, 400, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    const QString path = folder.filePath(QString::fromLatin1(name));
    image.save(path, "JPG");
    return path;
}

} // namespace

TEST_F(CoverTab, ChooseCancelSaveSelectByCoverAndDelete)
{
    QTemporaryDir pictures;
    auto *panel = f.child<CoverPanel>("PictJ");
    ASSERT_NE(panel, nullptr);
    f.trigger("mnuSelectJaq");
    EXPECT_EQ(f.prompt.notices.value(0), "Aucune jaquette dans ce dossier !");

    ASSERT_TRUE(f.show("42"));
    EXPECT_EQ(panel->shownDisc(), "42");
    EXPECT_TRUE(panel->picturePath().isEmpty());
    f.prompt.inputs = {pictures.filePath("none.jpg"), picture(pictures, "a.jpg")};
    panel->choosePicture(); // a missing file is refused
    EXPECT_EQ(f.prompt.warnings.size(), 1);
    panel->choosePicture();
    EXPECT_EQ(panel->picturePath(), pictures.filePath("a.jpg"));
    EXPECT_TRUE(panel->sizeLine().startsWith("Taille de l'image : "));
    panel->cancelPicture();
    EXPECT_TRUE(panel->picturePath().isEmpty());
    EXPECT_FALSE(readCoverMembers(f.dataPath() + "42.VORN")->hasCover());

    f.prompt.inputs = {picture(pictures, "b.jpg")};
    panel->choosePicture();
    QTest::mouseClick(panel, Qt::LeftButton, {}, panel->linkRect(CoverPanel::Save).center());
    EXPECT_TRUE(readCoverMembers(f.dataPath() + "42.VORN")->hasCover());
    EXPECT_FALSE(panel->picturePath().isEmpty());

    QTemporaryDir out;
    panel->setPrinterChooser([&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out.filePath("cover.pdf"));
        return true;
    });
    f.prompt.answers = {UserPrompt::Answer::Ok};
    panel->printPicture();
    EXPECT_GT(QFileInfo(out.filePath("cover.pdf")).size(), 1000);

    ASSERT_TRUE(f.show("-7"));
    f.trigger("SelectJaq");
    EXPECT_EQ(f.window->tabs()->currentTab(), TabHost::Cover);
    auto *strip = f.child<ThumbStrip>("FraThumbs");
    ASSERT_EQ(strip->images().size(), 1u);
    ThumbImage *image = f.child<ThumbImage>("img_1");
    EXPECT_EQ(image->toolTip(), "Sample");
    EXPECT_FALSE(image->framed());
    QTest::mouseClick(image, Qt::LeftButton);
    EXPECT_EQ(panel->shownDisc(), "42");
    EXPECT_TRUE(image->framed());
    // A rename reaches the strip's tooltips without building the strip again.
    ASSERT_TRUE(edit::renameDisc(f.window->catalogue(), findDisc(f.window->catalogue(), u"42"), "Renamed").ok());
    f.window->discList()->fill();
    EXPECT_EQ(image->toolTip(), "Renamed");

    f.prompt.answers = {UserPrompt::Answer::Ok};
    QTest::mouseClick(panel, Qt::LeftButton, {}, panel->linkRect(CoverPanel::Delete).center());
    EXPECT_TRUE(panel->picturePath().isEmpty());
    panel->savePicture();
    EXPECT_EQ(readCoverMembers(f.dataPath() + "42.VORN")->pictureSize, 0);
    EXPECT_TRUE(strip->images().empty());
}
