#include "Identification.h"

#include <gtest/gtest.h>

using namespace protocol;

namespace {

// Replies no module should send, which every reader must survive.
const QByteArray kHostile[] = {
    QByteArray(), QByteArray("?"), QByteArray("?\r"), QByteArray("!S"),
    QByteArray("\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 14), QByteArray(14, '\xFF'),
    QByteArray(500, 'x'), QByteArray("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\r"),
};

} // namespace

TEST(WakeUpReply, VersionAndMajorDigit)
{
    struct Case { QByteArray reply; QByteArray version; int major; };
    const Case cases[] = {
        {"!S3.00\r", "3.00", 3},
        {"!R2.10\r", "2.10", 2},
        {"?R1.0", "1.0", 1},
        {"!S", "", -48},
        {"!SA", "A", 10},
        {"", "", -48},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FirmwareVersionFromReply(c.reply), c.version) << c.reply.constData();
        EXPECT_EQ(FirmwareMajorFromReply(c.reply), c.major) << c.reply.constData();
    }
}

TEST(IdentificationReplies, CompanyName)
{
    EXPECT_EQ(CompanyNameFromReply("!CVeskora\r"), QByteArray("Veskora"));
    EXPECT_EQ(CompanyNameFromReply("!CVes\r"), QByteArray("Ves\r"));
    EXPECT_EQ(CompanyNameFromReply("!C"), QByteArray());
}

TEST(IdentificationReplies, ModelNameByReplyLength)
{
    struct Case { QByteArray reply; QByteArray model; };
    const Case cases[] = {
        {"!MR-2481XY\r", "R-2481"},      // 11
        {"!MR-2416BXY\r", "R-2416B"},    // 12
        {"!MR-2416-GXXY\r", "R-2416-GX"},// 14
        {"!MR-2416-GXX\r", "N-2416"},    // 13
        {"!MR-2416\r", "N-2416"},        // 9
        {"", "N-2416"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ModelNameFromReply(c.reply), c.model) << c.reply.constData();
}

TEST(IdentificationReplies, SingleModelNameWhateverTheLength)
{
    EXPECT_EQ(SingleModelNameFromReply("!MR-2416-GXXY\r"), QByteArray("R-2416"));
    EXPECT_EQ(SingleModelNameFromReply("!MR-24"), QByteArray("R-24"));
    EXPECT_EQ(SingleModelNameFromReply(""), QByteArray());
}

TEST(IdentificationReplies, HostileRepliesStayBounded)
{
    for (const QByteArray &reply : kHostile) {
        EXPECT_LE(FirmwareVersionFromReply(reply).size(), 4);
        EXPECT_LE(CompanyNameFromReply(reply).size(), 7);
        EXPECT_LE(ModelNameFromReply(reply).size(), 9);
        EXPECT_LE(SingleModelNameFromReply(reply).size(), 6);
    }
    // Bytes are taken as they are, NUL and high bytes included.
    EXPECT_EQ(FirmwareVersionFromReply(kHostile[4]), QByteArray(4, '\0'));
    EXPECT_EQ(FirmwareMajorFromReply(kHostile[5]), 0xFF - 55);
}

TEST(BaudLists, ByModel)
{
    ASSERT_EQ(AllRs232Bauds().size(), 15);
    EXPECT_EQ(AllRs232Bauds().first(), QStringLiteral("110"));
    EXPECT_EQ(AllRs232Bauds().at(11), QStringLiteral("115200"));
    EXPECT_EQ(AllRs232Bauds().last(), QStringLiteral("921600"));
    EXPECT_EQ(Rs232BaudListForModel(QStringLiteral("R-2481")), AllRs232Bauds());
    for (const char *model : {"R-2416", "R-2416B", "R-2416-GX", "N-2416", "r-2481", "R-2481 ", ""}) {
        const QStringList list = Rs232BaudListForModel(QString::fromLatin1(model));
        EXPECT_EQ(list, AllRs232Bauds().mid(0, 12)) << model;
    }
}

TEST(FirmwareTests, Version3ComparesAsText)
{
    struct Case { const char *version; bool v3; };
    const Case cases[] = {
        {"3.00", true}, {"4.10", true}, {"3", true}, {"9", true}, {"A.00", true},
        {"2.10", false}, {"1.05", false}, {"10.0", false}, {"", false}, {"2", false},
        {" 3.0", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(IsVersion3Firmware(QString::fromLatin1(c.version)), c.v3) << c.version;
    EXPECT_TRUE(IsVersion3Firmware(QString::fromLatin1("\xE9")));
}

TEST(FirmwareTests, PairCapableFromMajorDigit)
{
    EXPECT_FALSE(IsPairCapable(-48));
    EXPECT_FALSE(IsPairCapable(1));
    EXPECT_TRUE(IsPairCapable(2));
    EXPECT_TRUE(IsPairCapable(10));
}
