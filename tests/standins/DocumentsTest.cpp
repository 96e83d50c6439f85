#include "standins/documents/FdtDocuments.h"

#include <gtest/gtest.h>

using namespace rq16;
using namespace rq16::standins;

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
