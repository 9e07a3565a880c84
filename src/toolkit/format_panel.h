// TFormatPanel: the rich-text formatting tool bar bound to a rich edit (copy, paste, undo,
// font name and size, bold, italic, underline, alignment, bullets, colour). The formatting
// itself happens in the Qt layer on the bound editor's document; headless, the panel only
// records which editor it serves and its visibility.
#pragma once

#include "toolkit/component.h"
#include "toolkit/rich_edit.h"

namespace lembrete {

class TFormatPanel : public Component {
  public:
    using Component::Component;

    TRichEdit* Editor() const { return editor_; }
    void SetEditor(TRichEdit* editor) { update(editor_, editor, Property::Data); }

  private:
    TRichEdit* editor_ = nullptr;
};

}  // namespace lembrete
