// The views' texts in English and German: the language the frame application
// picks, complete German texts, and views that find each of their texts in
// the language chosen before they opened.

#include "Language.h"
#include "FrameWindow.h"

#include "RQ16Controls.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"
#include "standins/resources/ResourceManager.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>

#include "EventLoop.h"

#include <gtest/gtest.h>

#include <map>

using namespace rq16;
using standins::ResourceManager;

namespace {

QHash<std::int32_t, QString> TextsOf(QString folder, const QString& language) {
    QFile file(folder.replace(u'\\', u'/') + QStringLiteral("/texts.") + language +
               QStringLiteral(".txt"));
    return file.open(QIODevice::ReadOnly)
               ? ResourceManager::ParseTexts(QString::fromUtf8(file.readAll()))
               : QHash<std::int32_t, QString>();
}

TEST(LanguageFromLocale, FollowsTheMessageLocaleAsTheCLibraryDoes) {
    // LC_ALL, LC_MESSAGES, LANG → language
    const std::vector<std::array<const char*, 4>> cases = {
        {"", "", "de_DE.UTF-8", "de"},
        {"", "de_AT.UTF-8", "en_US.UTF-8", "de"},
        {"C", "de_DE.UTF-8", "de_DE.UTF-8", "en"},
        {"de_CH@euro", "", "", "de"},
        {"", "", "fr_FR.UTF-8", "en"},
    };
    for (const auto& c : cases) {
        const std::map<std::string, QString> environment{
            {"LC_ALL", c[0]}, {"LC_MESSAGES", c[1]}, {"LANG", c[2]}};
        EXPECT_EQ(frameapp::LanguageFromLocale([&](const char* n) { return environment.at(n); }),
                  QString::fromLatin1(c[3]))
            << c[0] << " / " << c[1] << " / " << c[2];
    }
    EXPECT_TRUE(frameapp::SupportedLanguage(QStringLiteral("deu")).isEmpty());
}

TEST(GermanTexts, EveryEnglishTextHasAGermanOneWithTheSamePlaceholders) {
    const QRegularExpression placeholder(QStringLiteral("%\\d"));
    for (const QString& folder :
         {ResourceManager::ApplicationCommonFolder(), ResourceManager::ApplicationDeviceFolder()}) {
        const auto english = TextsOf(folder, QStringLiteral("en"));
        const auto german = TextsOf(folder, QStringLiteral("de"));
        ASSERT_FALSE(english.isEmpty()) << folder.toStdString();
        EXPECT_EQ(QSet(german.keyBegin(), german.keyEnd()),
                  QSet(english.keyBegin(), english.keyEnd()))
            << "the same ids in both languages in " << folder.toStdString();
        for (auto it = english.cbegin(); it != english.cend(); ++it) {
            const QString text = german.value(it.key());
            EXPECT_FALSE(text.trimmed().isEmpty()) << "German text " << it.key();
            EXPECT_EQ(text.count(placeholder), it.value().count(placeholder)) << it.key();
        }
    }
}

TEST(Language, ViewsOpenedAfterChoosingGermanInTheMenuShowGermanTexts) {
    standins::StandInComponentFactory components;
    SetComponentFactory(&components);
    simulator::SimulatedModule module;
    standins::SimulatedCommunication communication(module);
    standins::RQ16Dtm dtm;
    dtm.SetControlCreator(
        [](const QString& id, QWidget* parent) { return CreateControl(id, parent); });
    {
        frameapp::FrameWindow window(dtm, communication, module, false);
        window.findChild<QAction*>(QStringLiteral("language_de"))->trigger();
        const QString id = window.openFunction(QStringLiteral("RQ16Controls.About"));
        ASSERT_FALSE(id.isEmpty());
        const QString german =
            TextsOf(ResourceManager::ApplicationCommonFolder(), QStringLiteral("de")).value(5004);
        const auto labels = dtm.View(id)->findChildren<QLabel*>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](const QLabel* label) {
            return !german.isEmpty() && label->text().startsWith(german);
        })) << "the legal notice in German";
        dtm.ReleaseAllViews();
        EXPECT_TRUE(test::SpinUntil([&] { return window.openViewCount() == 0; }));
    }
    SetComponentFactory(nullptr);
}

} // namespace
