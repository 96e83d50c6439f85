// The connection state as plain data: the phases of one reread, which
// answers match, and when a pending release can complete.

#include "frame/ConnectionState.h"

#include <gtest/gtest.h>

#include <functional>

using namespace rq16;

TEST(ConnectionStateTest, OneRereadWalksThroughEveryPhase) {
    ConnectionState c;
    c.blnPrepareToRelease = true;
    struct Step {
        std::function<void()> change;
        ConnectionPhase phase;
        bool releaseCanComplete;
    };
    const std::vector<Step> steps{
        {[] {}, ConnectionPhase::Offline, true},
        {[&] { c.RequestSent(PendingRequest::Connect, "ID1"); }, ConnectionPhase::Connecting,
         false},
        {[&] { c.Connected("REF"); }, ConnectionPhase::Online, false},
        {[&] { c.RequestSent(PendingRequest::Transaction, ""); }, ConnectionPhase::Online, false},
        {[&] { c.RequestSent(PendingRequest::Transaction, "ID2"); },
         ConnectionPhase::TransactionOutstanding, false},
        {[&] { c.RequestDone(); }, ConnectionPhase::Online, false},
        {[&] { c.RequestSent(PendingRequest::Disconnect, "ID3"); }, ConnectionPhase::Disconnecting,
         false},
        {[&] { c.Disconnected(); }, ConnectionPhase::Offline, true},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        steps[i].change();
        EXPECT_EQ(c.Phase(), steps[i].phase) << i;
        EXPECT_EQ(c.CanCompleteRelease(), steps[i].releaseCanComplete) << i;
    }
    c.RequestSent(PendingRequest::Connect, "ID7");
    EXPECT_TRUE(c.IsAnswerTo("ID7"));
    EXPECT_FALSE(c.IsAnswerTo("ID6"));
    c.RequestDone();
    EXPECT_FALSE(c.IsAnswerTo("ID7")) << "a late answer is foreign";
    c.blnPrepareToRelease = false;
    EXPECT_FALSE(c.CanCompleteRelease()) << "nothing asked for";
}
