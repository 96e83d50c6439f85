// The views' texts in English and German: the language the frame application
// picks, complete German texts, and views that find each of their texts in
// the language chosen before they opened.

#include "Language.h"
#include "FrameWindow.h"

#include "RQ16Controls.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/buttons/ButtonControl.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"
#include "standins/resources/ResourceManager.h"

#include <QAction>
#include <QFile>
#include <QMdiSubWindow>
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

/// Resource managers that note each text lookup with their language.
struct RecordingComponents : standins::StandInComponentFactory {
    struct Lookup {
        QString language, folder;
        std::int32_t id;
    };
    struct Recorder : ResourceManager {
        explicit Recorder(std::vector<Lookup>& into)
            : ResourceManager(ApplicationCommonFolder()), lookups(into) {}
        QString GetString(std::int32_t id, const QString& folder) override {
            lookups.push_back({Language(), folder.isEmpty() ? DefaultFolder() : folder, id});
            return ResourceManager::GetString(id, folder);
        }
        std::vector<Lookup>& lookups;
    };
    std::unique_ptr<IResourceManager> CreateResourceManager() override {
        return std::make_unique<Recorder>(lookups);
    }
    std::vector<Lookup> lookups;
};

TEST(GermanTexts, ViewsOpenedAfterChoosingGermanFindEveryTextInGerman) {
    RecordingComponents components;
    SetComponentFactory(&components);
    simulator::SimulatedModule module;
    module.SetChannelFaults(2, {1, 5});
    standins::SimulatedCommunication communication(module);
    standins::RQ16Dtm dtm;
    dtm.SetCommunication(&communication);
    dtm.SetControlCreator(
        [](const QString& id, QWidget* parent) { return CreateControl(id, parent); });
    {
        frameapp::FrameWindow window(dtm, communication, module, false);
        window.setLanguage(QStringLiteral("en"));
        window.findChild<QAction*>(QStringLiteral("language_de"))->trigger();
        for (const QString& progId : ViewProgrammaticIds()) {
            const QString id = IsControlAvailable(progId) ? window.openFunction(progId) : QString();
            if (id.isEmpty()) {
                continue;
            }
            // A view that reads once has shown what it read when its buttons
            // are enabled and its connection closed; cyclic views go on.
            auto* bar = dtm.View(id)->findChild<standins::ButtonControl*>();
            test::Spin(300);
            test::SpinUntil(
                [&] {
                    return (!bar || bar->areButtonsEnabled()) &&
                           communication.openConnections().empty();
                },
                2000);
            window.windowOf(id)->close();
            ASSERT_TRUE(test::SpinUntil([&] { return window.windowOf(id) == nullptr; }));
        }
    }
    SetComponentFactory(nullptr);
    ASSERT_GT(components.lookups.size(), 20u);
    EXPECT_TRUE(std::any_of(components.lookups.begin(), components.lookups.end(),
                            [](const auto& lookup) { return lookup.id == 1101; }))
        << "Diagnosis has read and shown the short circuit";
    for (const auto& lookup : components.lookups) {
        EXPECT_EQ(lookup.language, QStringLiteral("de"));
        EXPECT_FALSE(TextsOf(lookup.folder, lookup.language).value(lookup.id).trimmed().isEmpty())
            << "a view uses text " << lookup.id << " of " << lookup.folder.toStdString()
            << ", which has no German text";
    }
}

} // namespace
