#include "mainwindow/sorted_list.h"

#include <algorithm>
#include <cctype>

namespace terrak {

bool ListTextLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](unsigned char x, unsigned char y) {
                                        return std::tolower(x) < std::tolower(y);
                                      });
}

void SortedList::Add(const std::string& text, std::int32_t symbol) {
  const auto place = std::upper_bound(
      items_.begin(), items_.end(), text,
      [](const std::string& t, const ListItem& item) { return ListTextLess(t, item.Text); });
  items_.insert(place, ListItem{text, symbol, false});
}

}  // namespace terrak
