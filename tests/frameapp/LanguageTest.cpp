// The texts in English and German: the language the frame application
// picks, complete German texts of the views and of the frame application,
// and its command line in the session's language.

#include "Language.h"

#include "standins/resources/ResourceManager.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

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

TEST(GermanTexts, EveryTextOfTheFrameApplicationHasAGermanTranslation) {
    // A copy of the translation brought up to date with the sources first, so
    // a new text without a translation is found before anyone sees it.
    QTemporaryDir dir;
    const QString ts = dir.filePath(QStringLiteral("rq16frame_de.ts"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(RQ16_FRAME_TS_FILE), ts));
    ASSERT_EQ(QProcess::execute(QStringLiteral(RQ16_LUPDATE),
                                {"-silent", "-locations", "none", "-no-obsolete",
                                 RQ16_FRAMEAPP_SOURCE_DIR, "-ts", ts}),
              0);
    QFile file(ts);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto placeholders = [](const QString& text) {
        QSet<QString> found; // numerus forms repeat them
        for (auto it = QRegularExpression(QStringLiteral("%[0-9n]")).globalMatch(text);
             it.hasNext();) {
            found << it.next().captured();
        }
        return found;
    };
    const QRegularExpression message(
        QStringLiteral(
            "<source>(.*?)</source>.*?<translation( type=\"\\w+\")?>(.*?)</translation>"),
        QRegularExpression::DotMatchesEverythingOption);
    int count = 0;
    for (auto it = message.globalMatch(QString::fromUtf8(file.readAll())); it.hasNext(); ++count) {
        const auto m = it.next();
        EXPECT_TRUE(m.captured(2).isEmpty() && !m.captured(3).trimmed().isEmpty() &&
                    placeholders(m.captured(3)) == placeholders(m.captured(1)))
            << "no finished German translation of: " << m.captured(1).toStdString();
    }
    EXPECT_GT(count, 0);
}

TEST(CommandLine, VersionErrorsAndTheHelpInTheSessionsLanguage) {
    // The program in an American session with `languages` as LANGUAGE.
    const auto run = [](const QStringList& arguments, const QString& languages = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("en_US.UTF-8"));
        env.insert(QStringLiteral("LANGUAGE"), languages);
        QProcess frame;
        frame.setProcessEnvironment(env);
        frame.start(QStringLiteral(RQ16_FRAME_PROGRAM), arguments);
        frame.waitForFinished(30000);
        return QString::fromUtf8(frame.readAllStandardOutput() + frame.readAllStandardError());
    };
    EXPECT_TRUE(run({"--version"}).startsWith(QStringLiteral("rq16frame 1.")));
    EXPECT_EQ(run({"-v"}), run({"--version"}));
    EXPECT_TRUE(run({"--no-such-option"}).contains(QRegularExpression("(?m)^rq16frame: ")));
    // LANGUAGE is a list in the order of preference, and outranks LANG.
    const QString german = run({"--help"}, QStringLiteral("fr:de"));
    EXPECT_TRUE(german.contains(QStringLiteral("Datensatzdatei"))) << german.toStdString();
    EXPECT_TRUE(german.contains(QStringLiteral("Optionen:"))) << "Qt's own texts";
    const QString english = run({"--help", "--language", "en"}, QStringLiteral("de"));
    EXPECT_TRUE(english.contains(QStringLiteral("Data set file")));
    // The manual page names every option of the help.
    QFile manual(QStringLiteral(RQ16_FRAME_MANUAL));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(manual.readAll()).remove(u'\\');
    for (auto it = QRegularExpression("--[a-z-]+").globalMatch(english); it.hasNext();) {
        const QString option = it.next().captured();
        EXPECT_TRUE(page.contains(option)) << option.toStdString();
    }
}

} // namespace
