// The connection state of the online views, as plain data: its phases, the
// matching of answers and when a pending release can complete.

#include "frame/ConnectionState.h"

#include <gtest/gtest.h>

using namespace rq16;

namespace {

TEST(ConnectionStateTest, OneRereadWalksThroughEveryPhase) {
    ConnectionState c;
    EXPECT_EQ(c.Phase(), ConnectionPhase::Offline);

    c.RequestSent(PendingRequest::Connect, QStringLiteral("ID1"));
    EXPECT_EQ(c.Phase(), ConnectionPhase::Connecting);
    EXPECT_FALSE(c.IsOnline());

    c.Connected(QStringLiteral("REF"));
    EXPECT_EQ(c.Phase(), ConnectionPhase::Online);
    EXPECT_TRUE(c.sOnlineInvokeId.isEmpty());

    c.RequestSent(PendingRequest::Transaction, QStringLiteral("ID2"));
    EXPECT_EQ(c.Phase(), ConnectionPhase::TransactionOutstanding);
    c.RequestDone();
    EXPECT_EQ(c.Phase(), ConnectionPhase::Online);

    c.RequestSent(PendingRequest::Disconnect, QStringLiteral("ID3"));
    EXPECT_EQ(c.Phase(), ConnectionPhase::Disconnecting);
    EXPECT_TRUE(c.IsOnline()) << "online until the disconnect is answered";
    c.Disconnected();
    EXPECT_EQ(c.Phase(), ConnectionPhase::Offline);
    EXPECT_TRUE(c.communicationReference.isEmpty());
}

TEST(ConnectionStateTest, OnlyTheOutstandingInvokeIdMatches) {
    ConnectionState c;
    c.RequestSent(PendingRequest::Connect, QStringLiteral("ID7"));
    EXPECT_TRUE(c.IsAnswerTo(QStringLiteral("ID7")));
    EXPECT_FALSE(c.IsAnswerTo(QStringLiteral("ID6")));
    EXPECT_FALSE(c.IsAnswerTo(QString()));
    c.RequestDone();
    EXPECT_FALSE(c.IsAnswerTo(QStringLiteral("ID7"))) << "a late answer is foreign";
    EXPECT_EQ(c.Pending(), PendingRequest::None);
}

TEST(ConnectionStateTest, ARefusedOrFailedRequestLeavesNothingOutstanding) {
    ConnectionState c;
    c.Connected(QStringLiteral("REF"));
    c.RequestSent(PendingRequest::Transaction, QString()); // no id could be made
    EXPECT_EQ(c.Phase(), ConnectionPhase::Online);
    c.RequestSent(PendingRequest::Transaction, QStringLiteral("ID1"));
    c.RequestDone(); // refused
    EXPECT_EQ(c.Phase(), ConnectionPhase::Online);
    EXPECT_FALSE(c.IsRequestOutstanding());
}

TEST(ConnectionStateTest, LosingTheConnectionEndsOfflineFromAnyPhase) {
    for (const PendingRequest pending : {PendingRequest::None, PendingRequest::Connect,
                                         PendingRequest::Transaction, PendingRequest::Disconnect}) {
        ConnectionState c;
        if (pending != PendingRequest::Connect) {
            c.Connected(QStringLiteral("REF"));
        }
        if (pending != PendingRequest::None) {
            c.RequestSent(pending, QStringLiteral("ID"));
        }
        c.Disconnected();
        EXPECT_EQ(c.Phase(), ConnectionPhase::Offline) << static_cast<int>(pending);
        EXPECT_FALSE(c.IsAnswerTo(QStringLiteral("ID")));
    }
}

TEST(ConnectionStateTest, APendingReleaseCompletesOnlyOfflineAndIdle) {
    ConnectionState c;
    EXPECT_FALSE(c.CanCompleteRelease()) << "nothing asked for";
    c.blnPrepareToRelease = true;
    EXPECT_TRUE(c.CanCompleteRelease());
    c.RequestSent(PendingRequest::Connect, QStringLiteral("ID1"));
    EXPECT_FALSE(c.CanCompleteRelease()) << "the connect answer is awaited";
    c.Connected(QStringLiteral("REF"));
    EXPECT_FALSE(c.CanCompleteRelease()) << "still online";
    c.RequestSent(PendingRequest::Disconnect, QStringLiteral("ID2"));
    c.Disconnected();
    EXPECT_TRUE(c.CanCompleteRelease());
}

} // namespace
