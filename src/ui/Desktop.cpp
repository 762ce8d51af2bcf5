#include "ui/Desktop.h"

#include <algorithm>

namespace orvanta {

Window& Desktop::open(std::unique_ptr<Window> window)
{
    if (Window* existing = find(window->name())) {
        raise(existing->name());
        return *existing;
    }
    entries_.push_back({std::move(window), {}});
    Window& opened = *entries_.back().window;
    if (observer_)
        observer_->windowOpened(opened);
    return opened;
}

void Desktop::close(const std::string& name)
{
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.window->name() == name; });
    if (it == entries_.end())
        return;
    // Take the window out first so that a handler that reopens it gets a fresh one.
    Entry entry = std::move(*it);
    entries_.erase(it);
    if (observer_)
        observer_->windowClosed(*entry.window);
    if (entry.onClose)
        entry.onClose();
}

void Desktop::raise(const std::string& name)
{
    if (Window* window = find(name); window && observer_)
        observer_->windowRaised(*window);
}

Window* Desktop::find(const std::string& name) const
{
    for (const Entry& e : entries_)
        if (e.window->name() == name)
            return e.window.get();
    return nullptr;
}

std::vector<Window*> Desktop::windows() const
{
    std::vector<Window*> result;
    for (const Entry& e : entries_)
        result.push_back(e.window.get());
    return result;
}

void Desktop::onClose(const std::string& name, std::function<void()> handler)
{
    for (Entry& e : entries_)
        if (e.window->name() == name)
            e.onClose = std::move(handler);
}

} // namespace orvanta
