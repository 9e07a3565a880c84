// Component: the common state of every headless control of a form.
//
// A component holds state only (name, visibility, enabled state, colour, caption, hint) and
// tells its observers which property changed; handlers (OnClick ...) are Event slots that the
// owning form fills in. Methods named after user actions (Click, TypeText, SelectItem ...) are
// what a user does: they wrap their work in the event boundary, so an Abandon raised by any
// handler they trigger ends the whole action, and they do nothing on a control the user cannot
// reach (hidden, disabled, or inside a hidden or disabled container). Setters are what code
// does and always apply; SetFocus works for both. The owning form creates and destroys its
// components.
#pragma once

#include <functional>
#include <string>

#include "toolkit/color.h"
#include "toolkit/event.h"
#include "toolkit/font.h"
#include "toolkit/property.h"
#include "toolkit/signal.h"

namespace lembrete {

class TForm;

class Component {
  public:
    using Observer = std::function<void(Component&, Property)>;

    Component(TForm* owner, std::string name);
    virtual ~Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    const std::string& Name() const { return name_; }
    TForm* Owner() const { return owner_; }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    const TFont& Font() const { return font_; }
    void SetFont(TFont font);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string hint);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);

    // The container the control sits in (a panel, a group box, a tab sheet), or none. A
    // hidden or disabled container hides or disables what it holds, as on screen. Both belong
    // to the same form.
    Component* Parent() const { return parent_; }
    void SetParent(Component* parent);
    // Visible, and so is every container around it.
    bool Showing() const;
    // True when the user can act on the control: showing, and enabled with its containers.
    bool Interactive() const;

    // Every change of state, after it happened.
    [[nodiscard]] Subscription Observe(Observer observer);

    Event<> OnClick;
    Event<> OnEnter;
    Event<> OnExit;

    // User clicks the control.
    void Click();
    // User (or code) moves the focus to this control; the previously focused one is left first.
    void SetFocus();
    bool Focused() const;

  protected:
    void changed(Property property);
    // Stores `value` in `member` and reports `property` when it differs; true when it did.
    template <class T, class V>
    bool update(T& member, V&& value, Property property) {
        if (member == value) {
            return false;
        }
        member = std::forward<V>(value);
        changed(property);
        return true;
    }

    // Runs a user action inside the event boundary; false when it was abandoned.
    template <class Action>
    static bool userAction(Action&& action) {
        return EventBoundary::run(std::forward<Action>(action));
    }

    // What a click does; the default fires OnClick.
    virtual void clicked();

    // Whether this control itself is on screen; a tab sheet also needs to be the active page.
    virtual bool shownItself() const { return visible_; }

  private:
    friend class TForm;
    // Focus moved away from this control (a spin edit brings its value back into range).
    virtual void left() {}

    TForm* owner_;
    Component* parent_ = nullptr;
    std::string name_;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clDefault;
    TFont font_;
    std::string hint_;
    std::string caption_;
    Signal<Component&, Property> changes_;
};

}  // namespace lembrete
