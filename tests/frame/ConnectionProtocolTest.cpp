// The connection protocol without a view: events in, steps out. Sends are
// accepted (or refused, as the case says) at once, as a view would do it.

#include "frame/ConnectionProtocol.h"

#include <gtest/gtest.h>

using namespace rq16;
using Protocol = ConnectionProtocol;
using Request = Protocol::Request;
using ImStates = Protocol::ImStates;

namespace {

/// A machine whose ids read ID1, ID2, ... and whose sends are answered at
/// once, the results carried out in place as a view carries them out.
class Machine {
public:
    explicit Machine(Protocol::Traits traits)
        : p(std::move(traits),
            {[this] { return QStringLiteral("ID%1").arg(++ids); }, [this] { return kernel; }}) {}

    /// The steps of an event, with the results of sends and fetches.
    QStringList Run(const Protocol::Steps& steps) {
        QStringList lines;
        for (const Protocol::Step& step : steps) {
            lines << Describe(step);
            if (step.kind == Protocol::Step::Kind::Send) {
                lines << Run(p.Sent(step.request, step.invokeId, accept));
            } else if (step.kind == Protocol::Step::Kind::FetchEnableRequest) {
                lines << Run(p.EnableRequestFetched(QStringLiteral("enable")));
            }
        }
        return lines;
    }
    QStringList Answer(const QString& invokeId, const Protocol::Answer& answer) {
        return Run(
            p.TransactionAnswer(invokeId, QStringLiteral("<answer>"), [&] { return answer; }));
    }

    int ids = 0;
    int kernel = 6;
    bool accept = true;
    Protocol p;
};

Protocol::Answer Data(ByteArray bytes) {
    Protocol::Answer answer;
    answer.hasData = true;
    answer.data = std::move(bytes);
    return answer;
}

Protocol::Answer Negative(const QString& text) {
    Protocol::Answer answer;
    answer.negative = true;
    answer.errorText = text;
    return answer;
}

/// The lines that start with one of `prefixes`.
QStringList Only(const QStringList& lines, const QStringList& prefixes) {
    QStringList kept;
    for (const QString& line : lines) {
        for (const QString& prefix : prefixes) {
            if (line.startsWith(prefix)) {
                kept << line;
                break;
            }
        }
    }
    return kept;
}

// ---- forcing ----

struct ForcingCase {
    const char* name;
    /// Steps: +i / -i activate / deactivate channel index i, 1i / 0i force
    /// value, t enable timer tick, ai answer to invoke id IDi, d disconnect,
    /// c connect again, r / R refuse / accept requests, | forget the lines.
    const char* steps;
    QStringList expected;
};

class ForcingTest : public ::testing::TestWithParam<ForcingCase> {};

TEST_P(ForcingTest, SendsWhatTheRulesSay) {
    Machine m(Protocol::SimulationTraits());
    m.p.state.communicationReference = QStringLiteral("REF1");
    m.p.state.enableRequest = QStringLiteral("enable");
    QStringList lines;
    for (const QString& step : QString::fromLatin1(GetParam().steps).split(QLatin1Char(' '))) {
        const int i = step.mid(1).toInt();
        // clang-format off
        switch (step.at(0).toLatin1()) {
        case '+': lines << m.Run(m.p.ForceActivatedChanged(i, true)); break;
        case '-': lines << m.Run(m.p.ForceActivatedChanged(i, false)); break;
        case '1': lines << m.Run(m.p.ForceValueChanged(i, true)); break;
        case '0': lines << m.Run(m.p.ForceValueChanged(i, false)); break;
        case 't': lines << m.Run(m.p.EnableForceTick()); break;
        case 'a': lines << m.Answer(QStringLiteral("ID%1").arg(i), {}); break;
        case 'd': m.p.state.sOnlineInvokeId = QStringLiteral("D"); lines << m.Run(m.p.DisconnectAnswer("D")); break;
        case 'c': lines << m.Run(m.p.ConnectAnswer(m.p.state.sOnlineInvokeId, [] { Protocol::Answer a; a.communicationReference = "REF2"; return a; })); break;
        case 'r': m.accept = false; break;
        case 'R': m.accept = true; break;
        case '|': lines.clear(); break;
        }
        // clang-format on
    }
    EXPECT_EQ(Only(lines, {"Send(Force", "timEnableForce", "Report", ".writeForceValues",
                           "Queue(CallReadOutputValues)"}),
              GetParam().expected);
}

// The enable request of the first activation is ID1, its write ID2.
INSTANTIATE_TEST_SUITE_P(
    Protocol, ForcingTest,
    ::testing::Values(
        ForcingCase{"ValueChangesDuringAWriteAreSentOnceWithTheLatestMasks",
                    "+2 12 13 a2 a3",
                    {"Send(ForceEnable,ID1)", "Send(ForceWrite,ID2,00040000)", "timEnableForce on",
                     ".writeForceValues: Busy with update", ".writeForceValues: Busy with update",
                     "Send(ForceWrite,ID3,0004000C)", "Queue(CallReadOutputValues)"}},
        ForcingCase{
            "ValueWithNothingActivatedIsOnlyStored",
            "15 +0",
            {"Send(ForceEnable,ID1)", "Send(ForceWrite,ID2,00010020)", "timEnableForce on"}},
        ForcingCase{"LastDeactivationWritesAnEmptyMaskAndAStrayOneNothing",
                    "+2 a2 | -2 -2",
                    {"Send(ForceWrite,ID3,00000000)", "timEnableForce off", "timEnableForce off"}},
        ForcingCase{"ReconnectReestablishesForcingWithWhatChangedOffline",
                    "+1 d 11 | c",
                    {"Send(ForceEnable,ID3)", "Send(ForceWrite,ID4,00020002)", "timEnableForce on",
                     "Queue(CallReadOutputValues)"}},
        ForcingCase{
            "RefusedRequestsAreReportedAndNotOutstanding",
            "r +7 R 17 t",
            {"Send(ForceEnable,ID1)", "Report(GlobalForcingEnable,-2147024809,Transaction failed)",
             "Send(ForceWrite,ID2,00800000)",
             "Report(writeForceOutputValues,-2147024809,Transaction failed)", "timEnableForce on",
             "Send(ForceWrite,ID3,00800080)", "Send(ForceEnable,ID4)"}}),
    [](const auto& param) { return std::string(param.param.name); });

// ---- the I&M sequences ----

TEST(ImSequence, AnswersMoveTheStateAndEndFailedSavesKeepingTheEdits) {
    struct Case {
        std::int32_t from;
        Protocol::Answer answer;
        std::int32_t to;
        QString send; ///< the next request, empty for none
        bool saveFailed, showNoImData, disconnect;
    };
    const Protocol::Answer ok;
    const Protocol::Answer data = Data({1, 2});
    const Protocol::Answer negative = Negative(QStringLiteral("busy"));
    const Case cases[] = {
        {ImStates::kQsRead, data, ImStates::kIM0Select, "SelectIM0", false, false, false},
        {ImStates::kIM1Read, ok, ImStates::kIM2Select, "SelectIM2", false, false, false},
        {ImStates::kIM2Read, data, ImStates::kEnded, {}, false, false, true},
        {ImStates::kIM1Select, negative, ImStates::kEnded, {}, false, true, true},
        {ImStates::kSaveIM1Record, ok, ImStates::kSaveIM2Select, "SelectIM2", false, false, false},
        {ImStates::kSaveIM2Select, negative, ImStates::kEnded, {}, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        Machine m(Protocol::IdentificationTraits());
        auto& s = m.p.state;
        s.communicationReference = QStringLiteral("REF");
        s.sOnlineInvokeId = QStringLiteral("X");
        s.transactionResponseState = c.from;
        s.m_bIMDataChanged = s.m_bIMDataRead = true;
        s.m_lSavePending = c.from >= ImStates::kSaveIM1Select ? 1 : 0;
        const QStringList lines = m.Answer(QStringLiteral("X"), c.answer);
        EXPECT_EQ(s.transactionResponseState, c.to);
        EXPECT_EQ(Only(lines, {"Send("}),
                  c.send.isEmpty() ? QStringList() : QStringList{"Send(" + c.send + ",ID1)"});
        EXPECT_EQ(lines.filter("+#1138").size(), c.saveFailed ? 1 : 0);
        EXPECT_EQ(lines.contains("ShowNoImData"), c.showNoImData);
        EXPECT_EQ(s.m_bIMDataRead, !c.showNoImData);
        EXPECT_EQ(lines.contains("ParseQsData"), c.showNoImData || c.from == ImStates::kIM2Read);
        EXPECT_EQ(lines.contains("Queue(CallDisconnect)"), c.disconnect);
        EXPECT_EQ(lines.contains("Buttons.EnableButtons"), c.answer.negative);
        if (c.saveFailed) {
            EXPECT_TRUE(s.m_bIMDataChanged);
            EXPECT_EQ(s.m_lSavePending, 0);
        }
    }
}

TEST(ImSequence, FailedConnectsEndTheSaveAndUnparsableReadsFreeTheButtons) {
    Machine m(Protocol::IdentificationTraits());
    auto& s = m.p.state;
    s.m_bIMDataChanged = s.m_bIMDataRead = true;
    m.accept = false;
    EXPECT_TRUE(m.Run(m.p.CallConnect()).filter("#1138").isEmpty()); // a read has not failed
    EXPECT_EQ(m.Run(m.p.Close()).filter("Queue"), QStringList{"Queue(CallConnect)"});
    EXPECT_EQ(m.Run(m.p.CallConnect()).filter("#1138").size(), 1); // the save has failed
    EXPECT_TRUE(m.p.WouldStartSave()); // the edits stay for the next close
    m.accept = true;
    m.Run(m.p.CallConnect());
    const QStringList negative = m.Run(m.p.ConnectAnswer(s.sOnlineInvokeId, [] {
        return Protocol::Answer{}; // no reference: negative
    }));
    EXPECT_TRUE(negative.contains("RequestClose")) << "the edits are dropped, the view closes";
    EXPECT_FALSE(m.p.WouldStartSave());
}

} // namespace
