// The smallest Qt Widgets program a frame application can be compared with:
// a main window with a label, shown; it prints "painted" and exits once the
// window has been painted for the first time, as rq16frame
// --exit-after-first-paint does.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>

namespace {

class FirstPaintExit : public QObject {
public:
    explicit FirstPaintExit(QWidget& window) : m_window(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, [] {
                std::printf("painted\n");
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget& m_window;
    bool m_seen = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("minimal"));
    window.setCentralWidget(new QLabel(QStringLiteral("A minimal Qt Widgets program")));
    window.resize(1360, 860);
    FirstPaintExit exitAfterPaint(window);
    window.installEventFilter(&exitAfterPaint);
    window.show();
    return QApplication::exec();
}
