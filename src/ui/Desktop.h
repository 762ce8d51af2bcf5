#pragma once

#include "ui/Window.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvanta {

// Told when child windows come and go, so the windowing layer can create and destroy the real
// windows.
class DesktopObserver {
public:
    virtual ~DesktopObserver() = default;
    virtual void windowOpened(Window& window) = 0;
    virtual void windowClosed(Window& window) = 0;
    virtual void windowRaised(Window& window) = 0;
};

// The open child windows of the main window, in the order they were opened.
class Desktop {
public:
    void setObserver(DesktopObserver* observer) { observer_ = observer; }

    // Opens window, or returns the open window of the same name (the new one is dropped).
    Window& open(std::unique_ptr<Window> window);

    // Closes the window of that name, if open. The window's close handler runs first.
    void close(const std::string& name);

    void raise(const std::string& name);

    bool isOpen(const std::string& name) const { return find(name) != nullptr; }
    Window* find(const std::string& name) const;
    template <typename W>
    W* find(const std::string& name) const
    {
        return dynamic_cast<W*>(find(name));
    }

    std::vector<Window*> windows() const;

    // Runs when a window of that name closes (by the user or by the engine); set per window
    // when it is opened.
    void onClose(const std::string& name, std::function<void()> handler);

private:
    struct Entry {
        std::unique_ptr<Window> window;
        std::function<void()> onClose;
    };
    std::vector<Entry> entries_;
    DesktopObserver* observer_ = nullptr;
};

} // namespace orvanta
