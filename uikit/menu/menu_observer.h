// The context menu observer: a process-wide list of open menus through
// which they close together. Menus broadcast in reverse, so the newest menu
// (the deepest sub-menu) hears first.
#pragma once
#include <windows.h>

#include <algorithm>
#include <vector>

namespace UiKit {

// wParam 1 closes every open menu; 2 closes the menus whose window descends
// from hWnd.
struct ContextMenuParam {
    WPARAM wParam = 0;
    HWND hWnd = nullptr;
};

template <typename ParamT>
class ReceiverImplBase;

template <typename ParamT>
class ObserverImplBase {
public:
    virtual ~ObserverImplBase() = default;
    virtual void AddReceiver(ReceiverImplBase<ParamT>* receiver) = 0;
    virtual void RemoveReceiver(ReceiverImplBase<ParamT>* receiver) = 0;
    virtual bool Broadcast(ParamT param) = 0;
    virtual bool RBroadcast(ParamT param) = 0;
    virtual bool Notify(ParamT param) = 0;
};

template <typename ParamT>
class ReceiverImplBase {
public:
    virtual ~ReceiverImplBase() = default;
    virtual void AddObserver(ObserverImplBase<ParamT>* observer) = 0;
    virtual void RemoveObserver() = 0;
    virtual bool Receive(ParamT param) = 0;
};

template <typename ParamT>
class ObserverImpl : public ObserverImplBase<ParamT> {
public:
    void AddReceiver(ReceiverImplBase<ParamT>* receiver) override {
        if (!receiver) return;
        receivers_.push_back(receiver);
        receiver->AddObserver(this);
    }
    void RemoveReceiver(ReceiverImplBase<ParamT>* receiver) override {
        auto it = std::find(receivers_.begin(), receivers_.end(), receiver);
        if (it != receivers_.end()) receivers_.erase(it);
    }
    bool Broadcast(ParamT param) override { return Send(param, false); }
    bool RBroadcast(ParamT param) override { return Send(param, true); }
    // The forward call: every receiver hears it, first to last.
    bool Notify(ParamT param) override { return Send(param, false); }

    const std::vector<ReceiverImplBase<ParamT>*>& Receivers() const { return receivers_; }

private:
    // A receiver may leave (or another join) while it is told; the walk goes
    // over a snapshot and skips those that left meanwhile.
    bool Send(ParamT param, bool reverse) {
        std::vector<ReceiverImplBase<ParamT>*> snapshot = receivers_;
        if (reverse) std::reverse(snapshot.begin(), snapshot.end());
        for (ReceiverImplBase<ParamT>* receiver : snapshot) {
            if (std::find(receivers_.begin(), receivers_.end(), receiver) == receivers_.end()) continue;
            receiver->Receive(param);
        }
        return true;
    }

    std::vector<ReceiverImplBase<ParamT>*> receivers_;
};

template <typename ParamT>
class ReceiverImpl : public ReceiverImplBase<ParamT> {
public:
    ReceiverImpl() = default;
    ReceiverImpl(const ReceiverImpl&) = delete;
    ReceiverImpl& operator=(const ReceiverImpl&) = delete;
    ~ReceiverImpl() override { RemoveObserver(); }

    void AddObserver(ObserverImplBase<ParamT>* observer) override {
        if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
            observers_.push_back(observer);
    }
    // Leaves every observer it joined.
    void RemoveObserver() override {
        std::vector<ObserverImplBase<ParamT>*> observers;
        observers.swap(observers_);
        for (ObserverImplBase<ParamT>* observer : observers) observer->RemoveReceiver(this);
    }

private:
    std::vector<ObserverImplBase<ParamT>*> observers_;
};

using ContextMenuObserver = ObserverImpl<ContextMenuParam>;
using ContextMenuReceiver = ReceiverImpl<ContextMenuParam>;

// The one observer of the process (used on the user-interface thread only).
ContextMenuObserver& GetContextMenuObserver();

}  // namespace UiKit
