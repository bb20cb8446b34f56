#include "scan/DiscImages.h"
#include "scan/DiscDescriptors.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorn {
namespace {

using namespace Qt::StringLiterals;
using test::SectorImage;

// The serial computed another way: each lane's bytes summed in a wide integer and
// reduced at the end; lane k (bytes k, k+4, ...) lands in byte 3-k of the number.
qint32 referenceSerial(const QByteArray &descriptor)
{
    quint32 serial = 0;
    for (int lane = 0; lane < 4; ++lane) {
        quint64 sum = 0;
        for (qsizetype i = lane; i < descriptor.size(); i += 4)
            sum += static_cast<unsigned char>(descriptor.at(i));
        serial |= quint32(sum % 256) << (8 * (3 - lane));
    }
    return static_cast<qint32>(serial);
}

TEST(LaneSumSerial, KnownAnswers)
{
    struct Case { QByteArray bytes; qint32 expected; };
    const Case cases[] = {
        {QByteArray(2048, '\0'), 0},
        {QByteArray("\x01\x02\x03\x04", 4), 0x01020304},
        // Byte 0 and byte 4 share a lane: 0xFF + 0x01 + 0x01 wraps to 0x01, no carry.
        {QByteArray("\xFF\x00\x00\x00\x01\x00\x00\x00\x01", 9), 0x01000000},
        {QByteArray("\x80", 1), std::numeric_limits<qint32>::min()},
        {QByteArray(2048, '\xFF'), qint32(0x00000000)},   // 512 * 255 = 0 modulo 256
        {QByteArray("\x00\x00\x00\xFF\x00\x00\x00\x02", 8), 0x00000001},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes.toHex().left(40).toStdString());
        EXPECT_EQ(laneSumSerial(c.bytes), c.expected);
    }
}

TEST(LaneSumSerial, AgreesWithReferenceOnDescriptors)
{
    for (int seed = 0; seed < 40; ++seed) {
        const QByteArray descriptor = test::isoPrimary("DISC " + QByteArray::number(seed), seed);
        SCOPED_TRACE(seed);
        EXPECT_EQ(laneSumSerial(descriptor), referenceSerial(descriptor));
    }
}

TEST(IsoLabels, PrimaryAndJolietFields)
{
    struct Case { QByteArray field; QString expected; };
    const Case primaries[] = {
        {"MY_DISC", u"MY_DISC"_s},
        {"  PADDED  ", u"PADDED"_s},
        {QByteArray("CUT\0AFTER NUL", 13), u"CUT"_s},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"_s},
        {"", QString()},
        {"CAF\xC9", u"CAF\u00C9"_s},     // not UTF-8: read as Windows-1252
    };
    for (const Case &c : primaries) {
        SCOPED_TRACE(c.field.toStdString());
        EXPECT_EQ(isoPrimaryLabel(test::isoPrimary(c.field)), c.expected);
    }

    EXPECT_EQ(jolietLabel(test::isoSupplementary(u"Vacances été 2003"_s, "%/E")), u"Vacances été 200"_s);
    EXPECT_EQ(jolietLabel(test::isoSupplementary(u"日本語"_s, "%/@")), u"日本語"_s);

    struct Escape { QByteArray escape; bool joliet; };
    const Escape escapes[] = {{"%/@", true}, {"%/C", true}, {"%/E", true}, {"%/F", false}, {"", false}, {"/%E", false}};
    for (const Escape &e : escapes) {
        SCOPED_TRACE(e.escape.toStdString());
        EXPECT_EQ(isJolietDescriptor(test::isoSupplementary(u"X"_s, e.escape)), e.joliet);
    }
    // A primary descriptor is never Joliet, whatever its bytes at 88.
    QByteArray primary = test::isoPrimary("X");
    primary.replace(88, 3, "%/E");
    EXPECT_FALSE(isJolietDescriptor(primary));
}

TEST(ReadDiscVolume, PicksTheActiveDescriptor)
{
    const QByteArray primary = test::isoPrimary("PRIMARY_LABEL", 3);
    const QByteArray joliet = test::isoSupplementary(u"Joliet Label"_s, "%/E", 4);
    const QByteArray notJoliet = test::isoSupplementary(u"Other"_s, "%/F", 6);
    ASSERT_NE(referenceSerial(primary), referenceSerial(joliet));

    struct Case
    {
        const char *name;
        std::vector<QByteArray> sectors;       // from sector 16 on
        QString label;
        qint32 serial;
    };
    const Case cases[] = {
        {"primary only", {primary, test::isoTerminator()}, u"PRIMARY_LABEL"_s, referenceSerial(primary)},
        {"primary and Joliet", {primary, joliet, test::isoTerminator()}, u"Joliet Label"_s, referenceSerial(joliet)},
        {"Joliet first", {joliet, primary, test::isoTerminator()}, u"Joliet Label"_s, referenceSerial(joliet)},
        {"other supplementary", {primary, notJoliet, test::isoTerminator()}, u"PRIMARY_LABEL"_s,
         referenceSerial(primary)},
        {"Joliet after the terminator is ignored", {primary, test::isoTerminator(), joliet}, u"PRIMARY_LABEL"_s,
         referenceSerial(primary)},
        {"no terminator, disc ends", {primary, joliet}, u"Joliet Label"_s, referenceSerial(joliet)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SectorImage image(16 + qint64(c.sectors.size()));
        for (size_t i = 0; i < c.sectors.size(); ++i)
            image.put(16 + qint64(i), c.sectors[i]);
        const std::optional<DiscVolume> volume = readDiscVolume(image);
        ASSERT_TRUE(volume.has_value());
        EXPECT_EQ(volume->label, c.label);
        EXPECT_EQ(volume->serial, c.serial);
        EXPECT_EQ(volume->fileSystem, u"CDFS"_s);
    }
}

TEST(ReadDiscVolume, NothingToRead)
{
    SectorImage blank(300);
    EXPECT_FALSE(readDiscVolume(blank).has_value());

    SectorImage tooShort(10);
    EXPECT_FALSE(readDiscVolume(tooShort).has_value());

    // Only a supplementary descriptor: no primary, no volume.
    SectorImage noPrimary(40);
    noPrimary.put(16, test::isoSupplementary(u"J"_s, "%/E"));
    noPrimary.put(17, test::isoTerminator());
    EXPECT_FALSE(readDiscVolume(noPrimary).has_value());

    // Reading stops at the terminator instead of scanning the whole disc.
    SectorImage iso(100000);
    iso.put(16, test::isoPrimary("A"));
    iso.put(17, test::isoTerminator());
    ASSERT_TRUE(readDiscVolume(iso).has_value());
    EXPECT_LE(iso.reads(), 4);
}

TEST(ReadDiscVolume, UdfOnlyDisc)
{
    QByteArray primary;
    const auto image = test::udfImage({}, &primary);
    const std::optional<DiscVolume> volume = readDiscVolume(*image);
    ASSERT_TRUE(volume.has_value());
    EXPECT_EQ(volume->label, u"UDF DISC"_s);
    EXPECT_EQ(volume->serial, referenceSerial(primary));
    EXPECT_EQ(volume->fileSystem, u"UDF"_s);

    test::UdfImageParts wide;
    wide.logicalLabel = u"Été 2004 – vidéos"_s;
    wide.compression = 16;
    EXPECT_EQ(readDiscVolume(*test::udfImage(wide))->label, wide.logicalLabel);

    test::UdfImageParts noLogical;
    noLogical.withLogical = false;
    EXPECT_EQ(readDiscVolume(*test::udfImage(noLogical))->label, u"PRIMARY"_s);

    test::UdfImageParts badAnchor;
    badAnchor.goodAnchor = false;
    EXPECT_FALSE(readDiscVolume(*test::udfImage(badAnchor)).has_value());

    // Recognition sequence without NSR: not UDF.
    auto noNsr = test::udfImage();
    noNsr->put(17, test::recognition("BOOT2"));
    EXPECT_FALSE(readDiscVolume(*noNsr).has_value());
}

TEST(ReadDiscVolume, BridgeDiscUsesIso)
{
    auto image = test::udfImage();
    const QByteArray primary = test::isoPrimary("BRIDGE", 9);
    image->put(16, primary);
    image->put(17, test::isoTerminator());
    image->put(18, test::recognition("BEA01"));
    image->put(19, test::recognition("NSR03"));
    image->put(20, test::recognition("TEA01"));
    const std::optional<DiscVolume> volume = readDiscVolume(*image);
    ASSERT_TRUE(volume.has_value());
    EXPECT_EQ(volume->label, u"BRIDGE"_s);
    EXPECT_EQ(volume->serial, referenceSerial(primary));
    EXPECT_EQ(volume->fileSystem, u"CDFS"_s);
}

TEST(UdfDString, CompressionAndLength)
{
    EXPECT_EQ(udfDString(test::udfDString(u"LABEL"_s, 32, 8)), u"LABEL"_s);
    EXPECT_EQ(udfDString(test::udfDString(u"Ünïcode"_s, 32, 16)), u"Ünïcode"_s);
    QByteArray unknown = test::udfDString(u"X"_s, 32, 8);
    unknown[0] = 9;
    EXPECT_EQ(udfDString(unknown), QString());
    QByteArray overlong = test::udfDString(u"AB"_s, 8, 8);
    overlong[7] = char(200);     // a length past the field reads to the field's end only
    EXPECT_EQ(udfDString(overlong), u"AB"_s);
    EXPECT_EQ(udfDString(QByteArray(32, '\0')), QString());
}

} // namespace
} // namespace vorn
