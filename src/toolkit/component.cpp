#include "toolkit/component.h"

#include <stdexcept>

#include "toolkit/form.h"

namespace lembrete {

Component::Component(TForm* owner, std::string name) : owner_(owner), name_(std::move(name)) {}

void Component::SetVisible(bool visible) {
    update(visible_, visible, Property::Visible);
}

void Component::SetEnabled(bool enabled) {
    update(enabled_, enabled, Property::Enabled);
}

void Component::SetColor(TColor color) {
    update(color_, color, Property::Color);
}

void Component::SetFont(TFont font) {
    update(font_, font, Property::Font);
}

void Component::SetHint(std::string hint) {
    update(hint_, std::move(hint), Property::Hint);
}

void Component::SetCaption(std::string caption) {
    update(caption_, std::move(caption), Property::Caption);
}

void Component::SetParent(Component* parent) {
    for (const Component* above = parent; above != nullptr; above = above->parent_) {
        if (above == this) {
            throw std::invalid_argument(name_ + ": um componente não pode conter a si mesmo");
        }
    }
    parent_ = parent;
}

bool Component::Showing() const {
    return shownItself() && (parent_ == nullptr || parent_->Showing());
}

bool Component::Interactive() const {
    for (const Component* control = this; control != nullptr; control = control->parent_) {
        if (!control->shownItself() || !control->enabled_) {
            return false;
        }
    }
    return true;
}

Subscription Component::Observe(Observer observer) {
    return changes_.connect(std::move(observer));
}

void Component::changed(Property property) {
    changes_.emit(*this, property);
}

void Component::Click() {
    if (Interactive()) {
        userAction([this] { clicked(); });
    }
}

void Component::clicked() {
    OnClick.fire();
}

void Component::SetFocus() {
    if (owner_ != nullptr) {
        owner_->SetActiveControl(this);
    }
}

bool Component::Focused() const {
    return owner_ != nullptr && owner_->ActiveControl() == this;
}

}  // namespace lembrete
