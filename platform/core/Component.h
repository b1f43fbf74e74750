// The owner relation of the class library's components: an owner frees the components it
// owns when it is destroyed; a component without an owner is freed by whoever made it.
#pragma once

#include <cstddef>
#include <vector>

namespace platform {

class TComponent {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  // Frees the owned components, the last one first, and leaves the owner's list.
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(owned_.size()); }
  TComponent* Components(int index) const { return owned_.at(static_cast<std::size_t>(index)); }

 private:
  TComponent* owner_;
  std::vector<TComponent*> owned_;
};

}  // namespace platform
