#pragma once

#include <functional>
#include <map>

namespace orvanta {

// Lets a view follow an engine object: the object calls changed() after every change that a
// window would show, and the view refreshes. The engine never knows who listens.
class Observable {
public:
    using Listener = std::function<void()>;

    int subscribe(Listener listener)
    {
        listeners_[nextId_] = std::move(listener);
        return nextId_++;
    }
    void unsubscribe(int id) { listeners_.erase(id); }

protected:
    void changed()
    {
        // A listener may unsubscribe while we iterate, so walk a copy.
        const auto listeners = listeners_;
        for (const auto& [id, listener] : listeners)
            listener();
    }

private:
    std::map<int, Listener> listeners_;
    int nextId_ = 1;
};

} // namespace orvanta
