#include "core/util/signal.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

TEST(Signal, EverySlotIsCalledInConnectionOrderWithTheArguments) {
    TSignal<int, const std::string&> signal;
    std::vector<std::string> calls;
    TConnection a = signal.Connect([&](int n, const std::string& s) { calls.push_back("a" + std::to_string(n) + s); });
    TConnection b = signal.Connect([&](int n, const std::string& s) { calls.push_back("b" + std::to_string(n) + s); });
    signal.Emit(7, "x");
    signal(8, "y");
    EXPECT_EQ(calls, (std::vector<std::string>{"a7x", "b7x", "a8y", "b8y"}));
    EXPECT_EQ(signal.Count(), 2u);
}

TEST(Signal, ADestroyedOrDisconnectedHandleStopsTheCalls) {
    TSignal<> signal;
    int first = 0, second = 0;
    TConnection kept = signal.Connect([&] { ++first; });
    {
        TConnection scoped = signal.Connect([&] { ++second; });
        signal.Emit();
    }
    signal.Emit();
    kept.Disconnect();
    EXPECT_FALSE(kept.Connected());
    signal.Emit();
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 1);
    EXPECT_TRUE(signal.Empty());
}

TEST(Signal, AViewDestroyedByAnEarlierSlotIsNotCalledInTheSameEmission) {
    struct TView {
        explicit TView(TSignal<>& s, int& calls) : Connection(s.Connect([&calls] { ++calls; })) {}
        TConnection Connection;
    };
    TSignal<> signal;
    int viewCalls = 0;
    std::unique_ptr<TView> view;
    TConnection killer = signal.Connect([&] { view.reset(); });
    view = std::make_unique<TView>(signal, viewCalls);
    signal.Emit();
    EXPECT_EQ(viewCalls, 0);
    EXPECT_EQ(view, nullptr);
}

TEST(Signal, ASlotConnectedDuringAnEmissionWaitsForTheNextOne) {
    TSignal<> signal;
    int late = 0;
    std::optional<TConnection> lateConnection;
    TConnection adder = signal.Connect([&] {
        if (!lateConnection) lateConnection.emplace(signal.Connect([&] { ++late; }));
    });
    signal.Emit();
    EXPECT_EQ(late, 0);
    signal.Emit();
    EXPECT_EQ(late, 1);
}

TEST(Signal, ASlotMayEmitAgainAndDisconnectItself) {
    TSignal<int> signal;
    std::vector<int> seen;
    TConnection self;
    self = signal.Connect([&](int depth) {
        seen.push_back(depth);
        if (depth < 2) signal.Emit(depth + 1);
        if (depth == 0) self.Disconnect();
    });
    signal.Emit(0);
    signal.Emit(0);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
}

TEST(Signal, AHandleOutlivingItsSignalIsHarmless) {
    TConnection connection;
    {
        TSignal<> signal;
        connection = signal.Connect([] {});
        EXPECT_TRUE(connection.Connected());
    }
    EXPECT_FALSE(connection.Connected());
    connection.Disconnect();
}

TEST(Signal, MovingAHandleMovesTheConnectionAndAssignmentDropsTheOldOne) {
    TSignal<> signal;
    int a = 0, b = 0;
    TConnection first = signal.Connect([&] { ++a; });
    TConnection moved(std::move(first));
    EXPECT_FALSE(first.Connected());  // NOLINT(bugprone-use-after-move): a moved-from handle is empty
    signal.Emit();
    moved = signal.Connect([&] { ++b; });
    signal.Emit();
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(signal.Count(), 1u);
}
