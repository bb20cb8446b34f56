#include "EditFixture.h"

#include "edit/CoverEdits.h"
#include "store/CoverMembers.h"
#include "store/CoverPicture.h"
#include "store/DiscArchive.h"

#include <QBuffer>
#include <QImage>

using namespace vorn;
using EditFixture = test::EditFixture;

namespace {

QByteArray picture(const char *format, QSize size = {40, 30})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A 1 x 1 GIF (Qt reads GIF but does not write it).
const QByteArray TinyGif = QByteArray::fromHex("47494638396101000100800000000000ffffff21f90401000000002c000000000100010000020144003b");

struct CoverFixture : EditFixture
{
    QTemporaryDir pictures;
    QString put(const QString &name, const QByteArray &bytes)
    {
        const QString path = pictures.filePath(name);
        EXPECT_TRUE(test::writeFile(path, bytes));
        return path;
    }
    CoverMembers members(const QString &id)
    {
        return readCoverMembers(catalogue.archivePath(id)).value_or(CoverMembers{});
    }
};

} // namespace

TEST_F(CoverFixture, CoverAndThumbnailAreStoredTogetherAndDeletedToEmptyMembers)
{
    open();
    ASSERT_TRUE(catalogueDisc("5", "Photos").ok());
    const QString comment = DiscArchive::readComment(catalogue.archivePath("5"));
    for (const QByteArray &bytes : {picture("JPG"), picture("BMP"), TinyGif, picture("PNG")}) {
        ASSERT_TRUE(edit::setCover(catalogue, 1, put("cover", bytes)).ok());
        EXPECT_EQ(DiscArchive::readMember(catalogue.archivePath("5"), "5.img1"), bytes);
        QImage thumbnail;
        ASSERT_TRUE(thumbnail.loadFromData(members("5").thumbnail, "BMP"));
        EXPECT_EQ(thumbnail.size(), QSize(67, 67));
    }
    EXPECT_EQ(DiscArchive::readComment(catalogue.archivePath("5")), comment);
    EXPECT_FALSE(edit::coverWorkingCopy(catalogue, "5").isEmpty());
    EXPECT_TRUE(edit::anyCover(catalogue));

    ASSERT_TRUE(edit::deleteCover(catalogue, 1).ok());
    EXPECT_EQ(members("5").pictureSize, 0);
    EXPECT_EQ(members("5").thumbnailSize, 0);
    EXPECT_TRUE(edit::coverWorkingCopy(catalogue, "5").isEmpty());
    EXPECT_FALSE(edit::anyCover(catalogue));
    EXPECT_EQ(Cover::sizeText(2560), "Taille de l'image : 2 Ko");
}

TEST_F(CoverFixture, BadPicturesAreRefusedBeforeAnythingIsStored)
{
    open();
    ASSERT_TRUE(catalogueDisc("5", "Photos").ok());
    const QByteArray before = test::readFile(catalogue.archivePath("5"));
    const QByteArray jpeg = picture("JPG", {400, 300});
    const QByteArray png = picture("PNG");
    const QByteArray bmp = picture("BMP");
    QFile large(pictures.filePath("large.jpg"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.write(jpeg) == jpeg.size()
                && large.resize(Cover::MaxPictureBytes + 1));
    large.close();
    struct Case { QString path; int message; };
    const Case cases[] = {
        {put("notes.jpg", "just some text, no picture at all"), 812},
        {put("cut.jpg", jpeg.left(jpeg.size() / 2)), 813},
        {put("cut.png", png.left(png.size() - 20)), 813},
        {put("cut.bmp", bmp.left(bmp.size() - 100)), 813},
        {put("cut.gif", TinyGif.chopped(1)), 813},
        {large.fileName(), 814},
        {pictures.filePath("missing.jpg"), 815},
    };
    for (const Case &c : cases) {
        const EditResult result = edit::setCover(catalogue, 1, c.path);
        EXPECT_EQ(result.outcome, EditResult::Outcome::Refused) << c.path.toStdString();
        EXPECT_EQ(result.message, c.message) << c.path.toStdString();
    }
    EXPECT_EQ(test::readFile(catalogue.archivePath("5")), before);
}

TEST_F(CoverFixture, StripMakesMissingThumbnailsAndFollowsTheKeywordFilter)
{
    open();
    ASSERT_TRUE(catalogueDisc("5", "Photos", {"Jazz"}).ok());
    ASSERT_TRUE(catalogueDisc("6", "Music").ok());
    ASSERT_TRUE(catalogueDisc("7", "Empty").ok());
    ASSERT_TRUE(catalogueDisc("8", "Broken").ok());
    // Disc 6 has only its picture; disc 8 a picture that no longer reads.
    ASSERT_TRUE(edit::setCover(catalogue, findDisc(catalogue, u"5"), put("a.png", picture("PNG"))).ok());
    const QString comment = DiscArchive::readComment(catalogue.archivePath("6"));
    ASSERT_TRUE(test::writeFile(catalogue.workingCopy("6", ".img1"), picture("JPG")));
    ASSERT_TRUE(DiscArchive::pack(catalogue, "6", Member::Img1, comment, 4));
    ASSERT_TRUE(test::writeFile(catalogue.workingCopy("8", ".img1"), "garbage"));
    ASSERT_TRUE(DiscArchive::pack(catalogue, "8", Member::Img1, DiscArchive::readComment(catalogue.archivePath("8")), 4));
    ASSERT_EQ(members("6").thumbnailSize, -1);

    test::RecordingObserver building;
    const std::vector<edit::DiscThumbnail> strip = edit::collectThumbnails(catalogue, building);
    QStringList ids;
    for (const edit::DiscThumbnail &thumbnail : strip)
        ids << thumbnail.identifier;
    EXPECT_EQ(ids, QStringList({"6", "5"})); // disc-array order: Music, Photos
    EXPECT_GT(members("6").thumbnailSize, 0);
    EXPECT_EQ(DiscArchive::readComment(catalogue.archivePath("6")), comment);
    EXPECT_EQ(building.yields, 4);

    const int jazz = 1;
    struct Case { int filter; QStringList visible; };
    const Case cases[] = {{0, {"6", "5"}}, {jazz, {"5"}}, {-jazz, {"6"}}};
    for (const Case &c : cases) {
        QStringList visible;
        for (const edit::DiscThumbnail &thumbnail : strip) {
            if (edit::thumbnailPassesFilter(thumbnail, c.filter))
                visible << thumbnail.identifier;
        }
        EXPECT_EQ(visible, c.visible) << c.filter;
    }
}
