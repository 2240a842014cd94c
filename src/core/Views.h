#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>
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

  // Calls every view attached when it began; a view may detach itself or another one meanwhile.
  // Runs for every report, so it copies nothing: a view detached during the calls leaves a gap
  // that is closed once they are over.
  template <typename Call>
  void Notify(Call&& call) {
    ++notifying_;
    const std::size_t count = attached_.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (attached_[i] != nullptr) {
        call(*attached_[i]);
      }
    }
    if (--notifying_ == 0) {
      std::erase(attached_, nullptr);
    }
  }

  bool Empty() const { return std::ranges::count(attached_, nullptr) == std::ssize(attached_); }

 private:
  void Add(View& view) { attached_.push_back(&view); }
  void Remove(View& view) {
    if (notifying_ > 0) {
      std::ranges::replace(attached_, &view, nullptr);
    } else {
      std::erase(attached_, &view);
    }
  }

  std::vector<View*> attached_;
  int notifying_ = 0;
};

}  // namespace quintara
