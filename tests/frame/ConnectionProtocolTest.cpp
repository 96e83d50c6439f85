// The connection protocol without a view: events in, steps out, per view
// over its failure table. Sends are accepted (or refused, as the script
// says) at once, as a view carries them out.

#include "frame/ConnectionProtocol.h"

#include <QRegularExpression>

#include <cstring>

#include <gtest/gtest.h>

using namespace rq16;
using Protocol = ConnectionProtocol;
using Kind = Protocol::Step::Kind;

namespace {

/// A machine whose ids read ID1, ID2, ... run by a script of events.
class Machine {
public:
    explicit Machine(Protocol::Traits traits)
        : p(std::move(traits),
            {[this] { return QStringLiteral("ID%1").arg(++ids); }, [this] { return kernel; }}) {}

    /// The steps with the results of sends and fetches carried out in place.
    QStringList Run(const Protocol::Steps& steps) {
        QStringList lines;
        for (const Protocol::Step& step : steps) {
            if (logs || (step.kind != Kind::Log && step.kind != Kind::LogTimeOfDay)) {
                lines << Describe(step);
            }
            if (step.kind == Kind::Send) {
                lines << Run(p.Sent(step.request, step.invokeId, accept));
            } else if (step.kind == Kind::FetchEnableRequest) {
                lines << Run(p.EnableRequestFetched(QStringLiteral("enable")));
            }
        }
        return lines;
    }

    /// Runs the events of `script` (see Event), separated by blanks; returns
    /// the lines of the last one.
    QStringList Script(const QString& script) {
        QStringList lines;
        for (const QString& event : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            lines = Event(event);
            all << lines;
        }
        return lines;
    }

    QString Summary() const {
        const Protocol::State& s = p.state;
        const bool im = p.traits().imSequence;
        QStringList parts{s.IsOnline() ? "online" : "offline"};
        const std::pair<bool, QString> shown[] = {
            {!s.sOnlineInvokeId.isEmpty(), "id " + s.sOnlineInvokeId},
            {!s.sReadOutputInvokeId.isEmpty(), "read " + s.sReadOutputInvokeId},
            {s.cycleTimer, "timer"},
            {s.blnDisconnecting, "disconnecting"},
            {s.blnClosing, "closing"},
            {s.blnPrepareToRelease, "release"},
            {s.released, "released"},
            {im, QStringLiteral("state %1").arg(s.transactionResponseState)},
            {im && s.m_lSavePending != 0, "save"},
            {im && s.m_bIMDataChanged, "edits"},
            {im && s.m_bIMDataRead, "im read"}};
        for (const auto& [on, text] : shown) {
            if (on) {
                parts << text;
            }
        }
        return parts.join(QLatin1Char(' '));
    }

    int ids = 0;
    int kernel = 6;
    bool accept = true;
    /// Log entries are among the lines.
    bool logs = false;
    Protocol p;
    /// Every line of the script so far.
    QStringList all;

private:
    QStringList Answer(const QString& id, const Protocol::Answer& answer) {
        return Run(p.TransactionAnswer(id, QStringLiteral("<answer>"), [&] { return answer; }));
    }
    // C D R W: CallConnect, CallDisconnect, the read, CallWriteIMData; E X P
    // I: extra button, close, release, Init end; T F: cycle and enable tick;
    // c+ c- c?: connect answer with a reference, negative, unreadable; t+ t-
    // t0 t? tf: transaction answer with data, negative, empty, unreadable,
    // foreign; d df: disconnect answer, foreign; a: abort; wN: answer to IDN;
    // +N -N vN: channel N forced, not forced, value 1; e: I&M texts edited;
    // i: I&M data read; kN: kernel state N; ! .: refuse, accept sends; |:
    // forget the lines so far.
    QStringList Event(const QString& event) {
        const QString own = p.state.sReadOutputInvokeId.isEmpty() ? p.state.sOnlineInvokeId
                                                                  : p.state.sReadOutputInvokeId;
        const int n = event.mid(1).toInt();
        const Protocol::Answer answer{event != "c?" && event != "t?",
                                      "garbled",
                                      event == "c+" ? "REF" : "",
                                      event == "t-",
                                      "refused",
                                      event == "t+",
                                      {0x00, 0x00, 0x00, 0x01}};
        // clang-format off
        switch (event.at(0).toLatin1()) {
        case 'C': return Run(p.CallConnect());
        case 'D': return Run(p.CallDisconnect());
        case 'R': return Run(p.CallRead());
        case 'W': return Run(p.CallWriteIMData());
        case 'E': return Run(p.ExtraCommand());
        case 'X': return Run(p.Close());
        case 'I': return Run(p.InitEnded(QStringLiteral("INIT")));
        case 'T': return Run(p.CycleTick());
        case 'F': return Run(p.EnableForceTick());
        case 'P': { const auto release = p.PrepareToRelease();
                    return Run(release.steps) << QStringLiteral("answer %1").arg(release.answer); }
        case 'a': return Run(p.Abort(QStringLiteral("REF")));
        case 'd': return Run(p.DisconnectAnswer(event == "df" ? QStringLiteral("FOREIGN") : p.state.sOnlineInvokeId));
        case 'w': return Answer(QStringLiteral("ID%1").arg(n), answer);
        case '+': return Run(p.ForceActivatedChanged(n, true));
        case '-': return Run(p.ForceActivatedChanged(n, false));
        case 'v': return Run(p.ForceValueChanged(n, true));
        case '|': all.clear(); return {};
        case 'e': p.ImTextsEdited(); return {};
        case 'i': p.state.m_bIMDataRead = true; return {};
        case 'k': kernel = n; return {};
        case '!': accept = false; return {};
        case '.': accept = true; return {};
        case 'c': return Run(p.ConnectAnswer(p.state.sOnlineInvokeId, [&] { return answer; }));
        case 't': return Answer(event == "tf" ? QStringLiteral("FOREIGN") : own, answer);
        }
        // clang-format on
        ADD_FAILURE() << "unknown event " << event.toStdString();
        return {};
    }
};

struct Row {
    const char* name;
    const char* script;
    /// The lines of the script's last event, separated by " | ", without
    /// the log entries unless it starts with "log: ". Short for
    /// common runs: @connect the two entries before the connect request,
    /// @busy DisableButtons and ShowActivity, @back EnableButtons and
    /// HideActivity, @offline SetOnline(false).
    const char* last;
    /// The state afterwards (Machine::Summary).
    const char* state;
};

QStringList Lines(const char* text) {
    QString lines = QString::fromUtf8(text);
    lines.replace(QStringLiteral("@connect"),
                  QStringLiteral(".CallConnect: Trying to get conntect request document | "
                                 ".CallConnect: actually trying to connect"));
    lines.replace(QStringLiteral("@busy"),
                  QStringLiteral("Buttons.DisableButtons | Buttons.ShowActivity"));
    lines.replace(QStringLiteral("@back"),
                  QStringLiteral("Buttons.EnableButtons | Buttons.HideActivity"));
    lines.replace(QStringLiteral("@offline"), QStringLiteral("Buttons.SetOnline(false)"));
    return lines.isEmpty() ? QStringList() : lines.split(QStringLiteral(" | "));
}

void ExpectRows(Protocol::Traits (*traits)(), const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Machine m(traits());
        const char* last = row.last;
        m.logs = std::strncmp(last, "log: ", 5) == 0;
        EXPECT_EQ(m.Script(QString::fromLatin1(row.script)), Lines(m.logs ? last + 5 : last));
        EXPECT_EQ(m.Summary(), QLatin1String(row.state));
    }
}

TEST(ConnectionProtocolFailures, Diagnosis) {
    ExpectRows(
        &Protocol::DiagnosisTraits,
        {
            {"refused connect", "! C",
             "log: .CallConnect:  | Buttons.DisableButtons | @connect | Send(Connect,ID1) | "
             "Buttons.EnableButtons | .CallConnect: objBaseDtmCommunication.Connect returned false",
             "offline"},
            {"negative connect", "C c-",
             "Report(OnConnectResponse,0,refused) | ConnectionLost | ShowConnectError(refused) | "
             "@back",
             "offline"},
            {"unreadable connect: connect again", "C c?",
             "Report(OnConnectResponse,0,garbled) | Buttons.HideActivity | @busy | "
             "Queue(CallConnect)",
             "offline"},
            {"release while connecting, unreadable answer: released once offline and idle",
             "C P c? D", "PreparedToRelease", "offline release released"},
            {"release while connecting: connected, then disconnected", "C P c+",
             "Buttons.SetOnline(true) | Queue(CallDisconnect)", "online release"},
            {"release during a read: one disconnect, then released and silent",
             "C c+ R P t+ D D d D", "", "offline release released"},
            {"refused read", "C c+ ! R", "Send(Read,ID2) | @back", "online"},
            {"negative read", "C c+ R t-", "@back | Report(OnTransactionResponse,0,No data read)",
             "online"},
            {"unreadable read", "C c+ R t?", "@back | Report(OnTransactionResponse,0,garbled)",
             "online"},
            {"foreign answer", "C c+ R tf", "", "online id ID2"},
            {"foreign disconnect answer", "C c+ R t+ D df",
             "log: .OnDisconnectResponse: sOnlineInvokeId: ID3 | .OnDisconnectResponse: invokeId: "
             "FOREIGN | @offline | .OnDisconnectResponse: Not my request, ignoring",
             "online id ID3"},
            {"lost while reading", "C c+ R a",
             "log: .OnAbort: communicationReference: REF | @offline | Report(OnAbort,0,#1127) | "
             "ConnectionLost | @back",
             "offline"},
            {"refused disconnect: the bar stays as it was", "C c+ R P t+ ! D",
             "log: .CallDisconnect: sOnlineInvokeId: ID3 | .CallDisconnect: actually trying to "
             "disconnect | Send(Disconnect,ID3) | .CallDisconnect: "
             "objBaseDtmCommunication.Disconnect returned false",
             "online release"},
            {"refused disconnect: a later release disconnects again", "C c+ R P t+ ! D . P",
             "CloseHelp | @busy | Queue(CallDisconnect) | answer 1", "online closing release"},
            {"... and is released by its answer", "C c+ R P t+ ! D . P D d",
             "@offline | PreparedToRelease", "offline closing release released"},
            {"a reread while disconnecting waits for the disconnect answer", "C c+ R t+ D E R",
             "Queue(ReadDiag)", "online id ID3"},
        });
}

TEST(ConnectionProtocolFailures, Observation) {
    ExpectRows(
        &Protocol::ObservationTraits,
        {
            {"refused connect", "! C",
             "log: : CallConnect | Buttons.DisableButtons | @connect | Send(Connect,ID1) | "
             "Buttons.EnableButtons | .CallConnect: objBaseDtmCommunication.Connect returned false "
             "| HasConnection(false) | Buttons.HideActivity",
             "offline"},
            {"negative connect", "C c-",
             "Report(OnConnectResponse,0,refused) | Buttons.SetExtraButton(#7011) | @back",
             "offline"},
            {"unreadable connect: a read step at once, which connects", "C c?",
             "Report(OnConnectResponse,0,garbled) | Buttons.HideActivity | Buttons.DisableButtons "
             "| Queue(CallConnect)",
             "offline"},
            {"refused read: the cycle stops", "C c+ ! R",
             "Send(Read,ID2) | Report(CallReadOutputValues,-2147024809,Transaction failed)",
             "online"},
            {"negative read: the cycle goes on", "C c+ R t-",
             "Report(OnTransactionResponse,0,refused) | timCyclic on", "online timer"},
            {"read without data: the cycle goes on", "C c+ R t0",
             "Report(OnTransactionResponse,-2147024809,No data read and no communcation error ...) "
             "| timCyclic on",
             "online timer"},
            {"unreadable read: the cycle stops", "C c+ R t?",
             "@back | Report(OnTransactionResponse,0,garbled)", "online"},
            {"foreign answer", "C c+ R tf", "", "online read ID2"},
            {"foreign disconnect answer: the cycle goes on", "C c+ R t+ df",
             "@offline | Buttons.SetExtraButton(#7011) | Buttons.HideActivity", "online timer"},
            {"lost while reading", "C c+ R a",
             "log: .OnAbort: sOnlineInvokeId:  | @offline | Report(OnAbort,0,#1127) | timCyclic "
             "off | HasConnection(false) | Buttons.SetExtraButton(#7011) | Buttons.HideActivity | "
             "@back",
             "offline"},
            {"lost while disconnecting: reading works again and so does release",
             "C c+ R t+ E T R t+ D a C c+ R t+ P",
             "CloseHelp | @busy | timCyclic off | Queue(CallDisconnect) | answer 1",
             "online closing release"},
            {"refused disconnect: only its id goes", "C c+ R t+ E T R t+ ! D",
             "Send(Disconnect,ID4)", "online"},
            {"stop right after the connect answer waits for the first read", "C c+ E",
             "Buttons.ShowActivity", "online"},
            {"stop reading when the cycle has stopped", "C c+ R t? E",
             "Buttons.ShowActivity | Queue(CallDisconnect)", "online"},
            {"release while its disconnect is outstanding only waits", "C c+ R t+ E T R t+ D P",
             "CloseHelp | answer 1", "online id ID4 disconnecting release"},
            {"release while offline, a connect outstanding", "C P",
             "CloseHelp | PreparedToRelease | answer 1", "offline id ID1 released"},
            {"no second connect while one is outstanding", "C C", "", "offline id ID1"},
        });
}

TEST(ConnectionProtocolFailures, Simulation) {
    ExpectRows(
        &Protocol::SimulationTraits,
        {
            {"forcing lost with the connection is re-established before the first read",
             "C c+ +2 a C c+",
             "Buttons.SetOnline(true) | HasConnection(true) | Buttons.SetExtraButton(#7012) "
             "| Buttons.HideActivity | Buttons.EnableButtons | FetchEnableRequest | "
             "Send(ForceEnable,ID5) | Send(ForceWrite,ID6,00040000) | timEnableForce on | "
             "Queue(CallReadOutputValues)",
             "online"},
            {"release with force requests outstanding disconnects first", "C c+ +2 P",
             "CloseHelp | Queue(CallDisconnect) | answer 1", "online release"},
            {"close while forcing stops both timers", "C c+ +2 w2 w3 X",
             "@busy | timCyclic off | timEnableForce off | Queue(CallDisconnect)",
             "online closing"},
            {"close while forcing, disconnect refused: the close stays pending",
             "C c+ +2 w2 w3 X ! D", "Send(Disconnect,ID4)", "online closing"},
            {"... a later release disconnects and is released by the answer",
             "C c+ +2 w2 w3 X ! D . P D d",
             "@offline | Buttons.SetExtraButton(#7011) | Buttons.HideActivity | timCyclic "
             "off | PreparedToRelease",
             "offline closing release released"},
            {"forcing chosen after the close stops at the release", "C c+ X D +2 d P",
             "CloseHelp | timEnableForce off | PreparedToRelease | answer 1", "offline released"},
            {"a loss overtakes the close's disconnect", "C c+ X a D", "", "offline closing"},
            {"no second connect while one is outstanding", "C C", "", "offline id ID1"},
        });
}

TEST(ConnectionProtocolFailures, Identification) {
    // "i e X": an I&M read, an edit, the close: a save starts (kernel state 6).
    const char* const kCloses = "@busy | RequestClose";
    const char* const kSaves = "Queue(CallConnect)";
    ExpectRows(
        &Protocol::IdentificationTraits,
        {
            {"Init offline leaves the bar as it was set up", "k2 I", "", "offline state 1"},
            {"refused request: the sequence stops, nothing else", "C c+ ! R", "Send(Read,ID2)",
             "online state 1"},
            {"refused request in the write sequence", "i e X C c+ W ! t+",
             "Send(WriteIM1Record,ID3)", "online state 11 save edits im read"},
            {"unreadable answer in the write sequence: the connection stays", "i e X C c+ W t?",
             "Report(OnTransactionResponse,0,garbled) | @back",
             "online state 1 save edits im read"},
            {"negative answer in the write sequence", "i e X C c+ W t-",
             "Report(OnTransactionResponse,0,refused) | @back | Queue(CallDisconnect)",
             "online state 14 save edits im read"},
            {"... the next close saves again", "i e X C c+ W t- D d X", kSaves,
             "offline state 11 save edits im read"},
            {"... a release completes when the kernel allows no save", "i e X C c+ W t- D d k2 P",
             "CloseHelp | SaveComment | RequestDataSetUnlock | PreparedToRelease | answer 1",
             "offline released state 1 save edits im read"},
            {"refused connect during a save", "i e X ! C",
             "Buttons.DisableButtons | Send(Connect,ID1) | Buttons.EnableButtons",
             "offline state 11 save edits im read"},
            {"unreadable connect answer during a save: connects again", "i e X C c?",
             "Report(OnConnectResponse,0,garbled) | Buttons.HideActivity | @busy | "
             "Queue(CallConnect)",
             "offline state 11 save edits im read"},
            {"a write queued before a lost connection waits for the next connect",
             "i e X C c+ a C W", "", "offline id ID2 state 1 save edits im read"},
            {"lost during the write: one report", "i e X C c+ W a",
             "@offline | Report(OnAbort,0,#1127) | @back", "offline state 1 save edits im read"},
            {"negative connect with edits: closed without writing", "e C c-",
             "Report(OnConnectResponse,0,#1127+#1138) | @back | RequestClose", "offline state 1"},
            {"close with edits before any I&M read", "e X", kCloses, "offline state 1"},
            {"close with edits in kernel state 2", "i e k2 X", kCloses, "offline state 1 im read"},
            {"close with edits in kernel state 4 saves", "i e k4 X", kSaves,
             "offline state 11 save edits im read"},
            {"close with edits while online saves over that connection", "i C c+ e X",
             "@busy | Queue(CallWriteIMData)", "online state 11 save edits im read"},
            {"release with edits saves first", "i e P", "Queue(CallConnect) | answer 0",
             "offline state 11 save edits im read"},
            {"... asked for again while the save connects: no second connect", "i e P C P C", "",
             "offline id ID1 state 11 save edits im read"},
            {"a save waits for the disconnect after a read, then connects", "i C c+ D e P C d C",
             "Buttons.DisableButtons | Send(Connect,ID3)",
             "offline id ID3 state 11 save edits im read"},
            {"a read that finds no I&M data ends a failed save: the release completes",
             "i e X C c+ W t- D d E C c+ R t+ t- D d e P P",
             "CloseHelp | SaveComment | RequestDataSetUnlock | PreparedToRelease | answer 1",
             "offline released state 1"},
            {"refused disconnect: a later release disconnects, its answer releases",
             "C c+ R t+ t+ t+ t+ t+ t+ t+ ! D . P D d", "@offline | PreparedToRelease",
             "offline closing release released state 1 im read"},
            {"I&M2 read without data", "C c+ R t+ t+ t+ t+ t+ t+ t0",
             "Report(OnTransactionResponse,0,No data read) | ParseQsData | Queue(CallDisconnect)",
             "online state 14"},
            {"refused select: no I&M data", "C c+ R t+ t-",
             "ShowNoImData | ParseQsData | @back | Queue(CallDisconnect)", "online state 14"},
        });
}

TEST(ConnectionProtocolForcing, SendsWhatTheRulesSay) {
    // The connect is ID1; the enable request of the first activation is
    // ID2, its write ID3. "|" forgets what went before.
    const struct {
        const char* name;
        const char* script;
        QStringList sent;
    } cases[] = {
        {"value changes during a write are sent once with the latest masks",
         "C c+ | +2 v2 v3 w3 w4",
         {"Send(ForceEnable,ID2)", "Send(ForceWrite,ID3,00040000)", "timEnableForce on",
          ".writeForceValues: Busy with update", ".writeForceValues: Busy with update",
          ".OnTransactionResponse: Trigger another update of force values",
          "Send(ForceWrite,ID4,0004000C)", "Queue(CallReadOutputValues)"}},
        {"a value with nothing activated is only stored",
         "C c+ | v5 +0",
         {"Send(ForceEnable,ID2)", "Send(ForceWrite,ID3,00010020)", "timEnableForce on"}},
        {"the last deactivation writes an empty mask, a stray one nothing",
         "C c+ +2 w3 | -2 -2",
         {"Send(ForceWrite,ID4,00000000)", "timEnableForce off", "timEnableForce off"}},
        {"a reconnect re-establishes forcing with what changed offline",
         "C c+ +1 d v1 C | c+",
         {"Send(ForceEnable,ID5)", "Send(ForceWrite,ID6,00020002)", "timEnableForce on",
          "Queue(CallReadOutputValues)"}},
        {"refused requests are reported and not outstanding",
         "C c+ | ! +7 . v7 F",
         {"Send(ForceEnable,ID2)", "Report(GlobalForcingEnable,-2147024809,Transaction failed)",
          "Send(ForceWrite,ID3,00800000)",
          "Report(writeForceOutputValues,-2147024809,Transaction failed)", "timEnableForce on",
          "Send(ForceWrite,ID4,00800080)", "Send(ForceEnable,ID5)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Machine m(Protocol::SimulationTraits());
        m.logs = true;
        m.Script(QString::fromLatin1(c.script));
        EXPECT_EQ(m.all.filter(QRegularExpression(QStringLiteral(
                      "^(Send\\(Force|timEnableForce|Report|\\.writeForceValues|.*Trigger|"
                      "Queue\\(CallRead)"))),
                  c.sent);
    }
}

} // namespace
