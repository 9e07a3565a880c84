#include "toolkit/form.h"

#include <algorithm>

#include "data/utf8.h"
#include "toolkit/menu_item.h"

namespace lembrete {

TForm::TForm(std::string name, FormPresenter* presenter)
    : Component(nullptr, std::move(name)),
      presenter_(presenter),
      lblCodTela(Add<TLabel>("lblCodTela")) {
    lblCodTela.SetVisible(false);
    SetVisible(false);
}

// Components go first, last created first, while the form is whole; then the objects made
// with Make, also last made first.
TForm::~TForm() {
    activeControl_ = nullptr;
    while (!components_.empty()) {
        components_.pop_back();
    }
    while (!owned_.empty()) {
        owned_.pop_back();
    }
}

Component* TForm::FindComponent(std::string_view name) const {
    auto found = std::find_if(components_.begin(), components_.end(),
                              [name](const auto& component) { return component->Name() == name; });
    return found == components_.end() ? nullptr : found->get();
}

std::vector<Component*> TForm::Components() const {
    std::vector<Component*> all;
    all.reserve(components_.size());
    for (const auto& component : components_) {
        all.push_back(component.get());
    }
    return all;
}

FormPresenter& TForm::presenter() const {
    if (presenter_ == nullptr) {
        throw std::logic_error("formulário sem apresentador: " + Name());
    }
    return *presenter_;
}

void TForm::SetModalResult(TModalResult result) {
    if (modalResult_ != result) {
        modalResult_ = result;
        changed(Property::ModalResult);
    }
    if (result != mrNone && modal_ && Visible()) {
        Close();
    }
}

void TForm::SetWindowState(TWindowState state) {
    update(windowState_, state, Property::WindowState);
}

void TForm::SetActiveControl(Component* control) {
    if (activeControl_ == control) {
        return;
    }
    userAction([&] {
        if (Component* previous = activeControl_) {
            previous->left();
            previous->OnExit.fire();
        }
        activeControl_ = control;
        changed(Property::ActiveControl);
        if (control != nullptr) {
            control->OnEnter.fire();
        }
    });
}

bool TForm::Create() {
    return userAction([this] { OnCreate.fire(); });
}

void TForm::Show() {
    SetVisible(true);
    presenter().ShowForm(*this);
}

TModalResult TForm::ShowModal() {
    SetModalResult(mrNone);
    modal_ = true;
    SetVisible(true);
    struct ModalEnd {
        TForm& form;
        ~ModalEnd() { form.modal_ = false; }
    } modalEnd{*this};
    {
        EventBoundary::ModalLoop loop;
        presenter().ShowFormModal(*this);
    }
    if (Visible()) {
        // The presenter returned without closing (its loop ended another way): treat as cancel.
        if (modalResult_ == mrNone) {
            modalResult_ = mrCancel;
        }
        SetVisible(false);
    }
    return modalResult_;
}

void TForm::Close() {
    TCloseAction action = caHide;
    const bool completed = userAction([&] { OnClose.fire(action); });
    if (!completed || action == caNone) {
        if (modal_) {
            modalResult_ = mrNone;
        }
        return;
    }
    lastCloseAction_ = action;
    if (action == caMinimize) {
        SetWindowState(wsMinimized);
        return;
    }
    if (modal_ && modalResult_ == mrNone) {
        modalResult_ = mrCancel;
        changed(Property::ModalResult);
    }
    SetVisible(false);
    if (presenter_ != nullptr) {
        presenter_->CloseForm(*this);
    }
}

bool TForm::Activate() {
    return userAction([this] { OnActivate.fire(); });
}

bool TForm::PressShortCut(std::string_view shortCut) {
    for (const auto& component : components_) {
        auto* item = dynamic_cast<TMenuItem*>(component.get());
        if (item != nullptr && item->Enabled() &&
            utf8::equalIgnoringCase(item->ShortCut(), shortCut)) {
            userAction([item] { item->OnClick.fire(); });
            return true;
        }
    }
    return false;
}

}  // namespace lembrete
