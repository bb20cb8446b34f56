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

TEST(LaneSumSerial, KnownAnswersAndReference)
{
    const struct { QByteArray bytes; qint32 expected; } cases[] = {
        {QByteArray("\x01\x02\x03\x04", 4), 0x01020304},
        // Byte 0 and byte 4 share a lane: 0xFF + 0x01 + 0x01 wraps to 0x01, no carry.
        {QByteArray("\xFF\x00\x00\x00\x01\x00\x00\x00\x01", 9), 0x01000000},
        {QByteArray("\x80", 1), std::numeric_limits<qint32>::min()},
        {QByteArray(2048, '\xFF'), 0},   // 512 * 255 = 0 modulo 256
    };
    for (const auto &c : cases)
        EXPECT_EQ(laneSumSerial(c.bytes), c.expected) << c.bytes.toHex().left(40).toStdString();
    for (int seed = 0; seed < 40; ++seed) {
        const QByteArray descriptor = test::isoPrimary("DISC " + QByteArray::number(seed), seed);
        EXPECT_EQ(laneSumSerial(descriptor), referenceSerial(descriptor)) << seed;
    }
}

TEST(IsoLabels, PrimaryAndJolietFields)
{
    const struct { QByteArray field; QString expected; } primaries[] = {
        {"  PADDED  ", u"PADDED"_s},
        {QByteArray("CUT\0AFTER NUL", 13), u"CUT"_s},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", u"ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"_s},
        {"CAF\xC9", u"CAF\u00C9"_s},     // not UTF-8: read as Windows-1252
    };
    for (const auto &c : primaries)
        EXPECT_EQ(isoPrimaryLabel(test::isoPrimary(c.field)), c.expected) << c.field.toStdString();
    EXPECT_EQ(jolietLabel(test::isoSupplementary(u"Vacances été 2003"_s, "%/E")), u"Vacances été 200"_s);
    EXPECT_EQ(jolietLabel(test::isoSupplementary(u"日本語"_s, "%/@")), u"日本語"_s);

    const struct { QByteArray escape; bool joliet; } escapes[] = {
        {"%/@", true}, {"%/C", true}, {"%/E", true}, {"%/F", false}, {"", false}, {"/%E", false}};
    for (const auto &e : escapes)
        EXPECT_EQ(isJolietDescriptor(test::isoSupplementary(u"X"_s, e.escape)), e.joliet) << e.escape.toStdString();
    // A primary descriptor is never Joliet, whatever its bytes at 88.
    EXPECT_FALSE(isJolietDescriptor(test::isoPrimary("X").replace(88, 3, "%/E")));
}

TEST(ReadDiscVolume, IsoDescriptors)
{
    const QByteArray primary = test::isoPrimary("PRIMARY_LABEL", 3);
    const QByteArray joliet = test::isoSupplementary(u"Joliet Label"_s, "%/E", 4);
    const QByteArray notJoliet = test::isoSupplementary(u"Other"_s, "%/F", 6);
    const QByteArray end = test::isoTerminator();
    ASSERT_NE(referenceSerial(primary), referenceSerial(joliet));
    const struct
    {
        const char *name;
        std::vector<QByteArray> sectors;       // from sector 16 on; the disc ends after them
        QByteArray active;                     // the descriptor giving label and serial; empty: none
    } cases[] = {
        {"primary only", {primary, end}, primary},
        {"primary and Joliet", {primary, joliet, end}, joliet},
        {"Joliet first", {joliet, primary, end}, joliet},
        {"other supplementary", {primary, notJoliet, end}, primary},
        {"Joliet after the terminator is ignored", {primary, end, joliet}, primary},
        {"no terminator, disc ends", {primary, joliet}, joliet},
        {"no primary", {joliet, end}, {}},
        {"disc ends before sector 16", {}, {}},
        {"blank sector", {QByteArray(2048, '\0')}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SectorImage image(16 + qint64(c.sectors.size()));
        for (size_t i = 0; i < c.sectors.size(); ++i)
            image.put(16 + qint64(i), c.sectors[i]);
        const std::optional<DiscVolume> volume = readDiscVolume(image);
        ASSERT_EQ(volume.has_value(), !c.active.isEmpty());
        if (!volume)
            continue;
        EXPECT_EQ(volume->label, c.active == joliet ? u"Joliet Label"_s : u"PRIMARY_LABEL"_s);
        EXPECT_EQ(volume->serial, referenceSerial(c.active));
        EXPECT_EQ(volume->fileSystem, u"CDFS"_s);
    }
    SectorImage blank(300);
    EXPECT_FALSE(readDiscVolume(blank).has_value());
    // Reading stops at the terminator instead of scanning the whole disc.
    SectorImage iso(100000);
    iso.put(16, primary);
    iso.put(17, end);
    ASSERT_TRUE(readDiscVolume(iso).has_value());
    EXPECT_LE(iso.reads(), 4);
}

TEST(ReadDiscVolume, UdfAndBridgeDiscs)
{
    QByteArray primary;
    const std::optional<DiscVolume> volume = readDiscVolume(*test::udfImage({}, &primary));
    ASSERT_TRUE(volume.has_value());
    EXPECT_EQ(volume->label, u"UDF DISC"_s);
    EXPECT_EQ(volume->serial, referenceSerial(primary));
    EXPECT_EQ(volume->fileSystem, u"UDF"_s);

    EXPECT_EQ(readDiscVolume(*test::udfImage({u"Été 2004 – vidéos"_s, true, true, 16}))->label, u"Été 2004 – vidéos"_s);
    EXPECT_EQ(readDiscVolume(*test::udfImage({u"L"_s, false}))->label, u"PRIMARY"_s);
    EXPECT_FALSE(readDiscVolume(*test::udfImage({u"L"_s, true, false})).has_value());   // bad anchor checksum
    auto noNsr = test::udfImage();   // a recognition sequence without NSR is not UDF
    noNsr->put(17, test::recognition("BOOT2"));
    EXPECT_FALSE(readDiscVolume(*noNsr).has_value());

    // A bridge disc: ISO descriptors first, then the UDF recognition sequence.
    auto bridge = test::udfImage();
    const QByteArray iso = test::isoPrimary("BRIDGE", 9);
    const QByteArray sectors[] = {iso, test::isoTerminator(), test::recognition("BEA01"), test::recognition("NSR03"),
                                  test::recognition("TEA01")};
    for (int i = 0; i < 5; ++i)
        bridge->put(16 + i, sectors[i]);
    const std::optional<DiscVolume> bridged = readDiscVolume(*bridge);
    ASSERT_TRUE(bridged.has_value());
    EXPECT_EQ(bridged->label, u"BRIDGE"_s);
    EXPECT_EQ(bridged->serial, referenceSerial(iso));
    EXPECT_EQ(bridged->fileSystem, u"CDFS"_s);
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
