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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace rq16::frameapp {

namespace {

/// The caption of a view function: its programmatic id without the library.
QString CaptionOf(const QString& progId) {
    return progId.section(QLatin1Char('.'), 1);
}

/// Texts from outside in the window's own places, cut to so many characters.
constexpr qsizetype kShownTypeName = 80;
constexpr qsizetype kShownMessage = 2000;
/// The type name in the data set panel fits its narrow column, in pixels.
constexpr int kPanelTypeNameWidth = 160;

QString Shortened(const QString& text, qsizetype length) {
    return text.size() <= length ? text : text.left(length - 1) + QChar(0x2026);
}

} // namespace

FrameWindow::FrameWindow(standins::RQ16Dtm& dtm, standins::SimulatedCommunication& communication,
                         simulator::SimulatedModule& module, bool interactive, QWidget* parent)
    : QMainWindow(parent), m_dtm(dtm), m_communication(communication), m_module(module),
      m_interactive(interactive) {
    setWindowTitle(QStringLiteral("RQ16 frame application - output module DO8 (simulated)"));
    m_mdi = new QMdiArea(this);
    m_mdi->setBackground(QColor(0x5a, 0x6e, 0x82));
    setCentralWidget(m_mdi);

    auto* functions = new QDockWidget(QStringLiteral("Functions"), this);
    functions->setObjectName(QStringLiteral("functions"));
    functions->setFeatures(QDockWidget::NoDockWidgetFeatures);
    functions->setWidget(buildFunctionPanel());
    addDockWidget(Qt::LeftDockWidgetArea, functions);

    auto* dataSet = new QDockWidget(QStringLiteral("Data set"), this);
    dataSet->setObjectName(QStringLiteral("dataSet"));
    dataSet->setWidget(buildDataSetPanel());
    addDockWidget(Qt::LeftDockWidgetArea, dataSet);

    auto* simulatorDock = new QDockWidget(QStringLiteral("Simulated module"), this);
    simulatorDock->setObjectName(QStringLiteral("simulator"));
    simulatorDock->setWidget(buildSimulatorPanel());
    addDockWidget(Qt::RightDockWidgetArea, simulatorDock);

    auto* events = new QDockWidget(QStringLiteral("Events"), this);
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
    statusBar()->showMessage(QStringLiteral("Offline data set; simulated module on slot %1")
                                 .arg(m_dtm.parameters().SlotNumber()));
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
        auto* button = new QPushButton(CaptionOf(progId), panel);
        button->setMinimumHeight(30);
        if (IsControlAvailable(progId)) {
            button->setToolTip(QStringLiteral("Open %1").arg(progId));
            connect(button, &QPushButton::clicked, this, [this, progId] { openFunction(progId); });
        } else {
            button->setEnabled(false);
            button->setText(button->text() + QStringLiteral(" (not yet available)"));
            button->setToolTip(QStringLiteral("This view is not built into the library yet."));
        }
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return panel;
}

QWidget* FrameWindow::buildDataSetPanel() {
    auto* panel = new QWidget;
    auto* layout = new QVBoxLayout(panel);

    auto* lockBox = new QGroupBox(QStringLiteral("Data set lock"), panel);
    auto* lockLayout = new QVBoxLayout(lockBox);
    auto* thisDtm = new QRadioButton(QStringLiteral("This DTM holds it"), lockBox);
    auto* other = new QRadioButton(QStringLiteral("Another user holds it"), lockBox);
    auto* released = new QRadioButton(QStringLiteral("Released"), lockBox);
    auto* user = new QLineEdit(QStringLiteral("engineer2"), lockBox);
    user->setPlaceholderText(QStringLiteral("user name"));
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
        const QString name =
            holder == standins::LockHolder::ThisDtm ? QStringLiteral("this DTM") : user->text();
        m_dtm.SetDataSetLock(holder, name);
        log(QStringLiteral("data set lock: %1 (%2)")
                .arg(holder == standins::LockHolder::ThisDtm     ? QStringLiteral("this DTM")
                     : holder == standins::LockHolder::OtherUser ? QStringLiteral("other user")
                                                                 : QStringLiteral("released"),
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
    state->setToolTip(QStringLiteral("4: configured offline, 6: online"));
    connect(state, &QSpinBox::valueChanged, this, [this](int v) { m_dtm.SetState(v); });
    form->addRow(QStringLiteral("Kernel state"), state);
    auto* reload = new QPushButton(QStringLiteral("Reload data set"), stateBox);
    reload->setObjectName(QStringLiteral("reloadDataSet"));
    reload->setToolTip(
        QStringLiteral("Read the data set file again, as after a change by another tool"));
    connect(reload, &QPushButton::clicked, this, [this] {
        try {
            m_dtm.ReloadDataSet();
        } catch (const ComError& e) {
            // The data set and the views' edits stay as they are.
            OnErrorMessage(m_dtm.parameters().SystemTag(),
                           e.description() + QStringLiteral(" The data set in use is kept."));
            return;
        }
        showDataSet();
        log(QStringLiteral("data set reloaded"));
        tellStoredDataProblems();
    });
    form->addRow(reload);
    layout->addWidget(stateBox);

    auto* contents = new QGroupBox(QStringLiteral("Contents"), panel);
    auto* contentsLayout = new QVBoxLayout(contents);
    m_dataSetView = new QLabel(contents);
    m_dataSetView->setWordWrap(true);
    m_dataSetView->setTextInteractionFlags(Qt::TextSelectableByMouse);
    contentsLayout->addWidget(m_dataSetView);
    layout->addWidget(contents);
    showDataSet();
    layout->addStretch(1);
    return panel;
}

QWidget* FrameWindow::buildSimulatorPanel() {
#ifdef RQ16_HAVE_SIMULATOR_PANEL
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(new SimulatorPanel(m_module, m_communication));
    scroll->setMinimumWidth(320);
    return scroll;
#else
    auto* label = new QLabel(QStringLiteral("No fault panel in this build."));
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
    menu->addAction(QStringLiteral("Views opened from now on use the chosen language."))
        ->setEnabled(false);
}

void FrameWindow::buildKeyboardMenus(const std::vector<QDockWidget*>& panels) {
    QMenu* functions = menuBar()->addMenu(QStringLiteral("&Functions"));
    int number = 0;
    for (const QString& progId : ViewProgrammaticIds()) {
        QAction* open =
            functions->addAction(CaptionOf(progId), this, [this, progId] { openFunction(progId); });
        open->setObjectName(QStringLiteral("open_") + CaptionOf(progId));
        open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + number++)));
        open->setEnabled(IsControlAvailable(progId));
    }

    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    const auto addWindowAction = [window](const QString& text, const QKeySequence& keys,
                                          auto&&... slot) {
        window->addAction(text, slot...)->setShortcut(keys);
    };
    // Also when the focus is in a panel; the view windows' own menus give
    // these keys up (openFunction).
    addWindowAction(QStringLiteral("&Close view"), QKeySequence(Qt::CTRL | Qt::Key_W), this,
                    [this] {
                        if (QMdiSubWindow* sub = m_mdi->currentSubWindow()) {
                            sub->close();
                        }
                    });
    addWindowAction(QStringLiteral("&Next view"), QKeySequence(Qt::CTRL | Qt::Key_F6), m_mdi,
                    &QMdiArea::activateNextSubWindow);
    addWindowAction(QStringLiteral("&Previous view"),
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6), m_mdi,
                    &QMdiArea::activatePreviousSubWindow);
    window->addSeparator();
    // Ctrl+Shift and the panel's initial: F(unctions), D(ata set),
    // M(odule), E(vents).
    const Qt::Key keys[] = {Qt::Key_F, Qt::Key_D, Qt::Key_M, Qt::Key_E};
    for (std::size_t i = 0; i < panels.size() && i < std::size(keys); ++i) {
        QDockWidget* panel = panels[i];
        QAction* go = window->addAction(panel->windowTitle() + QStringLiteral(" panel"), this,
                                        [this, panel] { focusPanel(panel); });
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
        log(QStringLiteral("language '%1' has no texts; keeping %2")
                .arg(language, this->language()));
        return;
    }
    m_dtm.kernel().resources().SetLanguage(supported);
    if (m_languages) {
        for (QAction* action : m_languages->actions()) {
            action->setChecked(action->data().toString() == supported);
        }
    }
    log(QStringLiteral("language of views opened from now on: %1").arg(supported));
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
        log(QStringLiteral("could not open %1").arg(progId));
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
    sub->setWindowTitle(CaptionOf(progId) + QStringLiteral(" - ") +
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
    log(QStringLiteral("opened %1 as %2").arg(progId, invokeId));
    return invokeId;
}

void FrameWindow::releaseView(const QString& invokeId) {
    const bool result = m_dtm.ReleaseView(invokeId);
    log(QStringLiteral("PrepareToRelease(%1) returned %2")
            .arg(invokeId, result ? "true" : "false"));
}

QMdiSubWindow* FrameWindow::windowOf(const QString& invokeId) const {
    const auto it = m_windows.find(invokeId);
    return it == m_windows.end() ? nullptr : it->second.data();
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
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
    log(QStringLiteral("view %1 destroyed").arg(invokeId));
    const auto it = m_windows.find(invokeId);
    if (it == m_windows.end()) {
        return;
    }
    QPointer<QMdiSubWindow> sub = it->second;
    m_windows.erase(it);
    if (sub) {
        sub->setProperty("destroyed", true);
        sub->setWidget(nullptr);
        sub->close();
        sub->deleteLater();
    }
    if (m_quitting && m_windows.empty()) {
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void FrameWindow::OnErrorMessage(const QString& systemTag, const QString& message) {
    log(QStringLiteral("error [%1]: %2").arg(systemTag, message));
    statusBar()->showMessage(Shortened(message, kShownMessage), 8000);
    if (m_interactive) {
        // Not modal to the views: the message must not block their callbacks.
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Device message"),
                                    Shortened(message, kShownMessage), QMessageBox::Ok, this);
        box->setTextFormat(Qt::PlainText);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    }
}

void FrameWindow::OnDataSetSaveRequested() {
    log(QStringLiteral("data set save requested"));
}

void FrameWindow::OnDataSetUnlockRequested() {
    log(QStringLiteral("data set unlock requested"));
}

void FrameWindow::OnDataSetWritten(const QString& path) {
    log(QStringLiteral("data set written to %1").arg(path));
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
        QStringLiteral("<b>%1</b>, slot %2<br>Parameter bytes: <tt>%3</tt><br>File: %4")
            .arg(m_dataSetView->fontMetrics()
                     .elidedText(Shortened(dataSet.typeName, kShownTypeName), Qt::ElideRight,
                                 kPanelTypeNameWidth)
                     .toHtmlEscaped())
            .arg(dataSet.slotNumber)
            .arg(bytes.join(QLatin1Char(' ')),
                 file.isEmpty() ? QStringLiteral("(in memory)") : file.toHtmlEscaped()));
}

} // namespace rq16::frameapp
