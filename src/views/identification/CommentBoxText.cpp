#include "CommentBoxText.h"

namespace rq16::identification {

namespace {

constexpr QChar kWordJoiner(0x2060);

} // namespace

QString CommentForBox(const QString& original, CommentBoxForm& form, qsizetype longLine,
                      qsizetype pitch) {
    const qsizetype blankSearch = pitch / 10;
    const qsizetype crLfs = original.count(QStringLiteral("\r\n"));
    form.crLf = crLfs > 0 && original.count(QLatin1Char('\r')) == crLfs &&
                original.count(QLatin1Char('\n')) == crLfs;
    const QString comment =
        form.crLf ? QString(original).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                  : original;
    bool& softBreaks = form.softBreaks;
    softBreaks = false;
    if (comment.contains(kWordJoiner)) {
        return comment;
    }
    QString shown;
    qsizetype lineStart = 0;
    while (lineStart <= comment.size()) {
        qsizetype lineEnd = comment.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0) {
            lineEnd = comment.size();
        }
        if (lineEnd - lineStart > longLine) {
            if (!softBreaks) {
                shown.reserve(comment.size() + 2 * (comment.size() / pitch + 1));
                shown += QStringView(comment).left(lineStart);
                softBreaks = true;
            }
            qsizetype at = lineStart;
            while (lineEnd - at > pitch) {
                qsizetype cut = at + pitch;
                const qsizetype blank =
                    QStringView(comment).mid(cut - blankSearch, blankSearch).lastIndexOf(u' ');
                if (blank >= 0) {
                    cut = cut - blankSearch + blank + 1;
                }
                shown += QStringView(comment).mid(at, cut - at);
                shown += kWordJoiner;
                shown += QLatin1Char('\n');
                at = cut;
            }
            shown += QStringView(comment).mid(at, lineEnd - at);
        } else if (softBreaks) {
            shown += QStringView(comment).mid(lineStart, lineEnd - lineStart);
        }
        if (softBreaks && lineEnd < comment.size()) {
            shown += QLatin1Char('\n');
        }
        lineStart = lineEnd + 1;
    }
    return softBreaks ? shown : comment;
}

QString CommentFromBox(QString text, CommentBoxForm form) {
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    if (form.softBreaks && text.contains(kWordJoiner)) {
        QString comment;
        comment.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) == kWordJoiner) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
                    ++i;
                }
                continue;
            }
            comment += text.at(i);
        }
        text = std::move(comment);
    }
    if (form.crLf) {
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    }
    return text;
}

} // namespace rq16::identification
