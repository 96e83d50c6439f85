#pragma once
// The frame application's main window: opens the DTM's view functions in
// sub-windows, drives their lifecycle through the DTM stand-in, and offers
// the data set lock and the simulated module's faults to the person testing.

#include "TranslatedTexts.h"

#include "standins/dtm/FrameHost.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <vector>

class QActionGroup;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPlainTextEdit;
class QPushButton;

namespace rq16::simulator {
class SimulatedModule;
}

namespace rq16::standins {
class RQ16Dtm;
class SimulatedCommunication;
} // namespace rq16::standins

namespace rq16::frameapp {

class EventPanelFeed;

class FrameWindow : public QMainWindow, public standins::IFrameHost {
    Q_OBJECT
public:
    FrameWindow(standins::RQ16Dtm& dtm, standins::SimulatedCommunication& communication,
                simulator::SimulatedModule& module, bool interactive, QWidget* parent = nullptr);
    ~FrameWindow() override;

    /// Opens the view function with this programmatic id; returns its invoke
    /// id, empty if it could not be opened.
    QString openFunction(const QString& progId);
    /// Asks the view to release itself, as closing its window does.
    void releaseView(const QString& invokeId);
    /// The sub-window of an open view.
    QMdiSubWindow* windowOf(const QString& invokeId) const;
    int openViewCount() const { return static_cast<int>(m_windows.size()); }
    /// The language of the texts of views opened from now on ("en", "de"):
    /// the first configuration property of the kernel's resource manager,
    /// which every view copies when it starts. Open views keep theirs.
    void setLanguage(const QString& language);
    QString language() const;
    void log(const QString& line);
    /// The name of a view function in the application's language.
    static QString viewName(const QString& progId);

    // IFrameHost
    void OnInitFinished(const QString& invokeId) override;
    void OnRequestClose(const QString& invokeId) override;
    void OnPreparedToRelease(const QString& invokeId) override;
    void OnViewDestroyed(const QString& invokeId) override;
    void OnErrorMessage(const QString& systemTag, const QString& message) override;
    void OnDataSetSaveRequested() override;
    void OnDataSetUnlockRequested() override;
    void OnDataSetWritten(const QString& path) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildFunctionPanel();
    QWidget* buildDataSetPanel();
    QWidget* buildSimulatorPanel();
    void buildLanguageMenu();
    /// Menus that reach everything from the keyboard, with their shortcuts:
    /// the functions, closing and switching the view windows, the panels.
    void buildKeyboardMenus(const std::vector<QDockWidget*>& panels);
    /// Shows the panel and gives the focus to its first control.
    void focusPanel(QDockWidget* panel);
    /// Shows the data set as it is now: file, parameter bytes, comment.
    void showDataSet();
    /// Tells in the events and the status bar which stored identification
    /// data cannot be read.
    void tellStoredDataProblems();
    /// Views whose windows lie wholly under other windows or outside the
    /// area are not drawn: their updates are off while they are hidden, so a
    /// thousand cycling views do not each work out what of them shows. The
    /// stacking is looked at once the events of a change are handled...
    void scheduleCoverage();
    void updateCoverage();
    /// ...but a window that may come out from under others gets its updates
    /// back at once, before anything is drawn: those meeting `area`.
    void uncover(const QRect& area);

    standins::RQ16Dtm& m_dtm;
    standins::SimulatedCommunication& m_communication;
    simulator::SimulatedModule& m_module;
    bool m_interactive;
    QMdiArea* m_mdi = nullptr;
    QPlainTextEdit* m_events = nullptr;
    EventPanelFeed* m_eventFeed = nullptr;
    QLabel* m_dataSetView = nullptr;
    QActionGroup* m_languages = nullptr;
    std::map<QString, QPointer<QMdiSubWindow>> m_windows;
    std::vector<QPointer<QMdiSubWindow>> m_covered;
    bool m_coverageQueued = false;
    bool m_quitting = false;
    TranslatedTexts m_texts;
};

} // namespace rq16::frameapp
