#pragma once
// Golden sequences: what a whole run of a view logged and called, compared
// line by line with a file of expected lines kept beside the test. Run the
// test with RQ16_UPDATE_GOLDEN=1 to write the files from the current run
// after an intended change, then review the difference in version control.

#include "LogCapture.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

namespace rq16::test {

inline void ExpectGolden(const QStringList& actual, const QString& path) {
    QFile file(path);
    if (qEnvironmentVariableIsSet("RQ16_UPDATE_GOLDEN")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
        file.write((actual.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_EQ(actual, text.chopped(text.endsWith(QLatin1Char('\n')) ? 1 : 0).split('\n'))
        << "after an intended change: RQ16_UPDATE_GOLDEN=1 rewrites " << qPrintable(path);
}

} // namespace rq16::test
