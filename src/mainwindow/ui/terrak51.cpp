#include "mainwindow/ui/terrak51.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <algorithm>
#include <map>

#include "mainwindow/file_commands.h"
#include "mainwindow/heights_commands.h"
#include "mainwindow/map_paint.h"
#include "mainwindow/menu_commands.h"
#include "mainwindow/mouse_events.h"
#include "mainwindow/navigation.h"
#include "mainwindow/ui/checkheights.h"
#include "mainwindow/ui/colors.h"
#include "mainwindow/ui/contourset.h"
#include "mainwindow/ui/heighttag.h"
#include "mainwindow/ui/map_surface.h"
#include "mainwindow/ui/mapsymbs.h"
#include "mainwindow/ui/newsymb.h"
#include "mainwindow/ui/uncover_watch.h"
#include "mainwindow/window_caption.h"
#include "platform/qt/error_guard.h"

namespace terrak {

namespace {

constexpr int kStatusBarHeight = 20;
constexpr int kPanelWidth = 100;
// How long a message stays when the user does nothing else.
constexpr int kStatusMessageMilliseconds = 10000;

}  // namespace

Tmapform::Tmapform(AppState& app, UserDialogs* dialogs, QWidget* parent)
    : QMainWindow(parent), app_(app), ownDialogs_(this), dialogs_(dialogs ? *dialogs : ownDialogs_),
      surface_(new MapSurface(this)),
      statusBar1_(new QStatusBar(surface_)) {
  setWindowTitle(QString::fromUtf8(kMainWindowCaption));
  QFont font(QStringLiteral("System"));
  font.setPixelSize(13);
  setFont(font);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setGeometry(264, 229, 560, 407);
  setCentralWidget(surface_);
  BuildMenus();
  BuildStatusBar();

  surface_->Resized = [this] {
    PlaceStatusBar();
    Repaint();
  };
  // Uncovering shows the saved picture again; like every repaint, it ends the Move View frame
  // and the zoom rectangle and removes a height written at the mouse.
  new UncoverWatch(this, [this] { Repaint(); });
  surface_->MouseDown = [this](MouseButton button, ShiftState keys, Point at) {
    statusBar1_->clearMessage();  // the user has gone on
    Handle([&](MapWindow& w) { FormMouseDown(w, button, keys, at); });
  };
  surface_->MouseMove = [this](Point at) { Handle([&](MapWindow& w) { FormMouseMove(w, at); }); };
  surface_->MouseUp = [this](MouseButton button) {
    Handle([&](MapWindow& w) { FormMouseUp(w, button); });
  };
  surface_->KeyPress = [this](char key) { Handle([&](MapWindow& w) { FormKeyPress(w, key); }); };
  surface_->MouseWheel = [this](Point at, int notches) {
    Handle([&](MapWindow& w) { FormMouseWheel(w, at, notches); });
  };
  MirrorState();
}

Tmapform::~Tmapform() { FormDestroy(app_); }

void Tmapform::BuildMenus() {
  std::map<std::string, QMenu*> menus;
  for (const MenuItemInfo& info : kMenuTree) {
    const QString caption = QString::fromUtf8(info.Caption);
    QAction* action = nullptr;
    if (std::string(info.Menu) == info.Caption) {
      // "3D-Views" is a menu bar entry without items: it acts when it is clicked.
      action = menuBar()->addAction(caption);
    } else {
      QMenu*& menu = menus[info.Menu];
      if (menu == nullptr) {
        menu = menuBar()->addMenu(QString::fromUtf8(info.Menu));
        // The items' hints show as tooltips while the item is under the mouse.
        menu->setToolTipsVisible(true);
      }
      action = menu->addAction(caption);
    }
    action->setObjectName(QString::fromUtf8(info.Name));
    if (*info.ShortCut != '\0') action->setShortcut(QKeySequence(QString::fromUtf8(info.ShortCut)));
    if (*info.Hint != '\0') {
      action->setToolTip(QString::fromUtf8(info.Hint));
      action->setStatusTip(QString::fromUtf8(info.Hint));
    }
    const MenuItem item = info.Item;
    action->setCheckable(item == MenuItem::MoveView || item == MenuItem::HeightsAlongLine ||
                         item == MenuItem::ShowWholeMap ||
                         std::find(kZoomItems.begin(), kZoomItems.end(), item) != kZoomItems.end());
    connect(action, &QAction::triggered, this, [this, item] {
      statusBar1_->clearMessage();
      Handle([item](MapWindow& w) { MenuItemClick(w, item); });
    });
    actions_[static_cast<std::size_t>(item)] = action;
  }
}

void Tmapform::BuildStatusBar() {
  statusBar1_->setSizeGripEnabled(false);
  // It lies over the bottom of the picture, which the map is drawn into as well.
  statusBar1_->setAutoFillBackground(true);
  statusBar1_->setPalette(QApplication::palette(statusBar1_));
  const std::array<std::string, 5> widest = WidestStatusPanelTexts();
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    QLabel*& panel = panels_[i];
    panel = new QLabel(statusBar1_);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // 100 pixels, or wider where the font needs it for the panel's longest text.
    const int needed = panel->fontMetrics().horizontalAdvance(QString::fromStdString(widest[i])) +
                       2 * panel->frameWidth() + 2 * panel->margin() + 4;
    panel->setFixedWidth(std::max(kPanelWidth, needed));
    statusBar1_->addWidget(panel);
  }
  statusBar1_->hide();
  // A message shows the bar while it lasts, also where the panels are not shown yet.
  connect(statusBar1_, &QStatusBar::messageChanged, this, [this](const QString& message) {
    if (message.isEmpty()) statusBar1_->setVisible(app_.StatusBar.Visible);
  });
}

void Tmapform::PlaceStatusBar() {
  statusBar1_->setGeometry(0, surface_->height() - kStatusBarHeight, surface_->width(),
                           kStatusBarHeight);
}

void Tmapform::MirrorState() {
  for (std::size_t i = 0; i < kMenuItemCount; ++i) {
    actions_[i]->setEnabled(app_.Menu.Enabled[i]);
    actions_[i]->setChecked(app_.Menu.Checked[i]);
  }
  for (std::size_t i = 0; i < panels_.size(); ++i)
    panels_[i]->setText(QString::fromStdString(app_.StatusBar.Panels[i]));
  statusBar1_->setVisible(app_.StatusBar.Visible || !statusBar1_->currentMessage().isEmpty());
  setWindowTitle(QString::fromStdString(MainWindowCaption(app_)));
  surface_->SetPan(HandMoveOffset(app_.Window));
  if (checkHeights_ != nullptr) {
    if (app_.Heights.Findings.empty() && checkHeights_->FindingList()->count() > 0)
      checkHeights_->ShowFindings(app_.Heights.Findings);  // the objects were read again
    checkHeights_->MarkCurrent(app_.Heights.CurrentFinding);
  }
}

void Tmapform::ShowStatusMessage(const std::string& text) {
  statusBar1_->showMessage(QString::fromStdString(text), kStatusMessageMilliseconds);
  statusBar1_->show();
}

void Tmapform::ShowPictureNow() {
  surface_->Canvas().End();
  MirrorState();
  surface_->update();
}

void Tmapform::ShowHeightFindings() {
  if (checkHeights_ == nullptr)
    checkHeights_ = new TCheckHeightsForm(
        [this](int step) { Handle([step](MapWindow& w) { NextFinding(w, step); }); },
        [this](int row) { Handle([row](MapWindow& w) { ShowFinding(w, row); }); }, this);
  checkHeights_->ShowFindings(app_.Heights.Findings);
  checkHeights_->show();
  checkHeights_->raise();
}

void Tmapform::Repaint() {
  if (handling_)
    repaintPending_ = true;
  else
    Handle(FormPaint);
}

bool Tmapform::Handle(const std::function<void(MapWindow&)>& handler) {
  if (handling_) return false;  // a modal dialog is up: its owner's handler finishes first
  handling_ = true;
  MapWindow w{app_, surface_->Canvas(), dialogs_, *this};
  const bool ok = RunReportingErrors(dialogs_, [&] { handler(w); });
  if (repaintPending_) {
    repaintPending_ = false;
    RunReportingErrors(dialogs_, [&] { FormPaint(w); });
  }
  surface_->Canvas().End();
  MirrorState();
  surface_->update();
  handling_ = false;
  if (closePending_) {
    closePending_ = false;
    close();
  }
  return ok;
}

void Tmapform::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (created_) return;
  created_ = true;
  // The window is painted once it is shown, after the settings and the last map are loaded.
  Handle([this](MapWindow& w) {
    repaintPending_ = true;
    FormCreate(w);
  });
}

void Tmapform::closeEvent(QCloseEvent* event) {
  bool mayClose = true;
  const bool ok = Handle([&mayClose](MapWindow& w) { mayClose = FormClose(w); });
  if (ok && mayClose)
    event->accept();
  else
    event->ignore();
}

void Tmapform::PlaceWindow(int left, int top, int width, int height) {
  move(left, top);
  resize(width, height);
}

bool Tmapform::ShowSymbolSelectionDialog() {
  TmaplistDlg dialog(app_, dialogs_, this);
  return dialog.exec() == QDialog::Accepted;
}

void Tmapform::ShowChangeSymbolDialog() {
  TChangeSymbForm dialog(app_, dialogs_, this);
  dialog.exec();
}

void Tmapform::ShowColourSchemeDialog() {
  TColorsform dialog(app_, dialogs_, this);
  dialog.exec();
}

std::optional<std::size_t> Tmapform::AskHeightTag(const HeightTagQuestion& question) {
  THeightTagForm dialog(question, this);
  dialog.exec();
  return dialog.Chosen();
}

std::optional<ContourSettingsQuestion> Tmapform::AskContourSettings(
    const ContourSettingsQuestion& question) {
  TContourSettingsForm dialog(question, this);
  dialog.exec();
  return dialog.Answer();
}

bool Tmapform::OpenViewer(const ViewerRequest& request) {
  return OpenViewerHook ? OpenViewerHook(request) : false;
}

void Tmapform::ViewerClosed() {
  terrak::ViewerClosed(app_.Menu);
  MirrorState();
}

void Tmapform::StateChangedElsewhere() {
  if (!handling_) MirrorState();
}

}  // namespace terrak
