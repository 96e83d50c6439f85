// The texts in English and German: the language the frame application
// picks, complete German texts of the views and of the frame application,
// and a frame application and views that switch to German together.

#include "Language.h"
#include "FrameWindow.h"

#include "RQ16Controls.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"
#include "standins/resources/ResourceManager.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "EventLoop.h"

#include <gtest/gtest.h>

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

TEST(LanguageFromLocale, TheFirstOfTheUsersLanguagesThatHasTexts) {
    const std::vector<std::pair<QString, QString>> cases = {
        {QStringLiteral("de-DE de"), QStringLiteral("de")},
        {QStringLiteral("fr de_AT en"), QStringLiteral("de")}, // LANGUAGE=fr:de_AT:en
        {QStringLiteral("en-GB de"), QStringLiteral("en")},
        {QStringLiteral("de_CH@euro"), QStringLiteral("de")},
        {QStringLiteral("C"), QStringLiteral("en")},
        {QStringLiteral("fr-FR fr deu"), QStringLiteral("en")},
    };
    for (const auto& [languages, expected] : cases) {
        EXPECT_EQ(frameapp::LanguageFromUiLanguages(languages.split(u' ')), expected)
            << languages.toStdString();
    }
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

/// The messages of a .ts file whose translation is missing, unfinished or
/// has other placeholders than the source.
QStringList UntranslatedMessages(const QString& tsFile) {
    QFile file(tsFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("cannot read ") + tsFile};
    }
    const QRegularExpression placeholder(QStringLiteral("%(\\d|n)"));
    const auto placeholders = [&](const QString& text) {
        QStringList found;
        for (auto it = placeholder.globalMatch(text); it.hasNext();) {
            found << it.next().captured();
        }
        found.removeDuplicates(); // numerus forms repeat them
        found.sort();
        return found;
    };
    QStringList faults;
    QString source;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            const QString type = xml.attributes().value(QStringLiteral("type")).toString();
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (!type.isEmpty() || text.trimmed().isEmpty() ||
                placeholders(text) != placeholders(source)) {
                faults << source;
            }
        }
    }
    return faults;
}

TEST(GermanTexts, EveryTextOfTheFrameApplicationHasAGermanTranslation) {
    // The translation file brought up to date with the sources first, so a
    // new text without a translation is found before anyone sees it.
    QTemporaryDir dir;
    const QString ts = dir.filePath(QStringLiteral("rq16frame_de.ts"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(RQ16_FRAME_TS_FILE), ts));
    QProcess lupdate;
    lupdate.start(QStringLiteral(RQ16_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("-no-obsolete"), QStringLiteral(RQ16_FRAMEAPP_SOURCE_DIR),
                   QStringLiteral("-ts"), ts});
    ASSERT_TRUE(lupdate.waitForFinished(60000) && lupdate.exitCode() == 0)
        << lupdate.readAllStandardError().toStdString();
    EXPECT_EQ(UntranslatedMessages(ts).join(u'\n').toStdString(), "");
}

TEST(Language, TheFrameApplicationAndViewsOpenedAfterChoosingGermanSpeakGerman) {
    standins::StandInComponentFactory components;
    SetComponentFactory(&components);
    simulator::SimulatedModule module;
    standins::SimulatedCommunication communication(module);
    standins::RQ16Dtm dtm;
    dtm.SetControlCreator(
        [](const QString& id, QWidget* parent) { return CreateControl(id, parent); });
    {
        frameapp::FrameWindow window(dtm, communication, module, false);
        auto* functions = window.findChild<QDockWidget*>(QStringLiteral("functions"));
        EXPECT_EQ(functions->windowTitle(), QStringLiteral("Functions"));
        window.findChild<QAction*>(QStringLiteral("language_de"))->trigger();
        EXPECT_TRUE(test::SpinUntil([&] { return functions->windowTitle() == "Funktionen"; }));
        QMessageBox question(QMessageBox::Question, QString(), QString(),
                             QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(question.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Nein"))
            << "Qt's own translation";

        const QString id = window.openFunction(QStringLiteral("RQ16Controls.About"));
        ASSERT_FALSE(id.isEmpty());
        EXPECT_TRUE(window.windowOf(id)->windowTitle().startsWith(QStringLiteral("Info - ")));
        const QString german =
            TextsOf(ResourceManager::ApplicationCommonFolder(), QStringLiteral("de")).value(5004);
        const auto labels = dtm.View(id)->findChildren<QLabel*>();
        EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](const QLabel* label) {
            return !german.isEmpty() && label->text().startsWith(german);
        })) << "the legal notice in German";
        dtm.ReleaseAllViews();
        EXPECT_TRUE(test::SpinUntil([&] { return window.openViewCount() == 0; }));
        window.findChild<QAction*>(QStringLiteral("language_en"))->trigger();
        EXPECT_TRUE(test::SpinUntil([&] { return functions->windowTitle() == "Functions"; }));
    }
    SetComponentFactory(nullptr);
}

TEST(CommandLine, VersionErrorsAndTheHelpInTheSessionsLanguage) {
    const auto run = [](const QStringList& arguments, const QStringList& environment = {}) {
        QProcess frame;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            env.remove(QString::fromLatin1(name));
        }
        for (const QString& variable : environment) {
            env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        }
        frame.setProcessEnvironment(env);
        frame.start(QCoreApplication::applicationDirPath() + QStringLiteral("/rq16frame"),
                    arguments);
        frame.waitForFinished(30000);
        return QString::fromUtf8(frame.readAllStandardOutput() + frame.readAllStandardError());
    };
    EXPECT_TRUE(run({QStringLiteral("--version")}).startsWith(QStringLiteral("rq16frame 1.")));
    EXPECT_EQ(run({QStringLiteral("-v")}), run({QStringLiteral("--version")}));
    EXPECT_TRUE(run({QStringLiteral("--no-such-option")})
                    .contains(QRegularExpression(QStringLiteral("(?m)^rq16frame: "))));
    // LANGUAGE is a list in the order of preference, and outranks LANG.
    const QString german = run({QStringLiteral("--help")}, {QStringLiteral("LANGUAGE=fr:de"),
                                                            QStringLiteral("LANG=en_US.UTF-8")});
    EXPECT_TRUE(german.contains(QStringLiteral("Datensatzdatei"))) << german.toStdString();
    EXPECT_TRUE(german.contains(QStringLiteral("Optionen:"))) << "Qt's own texts";
    const QString english =
        run({QStringLiteral("--help"), QStringLiteral("--language"), QStringLiteral("en")},
            {QStringLiteral("LANGUAGE=de")});
    EXPECT_TRUE(english.contains(QStringLiteral("Data set file")));
    // The manual page names every option of the help.
    QFile manual(QStringLiteral(RQ16_FRAME_MANUAL));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(manual.readAll()).remove(u'\\');
    for (auto it = QRegularExpression(QStringLiteral("--[a-z-]+")).globalMatch(english);
         it.hasNext();) {
        const QString option = it.next().captured();
        EXPECT_TRUE(page.contains(option)) << option.toStdString();
    }
}

} // namespace
