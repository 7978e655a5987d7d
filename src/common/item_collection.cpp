#include "common/item_collection.h"

namespace tarvo {

const clsItem* colItem::Add(const std::string& name, std::uint32_t value) {
    if (!positions_.emplace(name, items_.size()).second) return nullptr;
    items_.emplace_back(name, value);
    return &items_.back();
}

void colItem::Clear() {
    items_.clear();
    positions_.clear();
}

void colItem::Remove(std::size_t position) {
    if (position < 1 || position > items_.size()) return;
    positions_.erase(items_[position - 1].Name());
    items_.erase(items_.begin() + static_cast<long>(position - 1));
    for (std::size_t i = position - 1; i < items_.size(); ++i) positions_[items_[i].Name()] = i;
}

const clsItem* colItem::Item(std::size_t position) const {
    if (position < 1 || position > items_.size()) return nullptr;
    return &items_[position - 1];
}

const clsItem* colItem::Item(const std::string& name) const {
    const auto found = positions_.find(name);
    return found == positions_.end() ? nullptr : &items_[found->second];
}

}  // namespace tarvo
