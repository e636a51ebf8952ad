#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// Change notices that any number of views can follow. A view keeps the connection handle
// that Connect returns; when the handle goes away the view is disconnected, so a view that
// has been destroyed is never called. Single-threaded, like the rest of the model.

namespace signal_detail {
struct TSlotBase {
    bool FConnected = true;
};
}  // namespace signal_detail

//! One connection to a signal; disconnects when destroyed. Movable, not copyable.
class TConnection {
public:
    TConnection() = default;
    explicit TConnection(std::weak_ptr<signal_detail::TSlotBase> slot) : FSlot(std::move(slot)) {}
    TConnection(TConnection&& other) noexcept : FSlot(std::move(other.FSlot)) { other.FSlot.reset(); }
    TConnection& operator=(TConnection&& other) noexcept {
        if (this != &other) {
            Disconnect();
            FSlot = std::move(other.FSlot);
            other.FSlot.reset();
        }
        return *this;
    }
    TConnection(const TConnection&) = delete;
    TConnection& operator=(const TConnection&) = delete;
    ~TConnection() { Disconnect(); }

    //! Stops the calls at once, also in the middle of an emission.
    void Disconnect() {
        if (auto slot = FSlot.lock()) slot->FConnected = false;
        FSlot.reset();
    }
    //! True while the signal lives and this connection has not been disconnected.
    bool Connected() const {
        auto slot = FSlot.lock();
        return slot && slot->FConnected;
    }

private:
    std::weak_ptr<signal_detail::TSlotBase> FSlot;
};

//! A notice with arguments Args. Emit calls every slot connected when the emission starts
//! and still connected when its turn comes, in the order of connection.
template <class... Args>
class TSignal {
public:
    using TSlotFunction = std::function<void(Args...)>;

    TSignal() = default;
    TSignal(const TSignal&) = delete;
    TSignal& operator=(const TSignal&) = delete;

    //! Connects a slot; keep the handle for as long as the slot may be called.
    [[nodiscard]] TConnection Connect(TSlotFunction function) {
        auto slot = std::make_shared<TSlot>();
        slot->FFunction = std::move(function);
        Prune();
        FSlots.push_back(slot);
        return TConnection(std::weak_ptr<signal_detail::TSlotBase>(slot));
    }

    //! Calls the slots. A slot may connect, disconnect or emit again; a slot connected
    //! during an emission is first called by the next one.
    void Emit(Args... args) const {
        const std::vector<std::shared_ptr<TSlot>> snapshot = FSlots;
        for (const auto& slot : snapshot) {
            if (slot->FConnected && slot->FFunction) slot->FFunction(args...);
        }
    }
    void operator()(Args... args) const { Emit(args...); }

    //! Number of live connections.
    std::size_t Count() const {
        return static_cast<std::size_t>(std::count_if(FSlots.begin(), FSlots.end(),
                                                      [](const auto& s) { return s->FConnected; }));
    }
    bool Empty() const { return Count() == 0; }

private:
    struct TSlot : signal_detail::TSlotBase {
        TSlotFunction FFunction;
    };

    void Prune() {
        std::erase_if(FSlots, [](const auto& s) { return !s->FConnected; });
    }

    std::vector<std::shared_ptr<TSlot>> FSlots;
};
