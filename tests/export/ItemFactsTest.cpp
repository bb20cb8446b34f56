#include "ExportFixtures.h"

#include "export/ItemFacts.h"

namespace {

// The disc's fact lines from `first` on, one per line without the four spaces.
QStringList factLines(const QString &text, int first, int count)
{
    QStringList lines = text.split("\r\n").mid(first, count);
    for (QString &line : lines)
        line = line.mid(4);
    return lines;
}

} // namespace

TEST(ItemFactsTest, SizesRoundAsTheDialogShowsThem)
{
    FixtureFolder folder;
    folder.addDisc({"11", "Alpha", "", {folderRecord("Docs", 0)}, {fileRecord("a.bin", 1, 1536), fileRecord("b", 0, 10)}});
    DiscRecord &disc = folder.catalogue.disc(1);
    disc.totalSize = 1572864;                          // 1.5 Mo: halves go to the even 2
    disc.fileCount = 1234;
    disc.capturedSize = 2047;                          // rounded down
    disc.volumeLabel = "LBL";
    ASSERT_TRUE(writeFile(folder.catalogue.archivePath("11"), QByteArray(2047, 'x')));
    const QString discFacts = ItemFacts::disc(folder.catalogue, 1, 1);
    EXPECT_EQ(factLines(discFacts, 0, 4), QStringList({"Taille totale : 2 Mo (1 572 864 Octets )", "Fichiers : 1 234",
                                                       "Dossiers : 1", "Vol. : LBL"}));
    EXPECT_EQ(factLines(discFacts, 8, 5), QStringList({"Taille du fichier : 1 (ko)", "Nombre d'archives : 0",
                                                       "Nombre de fichiers dans les archives : 0",
                                                       "Fichiers texte enregistrés : 0", "Taille du texte Sauvegardé : 1 (ko)"}));

    DiscTree tree;
    tree.folders = {FolderRecord{}, folderRecord("Docs", 0)};
    tree.files = {fileRecord("a.bin", 1, 1536), fileRecord("b", 0, 10)};
    EXPECT_EQ(factLines(ItemFacts::file(folder.catalogue, 1, tree, 0), 0, 2),
              QStringList({"Taille : 2 Ko (1 536 Octets)", "Chemin : Docs\\"}));
    const QString root = ItemFacts::folder(folder.catalogue, 1, tree, 0);
    EXPECT_EQ(factLines(root, 0, 4), QStringList({"Chemin : Racine", "Dossiers : 1", "Fichiers : 1", "Taille : 0 Ko (10 Octets)"}));
    EXPECT_TRUE(root.endsWith(" ----------------CD---\r\n    Alpha\r\n    Numéro d'identification du CD : 11\r\n"));
}
