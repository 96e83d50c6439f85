// The views' texts in English and German: which language the frame
// application picks, whether the German texts are complete, and whether the
// views opened after a change of language find every text in it.

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
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QSet>

#include "EventLoop.h"

#include <gtest/gtest.h>

#include <map>

using namespace rq16;

namespace {

using Texts = QHash<std::int32_t, QString>;

Texts TextsOf(const QString& folder, const QString& language) {
    QFile file(folder + QStringLiteral("/texts.") + language + QStringLiteral(".txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return standins::ResourceManager::ParseTexts(QString::fromUtf8(file.readAll()));
}

/// The "%1"-style placeholders of a text, which a translation must keep.
QSet<QString> Placeholders(const QString& text) {
    QSet<QString> found;
    auto matches = QRegularExpression(QStringLiteral("%\\d")).globalMatch(text);
    while (matches.hasNext()) {
        found.insert(matches.next().captured());
    }
    return found;
}

TEST(LanguageFromLocale, FollowsTheMessageLocaleAsTheCLibraryDoes) {
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* expected;
    };
    const Case cases[] = {
        {"", "", "de_DE.UTF-8", "de"},
        {"", "de_AT.UTF-8", "en_US.UTF-8", "de"},
        {"", "en_GB.UTF-8", "de_DE.UTF-8", "en"},
        {"C", "de_DE.UTF-8", "de_DE.UTF-8", "en"}, // LC_ALL overrides the rest
        {"de_CH@euro", "", "", "de"},
        {"", "", "fr_FR.UTF-8", "en"}, // no French texts
        {"", "", "", "en"},
    };
    for (const Case& c : cases) {
        const std::map<std::string, QString> environment{
            {"LC_ALL", c.lcAll}, {"LC_MESSAGES", c.lcMessages}, {"LANG", c.lang}};
        const QString language =
            frameapp::LanguageFromLocale([&](const char* name) { return environment.at(name); });
        EXPECT_EQ(language, QString::fromLatin1(c.expected))
            << c.lcAll << " / " << c.lcMessages << " / " << c.lang;
    }
    EXPECT_EQ(frameapp::SupportedLanguage(QStringLiteral(" DE-at ")), QStringLiteral("de"));
    EXPECT_TRUE(frameapp::SupportedLanguage(QStringLiteral("deu")).isEmpty());
    EXPECT_TRUE(frameapp::SupportedLanguage(QString()).isEmpty());
}

TEST(GermanTexts, EveryEnglishTextHasAGermanOneWithTheSamePlaceholders) {
    for (const QString& folder : {standins::ResourceManager::ApplicationCommonFolder(),
                                  standins::ResourceManager::ApplicationDeviceFolder()}) {
        const Texts english = TextsOf(folder, QStringLiteral("en"));
        const Texts german = TextsOf(folder, QStringLiteral("de"));
        ASSERT_FALSE(english.isEmpty()) << folder.toStdString();
        for (auto it = english.cbegin(); it != english.cend(); ++it) {
            const QString text = german.value(it.key());
            EXPECT_FALSE(text.trimmed().isEmpty())
                << "no German text " << it.key() << " in " << folder.toStdString();
            EXPECT_EQ(Placeholders(text), Placeholders(it.value()))
                << "text " << it.key() << " in " << folder.toStdString();
        }
        for (auto it = german.cbegin(); it != german.cend(); ++it) {
            EXPECT_TRUE(english.contains(it.key()))
                << "German text " << it.key() << " has no English one (a mistyped id?) in "
                << folder.toStdString();
        }
    }
}

/// Resource managers that note every text lookup with the language they had.
class RecordingComponents : public standins::StandInComponentFactory {
public:
    struct Lookup {
        QString language;
        QString folder;
        std::int32_t id;
    };

    std::unique_ptr<IResourceManager> CreateResourceManager() override {
        return std::make_unique<Recorder>(StandInComponentFactory::CreateResourceManager(),
                                          lookups);
    }

    std::vector<Lookup> lookups;

private:
    class Recorder : public IResourceManager {
    public:
        Recorder(std::unique_ptr<IResourceManager> inner, std::vector<Lookup>& lookups)
            : m_inner(std::move(inner)), m_lookups(lookups) {}
        QString GetString(std::int32_t id, const QString& folder) override {
            QString resolved = folder.isEmpty() ? m_inner->DefaultFolder() : folder;
            resolved.replace(u'\\', u'/');
            m_lookups.push_back({m_inner->Language(), QDir::cleanPath(resolved), id});
            return m_inner->GetString(id, folder);
        }
        QPixmap LoadPicture(std::int32_t id, int width, int height,
                            const QString& folder) override {
            return m_inner->LoadPicture(id, width, height, folder);
        }
        QString Language() const override { return m_inner->Language(); }
        void SetLanguage(const QString& language) override { m_inner->SetLanguage(language); }
        QString DefaultFolder() const override { return m_inner->DefaultFolder(); }
        void SetDefaultFolder(const QString& folder) override { m_inner->SetDefaultFolder(folder); }

    private:
        std::unique_ptr<IResourceManager> m_inner;
        std::vector<Lookup>& m_lookups;
    };
};

TEST(GermanTexts, ViewsOpenedAfterChoosingGermanFindEveryTextInGerman) {
    RecordingComponents components;
    SetComponentFactory(&components);
    simulator::SimulatedModule module;
    module.SetChannelFaults(2, {1, 5}); // diagnosis texts beyond "in order"
    standins::SimulatedCommunication communication(module);
    standins::RQ16Dtm dtm;
    dtm.SetCommunication(&communication);
    dtm.SetControlCreator(
        [](const QString& id, QWidget* parent) { return CreateControl(id, parent); });
    {
        frameapp::FrameWindow window(dtm, communication, module, false);
        window.setLanguage(QStringLiteral("en"));
        auto* german = window.findChild<QAction*>(QStringLiteral("language_de"));
        ASSERT_NE(german, nullptr);
        german->trigger();
        EXPECT_EQ(window.language(), QStringLiteral("de"));

        int opened = 0;
        for (const QString& progId : ViewProgrammaticIds()) {
            if (!IsControlAvailable(progId)) {
                continue;
            }
            const QString id = window.openFunction(progId);
            ASSERT_FALSE(id.isEmpty()) << progId.toStdString();
            ++opened;
            auto* bar = dtm.View(id)->findChild<standins::ButtonControl*>();
            // Online views have connected, read and shown their data when
            // their buttons are enabled again and no connection is open.
            test::SpinUntil([&] {
                return (!bar || bar->areButtonsEnabled()) &&
                       communication.openConnections().empty();
            });
            test::Spin(100);
            window.windowOf(id)->close();
            ASSERT_TRUE(test::SpinUntil([&] { return window.windowOf(id) == nullptr; }))
                << progId.toStdString();
        }
        EXPECT_GE(opened, 3);
    }
    SetComponentFactory(nullptr);

    ASSERT_FALSE(components.lookups.empty());
    std::map<QString, Texts> germanTexts;
    QSet<QString> reported;
    for (const auto& lookup : components.lookups) {
        EXPECT_EQ(lookup.language, QStringLiteral("de")) << "text " << lookup.id;
        if (!germanTexts.count(lookup.folder)) {
            germanTexts[lookup.folder] = TextsOf(lookup.folder, QStringLiteral("de"));
        }
        const QString where = lookup.folder + QLatin1Char('/') + QString::number(lookup.id);
        if (germanTexts[lookup.folder].value(lookup.id).trimmed().isEmpty() &&
            !reported.contains(where)) {
            reported.insert(where);
            ADD_FAILURE() << "a view uses text " << lookup.id << " of "
                          << lookup.folder.toStdString() << ", which has no German text";
        }
    }
}

} // namespace
