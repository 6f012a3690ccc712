#pragma once
// The content of a sorted list box: items kept in alphabetical order of their texts (letter case
// ignored), each with the symbol number it stands for and its selection.
#include <cstdint>
#include <string>
#include <vector>

namespace terrak {

struct ListItem {
  std::string Text;
  std::int32_t Symbol = 0;
  bool Selected = false;
};

class SortedList {
 public:
  // Inserts at the item's place in the order, after items with an equal text.
  void Add(const std::string& text, std::int32_t symbol);
  void Delete(std::size_t index) { items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index)); }
  void Clear() { items_.clear(); }

  std::size_t Count() const { return items_.size(); }
  bool Empty() const { return items_.empty(); }
  const ListItem& operator[](std::size_t index) const { return items_[index]; }
  void Select(std::size_t index, bool selected) { items_[index].Selected = selected; }
  const std::vector<ListItem>& Items() const { return items_; }

 private:
  std::vector<ListItem> items_;
};

// Letter-case-free comparison of list texts.
bool ListTextLess(const std::string& a, const std::string& b);

}  // namespace terrak
