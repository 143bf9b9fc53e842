// Placement of a menu against the work area, and the order in which open
// menus hear a broadcast.
#include <gtest/gtest.h>

#include <vector>

#include "uikit/menu/menu_observer.h"
#include "uikit/menu/menu_placement.h"

using namespace UiKit;

namespace {

const RECT kWork = {0, 0, 1024, 738};

TEST(MenuPlacement, OpensRightAndDownWhenItFits) {
    RECT rc = PlaceMenu(POINT{100, 200}, SIZE{94, 84}, kWork);
    EXPECT_EQ(100, rc.left);
    EXPECT_EQ(194, rc.right);
    EXPECT_EQ(200, rc.top);
    EXPECT_EQ(284, rc.bottom);
}

TEST(MenuPlacement, FiftyPixelsFromTheRightEdgeOpensLeftward) {
    RECT rc = PlaceMenu(POINT{kWork.right - 50, 200}, SIZE{94, 84}, kWork);
    EXPECT_EQ(kWork.right - 50, rc.right);
    EXPECT_EQ(kWork.right - 50 - 94, rc.left);
    EXPECT_EQ(200, rc.top);
}

TEST(MenuPlacement, EndingExactlyOnTheEdgesCountsAsNotFitting) {
    RECT rc = PlaceMenu(POINT{kWork.right - 94, kWork.bottom - 84}, SIZE{94, 84}, kWork);
    EXPECT_EQ(kWork.right - 94, rc.right);
    EXPECT_EQ(kWork.bottom - 84, rc.bottom);
}

TEST(MenuPlacement, NearTheBottomOpensUpward) {
    RECT rc = PlaceMenu(POINT{300, kWork.bottom - 20}, SIZE{94, 84}, kWork);
    EXPECT_EQ(kWork.bottom - 20, rc.bottom);
    EXPECT_EQ(kWork.bottom - 104, rc.top);
}

TEST(MenuPlacement, TallerThanBothSidesIsCentredOnThePoint) {
    RECT rc = PlaceMenu(POINT{300, 300}, SIZE{94, 701}, kWork);
    EXPECT_EQ(300 + 350, rc.bottom);
    EXPECT_EQ(300 + 350 - 701, rc.top);
}

// A receiver that writes its number down when told.
class Recorder : public ReceiverImpl<int> {
public:
    Recorder(int id, std::vector<int>* log) : id_(id), log_(log) {}
    bool Receive(int param) override {
        log_->push_back(id_ * 10 + param);
        return true;
    }

private:
    int id_;
    std::vector<int>* log_;
};

TEST(MenuObserver, ReverseBroadcastReachesTheNewestFirstAndLeaversAreSkipped) {
    ObserverImpl<int> observer;
    std::vector<int> log;
    Recorder a(1, &log), b(2, &log);
    {
        Recorder c(3, &log);
        observer.AddReceiver(&a);
        observer.AddReceiver(&b);
        observer.AddReceiver(&c);
        observer.RBroadcast(1);
        EXPECT_EQ((std::vector<int>{31, 21, 11}), log);
        log.clear();
        observer.Broadcast(2);
        EXPECT_EQ((std::vector<int>{12, 22, 32}), log);
    }
    // c left the observer when it was destroyed.
    log.clear();
    observer.RBroadcast(1);
    EXPECT_EQ((std::vector<int>{21, 11}), log);
    observer.RemoveReceiver(&a);
    log.clear();
    observer.RBroadcast(1);
    EXPECT_EQ((std::vector<int>{21}), log);
}

}  // namespace
