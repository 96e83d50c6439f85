// The request sequences of the forcing rules, each checked as the list of
// what went to the connection.

#include "ForceRequests.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

using namespace rq16;

namespace {

class RecordingConnection : public IForcingConnection {
public:
    QString ForcingReference() override { return reference; }
    QString NewForcingInvokeId() override { return QStringLiteral("ID%1").arg(++m_lastId); }
    bool SendForcingTransaction(const QString& id, const QString& request) override {
        calls << request;
        lastId = id;
        return accept;
    }
    QString WriteForceValuesRequest(const ByteArray& block) override {
        QString hex;
        for (const auto b : block) {
            hex += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0'));
        }
        return QStringLiteral("write ") + hex;
    }
    void SetEnableForceTimer(bool enabled) override {
        calls << (enabled ? QStringLiteral("timer on") : QStringLiteral("timer off"));
    }
    void ReportTransactionFailed(const QString& operation) override {
        calls << QStringLiteral("failed ") + operation;
    }
    void LogForcing(const QString&, const QString& message) override {
        if (message == QStringLiteral("Busy with update")) {
            calls << message;
        }
    }
    void ReadBack() override { calls << QStringLiteral("read"); }

    QString reference = QStringLiteral("REF1");
    bool accept = true;
    QString lastId;
    QStringList calls;

private:
    int m_lastId = 0;
};

struct Sequence {
    const char* name;
    std::function<void(ForceRequests&, RecordingConnection&)> steps;
    QStringList expected;
};

void PrintTo(const Sequence& sequence, std::ostream* out) {
    *out << sequence.name;
}

class ForceRequestsTest : public ::testing::TestWithParam<Sequence> {};

TEST_P(ForceRequestsTest, SendsWhatTheRulesSay) {
    RecordingConnection connection;
    ForceRequests force(connection);
    force.Connected(QStringLiteral("enable"));
    GetParam().steps(force, connection);
    EXPECT_EQ(connection.calls, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forcing, ForceRequestsTest,
    ::testing::Values(
        Sequence{"FirstActivationEnablesThenWrites",
                 [](ForceRequests& f, RecordingConnection&) { f.ForceActivatedChanged(2, true); },
                 {"enable", "write 00040000", "timer on"}},
        Sequence{"ValueChangeDuringAWriteIsSentOnceWithTheLatestMasks",
                 [](ForceRequests& f, RecordingConnection& c) {
                     f.ForceActivatedChanged(2, true);
                     const QString write = c.lastId;
                     f.ForceValueChanged(2, true);
                     f.ForceValueChanged(2, false);
                     f.ForceValueChanged(2, true);
                     f.OnTransactionAnswer(write);
                     f.OnTransactionAnswer(c.lastId);
                 },
                 {"enable", "write 00040000", "timer on", "Busy with update", "Busy with update",
                  "Busy with update", "write 00040004", "read"}},
        Sequence{"ValueWithNothingActivatedIsOnlyStored",
                 [](ForceRequests& f, RecordingConnection&) {
                     f.ForceValueChanged(5, true);
                     f.ForceActivatedChanged(0, true);
                 },
                 {"enable", "write 00010020", "timer on"}},
        Sequence{"LastDeactivationWritesAnEmptyMaskAndStopsTheTimer",
                 [](ForceRequests& f, RecordingConnection& c) {
                     f.ForceActivatedChanged(2, true);
                     f.OnTransactionAnswer(QStringLiteral("ID1"));
                     f.OnTransactionAnswer(QStringLiteral("ID2"));
                     c.calls.clear();
                     f.ForceActivatedChanged(2, false);
                     f.ForceActivatedChanged(2, false); // a stray event does not wrap the count
                 },
                 {"write 00000000", "timer off", "timer off"}},
        Sequence{"ReconnectReestablishesForcing",
                 [](ForceRequests& f, RecordingConnection& c) {
                     f.ForceActivatedChanged(1, true);
                     f.ForceValueChanged(1, true);
                     f.Disconnected();
                     c.reference.clear();
                     f.ForceActivatedChanged(4, true); // offline: stored only
                     c.calls.clear();
                     c.reference = QStringLiteral("REF2");
                     f.Connected(QStringLiteral("enable 2"));
                 },
                 {"enable 2", "write 00120002", "timer on"}},
        Sequence{"RefusedRequestsAreReportedAndNotOutstanding",
                 [](ForceRequests& f, RecordingConnection& c) {
                     c.accept = false;
                     f.ForceActivatedChanged(7, true);
                     c.accept = true;
                     f.ForceValueChanged(7, true);
                     f.EnableForceTimerTick();
                 },
                 {"enable", "failed GlobalForcingEnable", "write 00800000",
                  "failed writeForceOutputValues", "timer on", "write 00800080", "enable"}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ForceRequests, AnOutstandingEnableIsNotRepeatedAndAnAbortForgetsIt) {
    RecordingConnection connection;
    ForceRequests force(connection);
    force.Connected(QStringLiteral("enable"));
    force.ForceActivatedChanged(3, true);
    force.EnableForceTimerTick();
    EXPECT_EQ(connection.calls.count(QStringLiteral("enable")), 1);
    EXPECT_TRUE(force.HasOutstandingRequest());
    force.Aborted();
    EXPECT_FALSE(force.HasOutstandingRequest());
    EXPECT_EQ(force.EnableRequest(), QStringLiteral("enable"));
    EXPECT_EQ(force.OnTransactionAnswer(QStringLiteral("ID1")), ForceRequests::Answer::Other);
}

} // namespace
