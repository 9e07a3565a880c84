// TImage: a picture held by a form (the grid's check, uncheck and alarm bitmaps). Headless, a
// picture is its resource name; cell paint descriptions refer to images by component name and
// the Qt layer loads the picture named here.
#pragma once

#include <string>

#include "toolkit/component.h"

namespace lembrete {

class TImage : public Component {
  public:
    using Component::Component;

    const std::string& Picture() const { return picture_; }
    void SetPicture(std::string picture) { update(picture_, std::move(picture), Property::Data); }

  private:
    std::string picture_;
};

}  // namespace lembrete
