// TForm: a window; owns its components and holds its handlers.
//
// A screen derives from TForm, adds its components in its constructor (Add<TPanel>("panX")
// returns a reference the screen keeps) and assigns their events to its own methods. The form
// finds components by name and iterates them, which is all the Qt binder needs to mirror a
// screen onto a Designer layout of the same names. Every form carries the hidden screen-code
// label `lblCodTela`. Show / ShowModal / Close go through the FormPresenter the host gave it.
// Build a form with createForm<T>(...), which runs OnCreate once construction is complete.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/component.h"
#include "toolkit/form_presenter.h"
#include "toolkit/label.h"

namespace lembrete {

enum TModalResult : int { mrNone, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TFormStyle { fsNormal, fsMDIChild };

class TForm : public Component {
  public:
    explicit TForm(std::string name, FormPresenter* presenter = nullptr);
    ~TForm() override;

    // Creates a component owned by this form. T's constructor takes (TForm*, std::string, ...).
    template <class T, class... Args>
    T& Add(std::string name, Args&&... args) {
        if (FindComponent(name) != nullptr) {
            throw std::logic_error("componente repetido: " + name);
        }
        auto component = std::make_unique<T>(this, std::move(name), std::forward<Args>(args)...);
        T& added = *component;
        components_.push_back(std::move(component));
        return added;
    }

    // Makes an object the form owns that is not a component (a dataset, a data source). Such
    // objects outlive every component, so views bound to them never see them destroyed.
    template <class T, class... Args>
    T& Make(Args&&... args) {
        auto made = std::make_shared<T>(std::forward<Args>(args)...);
        T& result = *made;
        owned_.push_back(std::move(made));
        return result;
    }

    Component* FindComponent(std::string_view name) const;
    // The named component as T; throws std::out_of_range when missing or of another type.
    template <class T>
    T& Get(std::string_view name) const {
        if (auto* found = dynamic_cast<T*>(FindComponent(name))) {
            return *found;
        }
        throw std::out_of_range("componente não encontrado: " + std::string(name));
    }
    std::vector<Component*> Components() const;

    FormPresenter* Presenter() const { return presenter_; }
    void SetPresenter(FormPresenter* presenter) { presenter_ = presenter; }

    TModalResult ModalResult() const { return modalResult_; }
    // Setting a result other than mrNone on a modal form closes it.
    void SetModalResult(TModalResult result);
    bool Modal() const { return modal_; }

    // An MDI child lives inside the client's main window; a normal form is a window or dialog.
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style) { update(formStyle_, style, Property::FormStyle); }
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState state);

    Component* ActiveControl() const { return activeControl_; }
    void SetActiveControl(Component* control);

    Event<> OnCreate;
    Event<> OnActivate;
    Event<TCloseAction&> OnClose;

    // Runs OnCreate; createForm calls it once after construction. False when the handler was
    // abandoned at the outermost level (inside another event the Abandon passes through to
    // that event's boundary, interrupting whatever opened the form).
    bool Create();
    void Show();
    // Shows the form modally and returns its ModalResult (mrCancel when closed without one).
    TModalResult ShowModal();
    // Runs OnClose; unless the handler answers caNone the form is hidden and the presenter
    // told. The action chosen is kept (caFree asks the owner to release the form).
    void Close();
    TCloseAction LastCloseAction() const { return lastCloseAction_; }
    // The presenter calls this when the window becomes the active one; false when OnActivate
    // was abandoned.
    bool Activate();
    // The user presses a shortcut such as "Ctrl+H": the first enabled menu item holding it is
    // clicked (hidden items included, as menus do). Returns false when no item holds it.
    bool PressShortCut(std::string_view shortCut);

  private:
    FormPresenter& presenter() const;

    FormPresenter* presenter_;
    std::vector<std::shared_ptr<void>> owned_;
    std::vector<std::unique_ptr<Component>> components_;
    TModalResult modalResult_ = mrNone;
    TWindowState windowState_ = wsNormal;
    TFormStyle formStyle_ = fsNormal;
    TCloseAction lastCloseAction_ = caHide;
    Component* activeControl_ = nullptr;
    bool modal_ = false;

  public:
    // Declared after the component list, which it is added to.
    TLabel& lblCodTela;
};

template <class T, class... Args>
std::unique_ptr<T> createForm(Args&&... args) {
    auto form = std::make_unique<T>(std::forward<Args>(args)...);
    form->Create();
    return form;
}

}  // namespace lembrete
