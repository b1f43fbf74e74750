#include "platform/core/Component.h"

#include <algorithm>

namespace platform {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_) owner_->owned_.push_back(this);
}

TComponent::~TComponent() {
  while (!owned_.empty()) {
    TComponent* last = owned_.back();
    owned_.pop_back();
    last->owner_ = nullptr;
    delete last;
  }
  if (owner_) {
    auto& list = owner_->owned_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
}

}  // namespace platform
