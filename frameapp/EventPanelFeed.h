#pragma once
// Feeds lines to a read-only text panel in batches. With a station's worth
// of views every bus request and answer is a line: laying each out and
// scrolling to it on its own would cost more than everything else the frame
// does, for more lines than anyone can read. The panel gets at most
// `linesPerBatch` lines four times a second, the latest ones, after a line
// that says how many were left out.

#include <QList>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QTimer>

namespace rq16::frameapp {

class EventPanelFeed : public QObject {
    Q_OBJECT
public:
    /// `stamped`: each line begins with the local time it was added at.
    EventPanelFeed(QPlainTextEdit* panel, int linesPerBatch, bool stamped,
                   QObject* parent = nullptr);

    void add(const QString& line);
    /// Appends the lines added since the last batch now.
    void flush();

private:
    struct Line {
        qint64 addedAt; ///< ms since the epoch
        QString text;
    };
    QPointer<QPlainTextEdit> m_panel;
    int m_linesPerBatch;
    bool m_stamped;
    QList<Line> m_pending;
    int m_leftOut = 0;
    QTimer m_timer;
};

} // namespace rq16::frameapp
