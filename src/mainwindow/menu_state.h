#pragma once
// The main window's menu tree as data, and the enabled and checked state of every item. The Qt
// window builds its menus from kMenuTree and mirrors MenuState after each handler.
#include <array>
#include <cstddef>
#include <cstdint>

namespace terrak {

enum class MenuItem : std::size_t {
  Openmap,
  Savemap,
  saveasmap,
  exit,
  Open3Dmap,
  Addsymbols,
  Elevations,
  ChangeType,
  TraceTolerance,
  ChangeColourScheme,
  Changeallheights1,
  ChooseHeightTag,
  ContourSettings,
  HeightsFromKnown,
  HeightsAlongLine,
  HeightsFromDem,
  CheckHeights,
  UndoHeights,
  Redraw,
  MoveView,
  sixteensize,
  eightsize,
  foursize,
  doublesize,
  normalsize,
  halfsize,
  quartersize,
  ToggleView,
  ShowWholeMap,
  N3DViews1,
};
inline constexpr std::size_t kMenuItemCount = 30;

struct MenuItemInfo {
  MenuItem Item;
  const char* Menu;      // caption of the menu bar entry that holds the item
  const char* Name;      // the item's name, as handlers and tests call it
  const char* Caption;   // "&" marks the access key
  const char* ShortCut;  // empty when none
  const char* Hint;      // empty when none
};

// In menu order. "3D-Views" is a menu bar entry without items that acts when clicked.
extern const std::array<MenuItemInfo, kMenuItemCount> kMenuTree;

const MenuItemInfo& InfoOf(MenuItem item);

struct MenuState {
  std::array<bool, kMenuItemCount> Enabled{};
  std::array<bool, kMenuItemCount> Checked{};

  bool IsEnabled(MenuItem item) const { return Enabled[static_cast<std::size_t>(item)]; }
  bool IsChecked(MenuItem item) const { return Checked[static_cast<std::size_t>(item)]; }
  void Enable(MenuItem item, bool enabled) { Enabled[static_cast<std::size_t>(item)] = enabled; }
  void Check(MenuItem item, bool checked) { Checked[static_cast<std::size_t>(item)] = checked; }
};

// The states of a freshly created window.
MenuState InitialMenuState();

// The items that need a drawn map: the editing items from "Give Symbols an Elevation" on, Redraw,
// Move View, the seven zoom items, Toggle View and Show Whole Map.
void EnableDrawingItems(MenuState& menu, bool enabled);

// The zoom items, zoom index 0 (16x) to 6 (0.25x).
extern const std::array<MenuItem, 7> kZoomItems;
// The item of a zoom index; any value outside 0 to 5 selects 0.25x.
MenuItem ZoomItemOf(std::int32_t zoomIndex);
void UncheckZoomItems(MenuState& menu);

}  // namespace terrak
