#pragma once

#include <algorithm>
#include <utility>
#include <vector>

namespace quintara {

// The views of one kind that windows have attached to the controller. A window attaches its view
// when it opens and holds the attachment; the view is detached when the attachment goes.
template <typename View>
class Views {
 public:
  class Attachment {
   public:
    Attachment() = default;
    Attachment(Views& views, View& view) : views_(&views), view_(&view) { views.Add(view); }
    ~Attachment() { Detach(); }
    Attachment(Attachment&& other) noexcept
        : views_(std::exchange(other.views_, nullptr)), view_(other.view_) {}
    Attachment& operator=(Attachment&& other) noexcept {
      if (this != &other) {
        Detach();
        views_ = std::exchange(other.views_, nullptr);
        view_ = other.view_;
      }
      return *this;
    }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    void Detach() {
      if (views_ != nullptr) {
        std::exchange(views_, nullptr)->Remove(*view_);
      }
    }

   private:
    Views* views_ = nullptr;
    View* view_ = nullptr;
  };

  [[nodiscard]] Attachment Attach(View& view) { return Attachment(*this, view); }

  // Calls every attached view; a view may detach itself or another one meanwhile.
  template <typename Call>
  void Notify(Call&& call) const {
    const std::vector<View*> attached = attached_;
    for (View* view : attached) {
      if (std::ranges::find(attached_, view) != attached_.end()) {
        call(*view);
      }
    }
  }

  bool Empty() const { return attached_.empty(); }

 private:
  void Add(View& view) { attached_.push_back(&view); }
  void Remove(View& view) { std::erase(attached_, &view); }

  std::vector<View*> attached_;
};

}  // namespace quintara
