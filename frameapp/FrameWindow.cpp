#include "FrameWindow.h"

#include "EventPanelFeed.h"
#include "Language.h"
#include "RQ16Controls.h"

#include "simulator/SimulatedModule.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#if __has_include("SimulatorPanel.h")
#include "SimulatorPanel.h"
#define RQ16_HAVE_SIMULATOR_PANEL 1
#endif

#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace rq16::frameapp {

namespace {

/// A path below the home folder as "~/...", as a person knows it.
QString DisplayPath(const QString& path) {
    const QString home = QDir::homePath() + QLatin1Char('/');
    return path.startsWith(home) ? QStringLiteral("~/") + path.mid(home.size()) : path;
}

/// Texts from outside in the window's own places, cut to so many characters.
constexpr qsizetype kShownTypeName = 80;
constexpr qsizetype kShownMessage = 2000;
/// The type name in the data set panel fits its narrow column, in pixels.
constexpr int kPanelTypeNameWidth = 160;

QString Shortened(const QString& text, qsizetype length) {
    return text.size() <= length ? text : text.left(length - 1) + QChar(0x2026);
}

/// Scrolls only vertically: it is at least as wide as its contents, in
/// whichever language they are.
class WholeWidthScrollArea : public QScrollArea {
public:
    QSize minimumSizeHint() const override {
        QSize size = QScrollArea::minimumSizeHint();
        if (const QWidget* contents = widget()) {
            size.setWidth(contents->sizeHint().width() + verticalScrollBar()->sizeHint().width() +
                          2 * frameWidth());
        }
        return size;
    }
};

} // namespace

QString FrameWindow::viewName(const QString& progId) {
    static const char* const names[] = {QT_TR_NOOP("Parameter"),      QT_TR_NOOP("Diagnosis"),
                                        QT_TR_NOOP("Observation"),    QT_TR_NOOP("Simulation"),
                                        QT_TR_NOOP("Identification"), QT_TR_NOOP("About")};
    const QString name = progId.section(QLatin1Char('.'), 1);
    for (const char* known : names) {
        if (name == QLatin1String(known)) {
            return tr(known);
        }
    }
    return name;
}

FrameWindow::FrameWindow(standins::RQ16Dtm& dtm, standins::SimulatedCommunication& communication,
                         simulator::SimulatedModule& module, bool interactive, QWidget* parent)
    : QMainWindow(parent), m_dtm(dtm), m_communication(communication), m_module(module),
      m_interactive(interactive) {
    m_texts.add(
        [this] { setWindowTitle(tr("RQ16 frame application - output module DO8 (simulated)")); });
    m_mdi = new QMdiArea(this);
    m_mdi->setBackground(QColor(0x5a, 0x6e, 0x82));
    m_mdi->viewport()->installEventFilter(this);
    setCentralWidget(m_mdi);

    auto* functions = new QDockWidget(this);
    m_texts.add([functions] { functions->setWindowTitle(tr("Functions")); });
    functions->setObjectName(QStringLiteral("functions"));
    functions->setFeatures(QDockWidget::NoDockWidgetFeatures);
    functions->setWidget(buildFunctionPanel());
    addDockWidget(Qt::LeftDockWidgetArea, functions);

    auto* dataSet = new QDockWidget(this);
    m_texts.add([dataSet] { dataSet->setWindowTitle(tr("Data set")); });
    dataSet->setObjectName(QStringLiteral("dataSet"));
    dataSet->setWidget(buildDataSetPanel());
    addDockWidget(Qt::LeftDockWidgetArea, dataSet);

    auto* simulatorDock = new QDockWidget(this);
    m_texts.add([simulatorDock] { simulatorDock->setWindowTitle(tr("Simulated module")); });
    simulatorDock->setObjectName(QStringLiteral("simulator"));
    simulatorDock->setWidget(buildSimulatorPanel());
    addDockWidget(Qt::RightDockWidgetArea, simulatorDock);

    auto* events = new QDockWidget(this);
    m_texts.add([events] { events->setWindowTitle(tr("Events")); });
    events->setObjectName(QStringLiteral("events"));
    m_events = new QPlainTextEdit(events);
    m_events->setReadOnly(true);
    m_events->setMaximumBlockCount(2000);
    m_events->setFont(QFont(QStringLiteral("monospace"), 8));
    events->setWidget(m_events);
    // Every line of ten cycling views appears; of more, the latest.
    m_eventFeed = new EventPanelFeed(m_events, 40, true, this);
    addDockWidget(Qt::BottomDockWidgetArea, events);
    resizeDocks({events}, {150}, Qt::Vertical);

    buildKeyboardMenus({functions, dataSet, simulatorDock, events});
    buildLanguageMenu();

    connect(&m_communication, &standins::SimulatedCommunication::traffic, this,
            [this](const QString& line) {
                // Bus lines wait for the next batch; the frame's own events
                // (log) appear at once, after the bus lines before them.
                if (m_eventFeed) {
                    m_eventFeed->add(QStringLiteral("bus: ") + line);
                }
            });

    m_dtm.SetHost(this);
    SetRegistryProblemHandler([this](const QString& problem) { log(problem); });
    auto* slot = new QLabel(this);
    statusBar()->addPermanentWidget(slot);
    m_texts.add([this, slot] {
        slot->setText(tr("Simulated module on slot %1").arg(m_dtm.parameters().SlotNumber()));
    });
    tellStoredDataProblems();
    resize(1360, 860);
}

FrameWindow::~FrameWindow() {
    SetRegistryProblemHandler({});
    m_dtm.SetHost(nullptr);
}

QWidget* FrameWindow::buildFunctionPanel() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);
    for (const QString& progId : ViewProgrammaticIds()) {
        auto* button = new QPushButton(panel);
        button->setMinimumHeight(30);
        const bool available = IsControlAvailable(progId);
        m_texts.add([button, progId, available] {
            button->setText(available ? viewName(progId)
                                      : tr("%1 (not yet available)").arg(viewName(progId)));
            button->setToolTip(available ? tr("Open %1").arg(progId)
                                         : tr("This view is not built into the library yet."));
        });
        if (available) {
            connect(button, &QPushButton::clicked, this, [this, progId] { openFunction(progId); });
        } else {
            button->setEnabled(false);
        }
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return panel;
}

QWidget* FrameWindow::buildDataSetPanel() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);

    auto* lockBox = new QGroupBox(panel);
    auto* lockLayout = new QVBoxLayout(lockBox);
    auto* thisDtm = new QRadioButton(lockBox);
    auto* other = new QRadioButton(lockBox);
    auto* released = new QRadioButton(lockBox);
    auto* user = new QLineEdit(QStringLiteral("engineer2"), lockBox);
    m_texts.add([=] {
        lockBox->setTitle(tr("Data set lock"));
        thisDtm->setText(tr("This DTM holds it"));
        other->setText(tr("Another user holds it"));
        released->setText(tr("Released"));
        user->setPlaceholderText(tr("user name"));
    });
    thisDtm->setChecked(m_dtm.kernel().lockHolder() == standins::LockHolder::ThisDtm);
    other->setChecked(m_dtm.kernel().lockHolder() == standins::LockHolder::OtherUser);
    released->setChecked(m_dtm.kernel().lockHolder() == standins::LockHolder::Released);
    lockLayout->addWidget(thisDtm);
    lockLayout->addWidget(other);
    lockLayout->addWidget(user);
    lockLayout->addWidget(released);
    auto apply = [this, thisDtm, other, user] {
        const standins::LockHolder holder = thisDtm->isChecked() ? standins::LockHolder::ThisDtm
                                            : other->isChecked() ? standins::LockHolder::OtherUser
                                                                 : standins::LockHolder::Released;
        // The user name goes to the views as the kernel's lock events carry
        // it; it is not translated.
        const QString name =
            holder == standins::LockHolder::ThisDtm ? QStringLiteral("this DTM") : user->text();
        m_dtm.SetDataSetLock(holder, name);
        log(tr("data set lock: %1 (%2)")
                .arg(holder == standins::LockHolder::ThisDtm     ? tr("this DTM")
                     : holder == standins::LockHolder::OtherUser ? tr("other user")
                                                                 : tr("released"),
                     name));
    };
    for (QRadioButton* b : {thisDtm, other, released}) {
        connect(b, &QRadioButton::toggled, this, [apply](bool on) {
            if (on) {
                apply();
            }
        });
    }
    layout->addWidget(lockBox);

    auto* stateBox = new QGroupBox(QStringLiteral("DTM"), panel);
    auto* form = new QFormLayout(stateBox);
    auto* state = new QSpinBox(stateBox);
    state->setRange(0, 9);
    state->setValue(m_dtm.kernel().state());
    connect(state, &QSpinBox::valueChanged, this, [this](int v) { m_dtm.SetState(v); });
    auto* stateLabel = new QLabel(stateBox);
    stateLabel->setBuddy(state);
    form->addRow(stateLabel, state);
    auto* reload = new QPushButton(stateBox);
    reload->setObjectName(QStringLiteral("reloadDataSet"));
    m_texts.add([=] {
        stateLabel->setText(tr("Kernel state"));
        state->setToolTip(tr("4: configured offline, 6: online"));
        reload->setText(tr("Reload data set"));
        reload->setToolTip(tr("Read the data set file again, as after a change by another tool"));
    });
    connect(reload, &QPushButton::clicked, this, [this] {
        try {
            m_dtm.ReloadDataSet();
        } catch (const ComError& e) {
            // The data set and the views' edits stay as they are.
            OnErrorMessage(m_dtm.parameters().SystemTag(),
                           e.description() + QLatin1Char(' ') + tr("The data set in use is kept."));
            return;
        }
        showDataSet();
        log(tr("data set reloaded"));
        tellStoredDataProblems();
    });
    form->addRow(reload);
    layout->addWidget(stateBox);

    auto* contents = new QGroupBox(panel);
    m_texts.add([contents] { contents->setTitle(tr("Contents")); });
    auto* contentsLayout = new QVBoxLayout(contents);
    m_dataSetView = new QLabel(contents);
    m_dataSetView->setWordWrap(true);
    m_dataSetView->setTextInteractionFlags(Qt::TextSelectableByMouse);
    contentsLayout->addWidget(m_dataSetView);
    layout->addWidget(contents);
    m_texts.add([this] { showDataSet(); });
    layout->addStretch(1);
    return panel;
}

QWidget* FrameWindow::buildSimulatorPanel() {
#ifdef RQ16_HAVE_SIMULATOR_PANEL
    auto* scroll = new WholeWidthScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(new SimulatorPanel(m_module, m_communication));
    return scroll;
#else
    auto* label = new QLabel(tr("No fault panel in this build."));
    label->setWordWrap(true);
    return label;
#endif
}

void FrameWindow::buildLanguageMenu() {
    // Each language is named in itself, so that a person who cannot read the
    // current one still finds their own.
    const std::pair<QString, QString> names[] = {{QStringLiteral("en"), QStringLiteral("English")},
                                                 {QStringLiteral("de"), QStringLiteral("Deutsch")}};
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Language / Sprache"));
    m_languages = new QActionGroup(this);
    for (const auto& [code, name] : names) {
        QAction* action = menu->addAction(name);
        action->setObjectName(QStringLiteral("language_") + code);
        action->setData(code);
        action->setCheckable(true);
        action->setChecked(code == language());
        m_languages->addAction(action);
        connect(action, &QAction::triggered, this, [this, code = code] { setLanguage(code); });
    }
    menu->addSeparator();
    QAction* note = menu->addAction(QString());
    note->setEnabled(false);
    m_texts.add([note] { note->setText(tr("Views already open keep their language.")); });
}

void FrameWindow::buildKeyboardMenus(const std::vector<QDockWidget*>& panels) {
    QMenu* functions = menuBar()->addMenu(QString());
    m_texts.add([functions] { functions->setTitle(tr("&Functions")); });
    int number = 0;
    for (const QString& progId : ViewProgrammaticIds()) {
        QAction* open =
            functions->addAction(QString(), this, [this, progId] { openFunction(progId); });
        m_texts.add([open, progId] { open->setText(viewName(progId)); });
        open->setObjectName(QStringLiteral("open_") + progId.section(QLatin1Char('.'), 1));
        open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + number++)));
        open->setEnabled(IsControlAvailable(progId));
    }

    QMenu* window = menuBar()->addMenu(QString());
    m_texts.add([window] { window->setTitle(tr("&Window")); });
    const auto addWindowAction = [this, window](const char* text, const QKeySequence& keys,
                                                auto&&... slot) {
        QAction* action = window->addAction(QString(), slot...);
        action->setShortcut(keys);
        m_texts.add([action, text] { action->setText(tr(text)); });
    };
    // Also when the focus is in a panel; the view windows' own menus give
    // these keys up (openFunction).
    addWindowAction(QT_TR_NOOP("&Close view"), QKeySequence(Qt::CTRL | Qt::Key_W), this, [this] {
        if (QMdiSubWindow* sub = m_mdi->currentSubWindow()) {
            sub->close();
        }
    });
    addWindowAction(QT_TR_NOOP("&Next view"), QKeySequence(Qt::CTRL | Qt::Key_F6), m_mdi,
                    &QMdiArea::activateNextSubWindow);
    addWindowAction(QT_TR_NOOP("&Previous view"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6),
                    m_mdi, &QMdiArea::activatePreviousSubWindow);
    window->addSeparator();
    // Ctrl+Shift and the panel's English initial, in every language:
    // F(unctions), D(ata set), M(odule), E(vents).
    const Qt::Key keys[] = {Qt::Key_F, Qt::Key_D, Qt::Key_M, Qt::Key_E};
    for (std::size_t i = 0; i < panels.size() && i < std::size(keys); ++i) {
        QDockWidget* panel = panels[i];
        QAction* go = window->addAction(QString(), this, [this, panel] { focusPanel(panel); });
        // The panels' titles are set before: their texts were added first.
        m_texts.add([go, panel] { go->setText(tr("%1 panel").arg(panel->windowTitle())); });
        go->setObjectName(QStringLiteral("focus_") + panel->objectName());
        go->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | keys[i]));
    }
}

void FrameWindow::focusPanel(QDockWidget* panel) {
    panel->show();
    panel->raise();
    QWidget* contents = panel->widget();
    for (QWidget* w = contents->nextInFocusChain(); w != contents; w = w->nextInFocusChain()) {
        if (contents->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() &&
            w->isVisibleTo(contents)) {
            w->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

void FrameWindow::setLanguage(const QString& language) {
    const QString supported = SupportedLanguage(language);
    if (supported.isEmpty()) {
        log(tr("language '%1' has no texts; keeping %2").arg(language, this->language()));
        return;
    }
    m_dtm.kernel().resources().SetLanguage(supported);
    InstallTranslations(supported);
    if (m_languages) {
        for (QAction* action : m_languages->actions()) {
            action->setChecked(action->data().toString() == supported);
        }
    }
    log(tr("language of views opened from now on: %1").arg(supported));
}

QString FrameWindow::language() const {
    return m_dtm.kernel().resources().Language();
}

QString FrameWindow::openFunction(const QString& progId) {
    auto* sub = new QMdiSubWindow;
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    QString invokeId;
    QWidget* view = m_dtm.OpenFunction(progId, nullptr, &invokeId);
    if (!view) {
        delete sub;
        log(tr("could not open %1").arg(progId));
        return {};
    }
    // Views keep their design size, grown where their contents need more.
    if (const QSize hint = view->sizeHint(); hint.isValid()) {
        view->resize(view->size().expandedTo(hint));
    }
    const QSize viewSize = view->size();
    // A view larger than the area (the screen while the window is hidden)
    // scrolls inside a window that fits.
    const QSize area = m_mdi->isVisible() ? m_mdi->viewport()->size()
                                          : m_mdi->screen()->availableGeometry().size();
    QScrollArea* scroll = nullptr;
    if (viewSize.width() > area.width() || viewSize.height() > area.height()) {
        scroll = new QScrollArea;
        scroll->setWidget(view);
        sub->setWidget(scroll);
    } else {
        sub->setWidget(view);
    }
    // The view's name in the language of its texts, which it keeps.
    sub->setWindowTitle(viewName(progId) + QStringLiteral(" - ") +
                        Shortened(m_dtm.parameters().data().typeName, kShownTypeName));
    sub->setProperty("invokeId", invokeId);
    sub->installEventFilter(this);
    for (QAction* action : sub->systemMenu()->actions()) {
        action->setShortcuts({}); // the Window menu's shortcuts serve every view
    }
    m_mdi->addSubWindow(sub);
    sub->show();
    // The window around the view: the view's size plus the window's frame,
    // within the area.
    const QSize frame = (sub->size() - sub->widget()->size()).expandedTo(QSize(0, 0));
    const QSize inner = scroll
                            ? viewSize + QSize(scroll->verticalScrollBar()->sizeHint().width(),
                                               scroll->horizontalScrollBar()->sizeHint().height())
                            : viewSize;
    sub->resize((inner + frame).boundedTo(area));
    m_windows[invokeId] = sub;
    log(tr("opened %1 as %2").arg(progId, invokeId));
    return invokeId;
}

void FrameWindow::releaseView(const QString& invokeId) {
    const bool result = m_dtm.ReleaseView(invokeId);
    log(QStringLiteral("PrepareToRelease(%1) returned %2")
            .arg(invokeId, result ? QStringLiteral("true") : QStringLiteral("false")));
}

QMdiSubWindow* FrameWindow::windowOf(const QString& invokeId) const {
    const auto it = m_windows.find(invokeId);
    return it == m_windows.end() ? nullptr : it->second.data();
}

void FrameWindow::scheduleCoverage() {
    if (!m_coverageQueued) {
        m_coverageQueued = true;
        QTimer::singleShot(0, this, &FrameWindow::updateCoverage);
    }
}

void FrameWindow::updateCoverage() {
    m_coverageQueued = false;
    m_covered.clear();
    // A window covers what is below it wholly, as the drawing of the windows
    // takes it to.
    QRegion open(m_mdi->viewport()->rect());
    const QList<QMdiSubWindow*> windows = m_mdi->subWindowList(QMdiArea::StackingOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QMdiSubWindow* sub = *it;
        if (!sub->isVisible() || sub->isMinimized()) {
            continue;
        }
        const bool covered = !open.intersects(sub->geometry());
        if (QWidget* content = sub->widget(); content && content->updatesEnabled() == covered) {
            content->setUpdatesEnabled(!covered);
        }
        if (covered) {
            m_covered.emplace_back(sub);
        }
        open -= sub->geometry();
    }
}

void FrameWindow::uncover(const QRect& area) {
    for (auto it = m_covered.begin(); it != m_covered.end();) {
        QMdiSubWindow* sub = *it;
        if (sub != nullptr && !area.intersects(sub->geometry())) {
            ++it;
            continue;
        }
        if (sub != nullptr && sub->widget() != nullptr) {
            sub->widget()->setUpdatesEnabled(true);
        }
        it = m_covered.erase(it);
    }
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ZOrderChange:
    case QEvent::WindowStateChange:
        if (watched == m_mdi->viewport()) {
            if (event->type() == QEvent::Resize) {
                uncover(m_mdi->viewport()->rect());
                scheduleCoverage();
            }
        } else if (auto* sub = qobject_cast<QMdiSubWindow*>(watched)) {
            QRect area = sub->geometry();
            if (event->type() == QEvent::Move) {
                area |= QRect(static_cast<QMoveEvent*>(event)->oldPos(), sub->size());
            } else if (event->type() == QEvent::Resize) {
                area |= QRect(sub->pos(), static_cast<QResizeEvent*>(event)->oldSize());
            }
            // A window raised, moved, grown or shown comes out from under
            // others with what it meets; one lowered, moved away, shrunk or
            // hidden lets out what it met.
            uncover(area);
            scheduleCoverage();
        }
        break;
    default:
        break;
    }
    // Closing a view's window asks the view to release itself; the window
    // goes away once the view is destroyed.
    if (event->type() == QEvent::Close) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(watched)) {
            const QString id = sub->property("invokeId").toString();
            if (!id.isEmpty() && m_windows.count(id) && !sub->property("destroyed").toBool()) {
                event->ignore();
                if (m_dtm.StateOf(id) == standins::RQ16Dtm::ViewState::Open) {
                    releaseView(id);
                }
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrameWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        m_texts.retranslate();
    }
    QMainWindow::changeEvent(event);
}

void FrameWindow::closeEvent(QCloseEvent* event) {
    if (m_windows.empty()) {
        event->accept();
        return;
    }
    // Release every view first; the window closes when the last is gone.
    event->ignore();
    m_quitting = true;
    for (const auto& [id, sub] : std::map(m_windows)) {
        if (m_dtm.StateOf(id) == standins::RQ16Dtm::ViewState::Open) {
            releaseView(id);
        }
    }
}

void FrameWindow::log(const QString& line) {
    if (m_eventFeed) {
        m_eventFeed->add(Shortened(line, kShownMessage));
        m_eventFeed->flush();
    }
}

void FrameWindow::OnInitFinished(const QString& invokeId) {
    log(QStringLiteral("InitFinished(%1)").arg(invokeId));
}

void FrameWindow::OnRequestClose(const QString& invokeId) {
    log(QStringLiteral("RequestClose(%1)").arg(invokeId));
}

void FrameWindow::OnPreparedToRelease(const QString& invokeId) {
    log(QStringLiteral("PreparedToRelease(%1)").arg(invokeId));
}

void FrameWindow::OnViewDestroyed(const QString& invokeId) {
    log(tr("view %1 destroyed").arg(invokeId));
    const auto it = m_windows.find(invokeId);
    if (it == m_windows.end()) {
        return;
    }
    QPointer<QMdiSubWindow> sub = it->second;
    m_windows.erase(it);
    if (sub) {
        // The view, deleted already or about to be, goes with its window:
        // taking it out first would walk the focus chain of the whole frame
        // window, every other view's widgets included.
        sub->setProperty("destroyed", true);
        sub->close();
        sub->deleteLater();
    }
    if (m_quitting && m_windows.empty()) {
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void FrameWindow::OnErrorMessage(const QString& systemTag, const QString& message) {
    log(tr("error [%1]: %2").arg(systemTag, message));
    statusBar()->showMessage(Shortened(message, kShownMessage), 8000);
    if (m_interactive) {
        // Not modal to the views: the message must not block their callbacks.
        auto* box = new QMessageBox(QMessageBox::Warning, tr("Device message"),
                                    Shortened(message, kShownMessage), QMessageBox::Ok, this);
        box->setTextFormat(Qt::PlainText);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    }
}

void FrameWindow::OnDataSetSaveRequested() {
    log(tr("data set save requested"));
}

void FrameWindow::OnDataSetUnlockRequested() {
    log(tr("data set unlock requested"));
}

void FrameWindow::OnDataSetWritten(const QString& path) {
    log(tr("data set written to %1").arg(DisplayPath(path)));
    showDataSet();
}

void FrameWindow::tellStoredDataProblems() {
    for (const QString& problem : m_dtm.parameters().StoredDataProblems()) {
        log(problem);
        statusBar()->showMessage(Shortened(problem, kShownMessage));
    }
}

void FrameWindow::showDataSet() {
    if (!m_dataSetView) {
        return;
    }
    const standins::DataSet& dataSet = m_dtm.parameters().data();
    QStringList bytes;
    for (const auto b : dataSet.parameterBytes) {
        bytes << QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
    }
    const QString file = m_dtm.parameters().dataSetFile();
    m_dataSetView->setText(
        tr("<b>%1</b>, slot %2<br>Parameter bytes: <tt>%3</tt><br>File: %4")
            .arg(m_dataSetView->fontMetrics()
                     .elidedText(Shortened(dataSet.typeName, kShownTypeName), Qt::ElideRight,
                                 kPanelTypeNameWidth)
                     .toHtmlEscaped())
            .arg(dataSet.slotNumber)
            .arg(bytes.join(QLatin1Char(' ')),
                 file.isEmpty() ? tr("(in memory)") : DisplayPath(file).toHtmlEscaped()));
}

} // namespace rq16::frameapp
