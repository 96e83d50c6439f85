#include "standins/documents/FdtDocuments.h"

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::standins;

TEST(DocumentReaders, ReadWhatTheWritersWrite) {
    ModuleReader module;
    ASSERT_TRUE(module.Parse(documents::ModuleDocument({3, QStringLiteral("RQ16 DO8")}), nullptr))
        << module.LastError().toStdString();
    EXPECT_EQ(module.Module().slotNumber, 3);
    EXPECT_EQ(module.Module().typeName, QStringLiteral("RQ16 DO8"));

    ChannelReader channel;
    const QString awkward = QStringLiteral("Pump \"A\" & <B>");
    ASSERT_TRUE(channel.Parse(documents::ChannelDocument({8, awkward}), nullptr));
    EXPECT_EQ(channel.Channel().channelNumber, 8);
    EXPECT_EQ(channel.Channel().tag, awkward);
    ASSERT_TRUE(channel.Parse(documents::ChannelDocument({1, QString()}), nullptr));
    EXPECT_TRUE(channel.Channel().tag.isEmpty());

    InfoReader info;
    ASSERT_TRUE(info.Parse(
        documents::InfoDocument({QStringLiteral("RQ16 DTM"), QStringLiteral("2.1.0"), 1, 2}),
        nullptr));
    EXPECT_EQ(info.Information().name, QStringLiteral("RQ16 DTM"));
    EXPECT_EQ(info.Information().dtmRevision, QStringLiteral("2.1.0"));
    EXPECT_EQ(info.Information().fdtMajorVersion, 1);
    EXPECT_EQ(info.Information().fdtMinorVersion, 2);
    EXPECT_TRUE(info.LastError().isEmpty());
}

TEST(DocumentReaders, AcceptDeclarationsExtraAttributesAndChildren) {
    ModuleReader module;
    EXPECT_TRUE(module.Parse(QStringLiteral("<?xml version=\"1.0\"?>\n<Module typeName=\"X\" "
                                            "slotNumber=\" 12 \" vendor=\"v\"><Extra/></Module>"),
                             nullptr));
    EXPECT_EQ(module.Module().slotNumber, 12);
}

TEST(DocumentReaders, RejectMalformedDocumentsWithAReason) {
    struct Case {
        const char* text;
        const char* reasonPart;
    };
    const Case channelCases[] = {
        {"", "empty"},
        {"not xml at all", "not XML"},
        {"<Channel channelNumber=\"1\" tag=\"x\">", "malformed"},
        {"<Channel channelNumber=\"1\" tag=\"x\"/><Channel/>", "malformed"},
        {"<Module slotNumber=\"1\" typeName=\"x\"/>", "Expected element Channel"},
        {"<Channel tag=\"x\"/>", "channelNumber"},
        {"<Channel channelNumber=\"1\"/>", "tag"},
        {"<Channel channelNumber=\"0\" tag=\"x\"/>", "outside 1 to 8"},
        {"<Channel channelNumber=\"9\" tag=\"x\"/>", "outside 1 to 8"},
        {"<Channel channelNumber=\"one\" tag=\"x\"/>", "not a number"},
    };
    for (const Case& c : channelCases) {
        ChannelReader reader;
        EXPECT_FALSE(reader.Parse(QString::fromUtf8(c.text), nullptr)) << c.text;
        EXPECT_TRUE(reader.LastError().contains(QLatin1String(c.reasonPart)))
            << c.text << " gave: " << reader.LastError().toStdString();
    }

    ModuleReader module;
    EXPECT_FALSE(
        module.Parse(QStringLiteral("<Module slotNumber=\"-1\" typeName=\"x\"/>"), nullptr));
    EXPECT_FALSE(module.Parse(QStringLiteral("<Module slotNumber=\"3\"/>"), nullptr));
    EXPECT_TRUE(module.LastError().contains(QStringLiteral("typeName")));

    InfoReader info;
    EXPECT_FALSE(info.Parse(QStringLiteral("<DtmInformation name=\"n\" dtmRevision=\"r\" "
                                           "fdtMajor=\"1\"/>"),
                            nullptr));
    EXPECT_TRUE(info.LastError().contains(QStringLiteral("fdtMinor")));
    // A successful parse clears the previous error.
    EXPECT_TRUE(info.Parse(QStringLiteral("<DtmInformation name=\"n\" dtmRevision=\"r\" "
                                          "fdtMajor=\"1\" fdtMinor=\"0\"/>"),
                           nullptr));
    EXPECT_TRUE(info.LastError().isEmpty());
}
