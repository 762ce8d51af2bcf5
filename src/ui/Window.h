#pragma once

#include "ui/Observable.h"

#include <optional>
#include <string>

namespace orvanta {

// A position or size in twips (1/1440 inch); unset fields keep the window's design value.
struct TwipGeometry {
    std::optional<int> left;
    std::optional<int> top;
    std::optional<int> width;
    std::optional<int> height;
};

// The engine's model of one child window: what it shows and which of its controls can be used.
// The windowing layer renders it and forwards the user's actions to the engine.
class Window : public Observable {
public:
    Window(std::string name, std::string caption) : name_(std::move(name)), caption_(std::move(caption)) {}
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // The design name, e.g. "frmMenu"; also the object name of the real window.
    const std::string& name() const { return name_; }

    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); changed(); }

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; changed(); }

    // Shown or hidden while it stays open.
    bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; changed(); }

    const TwipGeometry& geometry() const { return geometry_; }
    void setGeometry(TwipGeometry geometry) { geometry_ = geometry; changed(); }

    // A window of its own beside the main window rather than inside it (the small
    // information windows, which disable the main window while they are open).
    virtual bool standsAlone() const { return false; }

protected:
    void notifyChanged() { changed(); }

private:
    std::string name_;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    TwipGeometry geometry_;
};

} // namespace orvanta
