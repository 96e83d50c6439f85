#pragma once
// Golden runs: what one whole run of a view logged and called, compared line
// by line with tests/golden/<name>.log. After an intended change of a log
// text or a sequence, run the test with RQ16_UPDATE_GOLDEN=1 to rewrite the
// file from the current run, then review the difference before committing.

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

namespace rq16::test {

/// The calls a run is judged by: those on the bar, the UI manager, the
/// communication object and the deferred call queue.
inline QStringList RunCalls(const QStringList& calls) {
    return calls.filter(
        QRegularExpression(QStringLiteral("^(Buttons|UiManager|Communication|Queue)")));
}

/// The debug log, a "----" line and the calls, against tests/golden/<name>.log.
/// Times of day in the log read "hh:mm:ss"; with `view`, the bar's area of a
/// view that takes its size from its fonts reads "Buttons.SetArea(view)".
inline void ExpectGoldenRun(QStringList log, QStringList calls, const QString& name,
                            const QWidget* view = nullptr) {
    log.replaceInStrings(QRegularExpression(QStringLiteral("\\b\\d\\d:\\d\\d:\\d\\d$")),
                         QStringLiteral("hh:mm:ss"));
    if (view != nullptr) {
        calls.replaceInStrings(
            QStringLiteral("Buttons.SetArea(%1,%2)").arg(view->width()).arg(view->height()),
            QStringLiteral("Buttons.SetArea(view)"));
    }
    const QStringList actual = log + QStringList{QStringLiteral("----")} + calls;
    QFile file(QStringLiteral(RQ16_GOLDEN_DIR "/") + name + QStringLiteral(".log"));
    if (qEnvironmentVariableIsSet("RQ16_UPDATE_GOLDEN")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write((actual.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_EQ(actual, text.chopped(text.endsWith(QLatin1Char('\n')) ? 1 : 0).split('\n'))
        << "after an intended change, RQ16_UPDATE_GOLDEN=1 rewrites "
        << qPrintable(file.fileName());
}

} // namespace rq16::test
