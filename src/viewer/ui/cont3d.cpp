#include "viewer/ui/cont3d.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>

#include "platform/qt/error_guard.h"
#include "viewer/export_commands.h"
#include "viewer/paint.h"
#include "viewer/ui/colours3d.h"
#include "viewer/ui/compasscode.h"
#include "viewer/ui/exportoptions.h"
#include "viewer/ui/exportprogress.h"
#include "viewer/ui/inclinecode.h"
#include "viewer/ui/picture_surface.h"
#include "viewer/ui/show2dmap.h"
#include "viewer/viewer_commands.h"

namespace terrak {

namespace {

constexpr int kStatusBarHeight = 20;
constexpr int kPanelWidth = 90;
// How long a message stays when the user does nothing else.
constexpr int kStatusMessageMilliseconds = 10000;

using Handler = std::function<void(ViewerWindow&)>;

struct MenuEntry {
  const char* Menu;  // "View/Options" for the submenu
  const char* Caption;
  const char* Name;
  const char* ShortCut;
  Handler Click;
};

Handler Preset(ViewpointIndex preset) {
  return [preset](ViewerWindow& w) { PresetClick(w, preset); };
}

Handler Steps(std::int32_t move, std::int32_t turn) {
  return [move, turn](ViewerWindow& w) { StepClick(w, move, turn); };
}

const std::vector<MenuEntry>& MenuEntries() {
  static const std::vector<MenuEntry> entries{
      {"Edit", "Colours", "Colours1", "", Colours1Click},
      {"Edit", "Print", "Print1", "", Print1Click},
      {"Edit", "Printer Setup", "PrinterSetup1", "", PrinterSetup1Click},
      {"Edit", "Save Bitmap", "SaveBitmap1", "", SaveBitmap1Click},
      {"Edit", "Save Location", "SaveLocation1", "", SaveLocation1Click},
      {"Edit", "Load Location", "LoadLocation1", "", LoadLocation1Click},
      {"Edit", "Save3dMap", "Save3dMap", "", Save3dMapClick},
      {"Edit", "Show 2D map", "Show2Dmap1", "", Show2Dmap1Click},
      {"View", "N", "North", "Ctrl+N", Preset(kNorthView)},
      {"View", "S", "South", "Ctrl+S", Preset(kSouthView)},
      {"View", "E", "East", "Ctrl+E", Preset(kEastView)},
      {"View", "W", "West", "Ctrl+W", Preset(kWestView)},
      {"View", "&NE", "NE", "", Preset(kNorthEastView)},
      {"View", "S&E", "SE1", "", Preset(kSouthEastView)},
      {"View", "N&W", "NW1", "", Preset(kNorthWestView)},
      {"View", "&SW", "SW1", "", Preset(kSouthWestView)},
      {"View", "Toggle Z-Buffer", "ToggleZBuffer1", "Ctrl+Z", ToggleZBuffer1Click},
      {"View", "Compass", "Compass1", "", Compass1Click},
      {"View", "Inclinometer", "Inclinometer1", "", Inclinometer1Click},
      {"View", "Toggle Wiremesh/Wedding cake", "ToggleWiremeshWeddingcake1", "F12",
       ToggleWiremeshWeddingcake1Click},
      {"View", "Ray Trace Mode", "RayTraceMode1", "F10", RayTraceMode1Click},
      {"View", "Show bitmap (toggle)", "Showbitmap", "F11", ShowbitmapClick},
      {"View/Options", "Smoothing Factor", "Smoothing1", "", Smoothing1Click},
      {"View/Options", "Smoothing passes", "Smoothingpasses1", "", Smoothingpasses1Click},
      {"View/Options", "Grid Interval", "GridInterval1", "", GridInterval1Click},
      {"View/Options", "Create XYZ file of contours", "CreateXYZfileofcontours1", "",
       CreateXYZfileofcontours1Click},
      {"View/Options", "Create matrix of whole grid", "Creatematrixofwholegrid1", "",
       Creatematrixofwholegrid1Click},
      {"View/Options", "ContourGap", "ContourGap1", "", ContourGap1Click},
      {"movement", "move 1 metre, turn 1 deg", "move1metre1", "F1", Steps(1, 1)},
      {"movement", "move 10 metres, turn 10 deg", "move10metres1", "F2", Steps(10, 10)},
      {"movement", "move 100 metres, turn 45 deg", "move100metres1", "F3", Steps(100, 45)},
      {"movement", "On the ground", "Ontheground1", "F4", Ontheground1Click},
      {"Export", "Terrain as DEM...", "TerrainasDEM1", "", TerrainasDEM1Click},
      {"Export", "Terrain as 3D model (glTF)...", "Terrainas3DmodelglTF1", "",
       Terrainas3DmodelglTF1Click},
      {"Export", "Terrain for 3D printing (STL)...", "Terrainfor3DprintingSTL1", "",
       Terrainfor3DprintingSTL1Click},
  };
  return entries;
}

}  // namespace

Tcontours::Tcontours(AppState& app, GridConstruction& construction, UserDialogs* dialogs,
                     QWidget* parent)
    : QMainWindow(parent), app_(app), construction_(construction), ownDialogs_(this),
      dialogs_(dialogs ? *dialogs : ownDialogs_), surface_(new PictureSurface(this)),
      statusBar1_(new QStatusBar(surface_)) {
  setObjectName(QStringLiteral("contours"));
  setWindowTitle(QStringLiteral("Ror Ed 3e Vorazo"));
  setAttribute(Qt::WA_DeleteOnClose);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  resize(524, 764);
  move(0, -1);
  setCentralWidget(surface_);
  BuildMenus();
  BuildStatusBar();
  surface_->Resized = [this] {
    statusBar1_->setGeometry(0, surface_->height() - kStatusBarHeight, surface_->width(),
                             kStatusBarHeight);
    if (!activated_) return;
    if (handling_)
      repaintPending_ = true;
    else
      Handle([this](ViewerWindow&) { repaintPending_ = true; });
  };
  surface_->KeyDown = [this](QKeyEvent* event) { return KeyDown(event); };
  // A menu closed with Escape or a click leaves the keyboard with the menu bar (or with no
  // widget), where the arrow keys would walk the menu titles; they move the eye instead.
  menuBar()->installEventFilter(this);
}

void Tcontours::keyPressEvent(QKeyEvent* event) {
  if (KeyDown(event)) {
    surface_->setFocus();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

bool Tcontours::eventFilter(QObject* watched, QEvent* event) {
  if (watched == menuBar() && event->type() == QEvent::KeyPress &&
      QApplication::activePopupWidget() == nullptr && KeyDown(static_cast<QKeyEvent*>(event))) {
    // The picture takes the keyboard back, which ends the menu bar's keyboard mode.
    surface_->setFocus();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

Tcontours::~Tcontours() = default;

void Tcontours::BuildMenus() {
  std::map<std::string, QMenu*> menus;
  for (const MenuEntry& entry : MenuEntries()) {
    QMenu*& menu = menus[entry.Menu];
    if (menu == nullptr) {
      const std::string path = entry.Menu;
      const std::size_t slash = path.find('/');
      if (slash == std::string::npos) {
        menu = menuBar()->addMenu(QString::fromStdString(path));
        menu->setObjectName(QString::fromStdString(path + "1"));  // Edit1, View1, ...
      } else {
        menu = menus[path.substr(0, slash)]->addMenu(QString::fromStdString(path.substr(slash + 1)));
        menu->setObjectName(QStringLiteral("Options1"));
      }
    }
    QAction* action = menu->addAction(QString::fromUtf8(entry.Caption));
    action->setObjectName(QString::fromUtf8(entry.Name));
    if (*entry.ShortCut != '\0') {
      action->setShortcut(QKeySequence(QString::fromUtf8(entry.ShortCut)));
      action->setShortcutContext(Qt::WindowShortcut);
    }
    const Handler click = entry.Click;
    connect(action, &QAction::triggered, this, [this, click] {
      statusBar1_->clearMessage();  // the user has gone on
      Handle(click);
    });
    actions_[entry.Name] = action;
  }
  for (const char* name : {"Ontheground1", "CreateXYZfileofcontours1", "Creatematrixofwholegrid1"})
    actions_[name]->setCheckable(true);
}

void Tcontours::BuildStatusBar() {
  statusBar1_->setSizeGripEnabled(false);
  statusBar1_->setAutoFillBackground(true);
  statusBar1_->setPalette(QApplication::palette(statusBar1_));
  for (QLabel*& panel : panels_) {
    panel = new QLabel(statusBar1_);
    panel->setFixedWidth(kPanelWidth);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar1_->addWidget(panel);
  }
}

QAction* Tcontours::Action(const std::string& name) const {
  const auto found = actions_.find(name);
  return found == actions_.end() ? nullptr : found->second;
}

const QImage& Tcontours::Picture() const { return surface_->BackingImage(); }

void Tcontours::MirrorState() {
  const ViewerMenu& menu = app_.Viewer.Menu;
  const std::pair<const char*, bool> enabled[] = {
      {"Showbitmap", menu.ShowbitmapEnabled},
      {"RayTraceMode1", menu.RayTraceModeEnabled},
      {"Save3dMap", menu.Save3dMapEnabled},
      {"ToggleWiremeshWeddingcake1", menu.WeddingCakeEnabled},
      {"Compass1", menu.CompassEnabled},
      {"Inclinometer1", menu.InclinometerEnabled},
      {"Show2Dmap1", menu.Show2DmapEnabled}};
  for (const auto& [name, on] : enabled) actions_.at(name)->setEnabled(on);
  const bool exports = ExportsEnabled(app_.Viewer, app_.Grid);
  for (const char* name : {"TerrainasDEM1", "Terrainas3DmodelglTF1", "Terrainfor3DprintingSTL1"})
    actions_.at(name)->setEnabled(exports);
  actions_.at("Ontheground1")->setChecked(menu.OnTheGroundChecked);
  actions_.at("CreateXYZfileofcontours1")->setChecked(menu.CreateXyzChecked);
  actions_.at("Creatematrixofwholegrid1")->setChecked(menu.CreateMatrixChecked);
}

bool Tcontours::Handle(const std::function<void(ViewerWindow&)>& handler) {
  if (handling_) return false;  // a modal dialog is up: its owner's handler finishes first
  handling_ = true;
  ViewerWindow w{app_.Viewer, app_.Grid,   app_.Model, app_.Settings,
                 dialogs_,    *this,       construction_, paint_};
  const bool ok = RunReportingErrors(dialogs_, [&] { handler(w); });
  if (repaintPending_) {
    repaintPending_ = false;
    directionPending_ = true;  // a preset, a loaded location or an aim turns the view as well
    RunReportingErrors(dialogs_, [&] {
      FormPaint(w, surface_->width(), surface_->height());
      surface_->ShowPicture(app_.Viewer.Composed);
      const auto texts = StatusPanels(app_.Viewer.Current());
      for (std::size_t i = 0; i < panels_.size(); ++i)
        panels_[i]->setText(QString::fromStdString(texts[i]));
    });
  }
  if (directionPending_) {
    directionPending_ = false;
    if (compass_) compass_->Repaint();
    if (inclinometer_) inclinometer_->Repaint();
  }
  MirrorState();
  handling_ = false;
  if (StateChanged) StateChanged();
  return ok;
}

void Tcontours::ShowStatusMessage(const std::string& text) {
  statusBar1_->showMessage(QString::fromStdString(text), kStatusMessageMilliseconds);
}

bool Tcontours::KeyDown(QKeyEvent* event) {
  ArrowKey key;
  switch (event->key()) {
    case Qt::Key_Up: key = ArrowKey::Up; break;
    case Qt::Key_Down: key = ArrowKey::Down; break;
    case Qt::Key_Left: key = ArrowKey::Left; break;
    case Qt::Key_Right: key = ArrowKey::Right; break;
    default: return false;
  }
  const Qt::KeyboardModifiers m = event->modifiers();
  const KeyModifiers modifiers{m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier),
                               m.testFlag(Qt::AltModifier)};
  statusBar1_->clearMessage();  // the panels show where the eye went
  Handle([key, modifiers](ViewerWindow& w) { FormKeyDown(w, key, modifiers); });
  return true;
}

void Tcontours::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (activated_) return;
  activated_ = true;
  Handle([this](ViewerWindow& w) {
    repaintPending_ = true;
    FormActivate(w);
  });
  surface_->setFocus();
}

void Tcontours::closeEvent(QCloseEvent* event) {
  for (QWidget* tool : std::initializer_list<QWidget*>{compass_, inclinometer_, map2d_})
    if (tool) tool->close();
  Handle([](ViewerWindow& w) { FormClose(w); });
  if (Closed) Closed();
  event->accept();
}

void Tcontours::ShowToolWindow(TDirectionWindow* tool) {
  tool->KeyDown = [this](QKeyEvent* event) { return KeyDown(event); };
  tool->show();
  // The arrow keys stay with the 3D view.
  activateWindow();
  surface_->setFocus();
}

void Tcontours::OpenCompass() {
  compass_ = new TCompass(app_.Viewer, this);
  compass_->Closed = [this] { Handle(CompassClosed); };
  ShowToolWindow(compass_);
}

void Tcontours::OpenInclinometer() {
  inclinometer_ = new Tinclinometer(app_.Viewer, this);
  inclinometer_->Closed = [this] { Handle(InclinometerClosed); };
  ShowToolWindow(inclinometer_);
}

void Tcontours::OpenOverview() {
  map2d_ = new TMap2d(app_.Viewer, app_.Grid, dialogs_, this);
  map2d_->Aimed = [this] {
    Handle([this](ViewerWindow&) { repaintPending_ = true; });
    activateWindow();  // the next arrow key moves from the new place
    surface_->setFocus();
  };
  map2d_->Closed = [this] { MirrorState(); };
  map2d_->show();
}

void Tcontours::ShowColourDialog() {
  TColours3dform dialog(app_.Settings, dialogs_, this);
  dialog.exec();
}

std::optional<PageSize> Tcontours::ChoosePrinter() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (PrintDialog) {
    if (!PrintDialog(*printer_)) return std::nullopt;
  } else {
    QPrintDialog dialog(printer_.get(), this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  }
  const QRect page = printer_->pageLayout().paintRectPixels(printer_->resolution());
  return PageSize{page.width(), page.height()};
}

void Tcontours::PrinterSetup() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPageSetupDialog dialog(printer_.get(), this);
  dialog.exec();
}

void Tcontours::PrintPicture(const terrak::Picture& picture, const Rect& rect) {
  QPainter painter;
  if (!painter.begin(printer_.get())) {
    const QString file = printer_->outputFileName();
    throw PrintError(file.isEmpty() ? std::string(kPrintNotStartedMessage)
                                    : std::string(kPrintNotStartedMessage) + " \"" +
                                          file.toStdString() + "\" cannot be written.");
  }
  painter.drawImage(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), ToQImage(picture));
  if (!painter.end() || printer_->printerState() == QPrinter::Error)
    throw PrintError(kPrintFailedMessage);
}

bool Tcontours::ChooseExportOptions(ExportKind kind, ExportChoices& choices) {
  TExportOptionsForm form(kind, choices, this);
  const bool ok = ExportOptionsDialog ? ExportOptionsDialog(form) : form.exec() == QDialog::Accepted;
  if (ok) choices = form.Choices();
  return ok;
}

std::unique_ptr<ExportProgressWindow> Tcontours::OpenExportProgress(const std::string& caption) {
  auto window = std::make_unique<TExportProgressForm>(QString::fromStdString(caption), this);
  if (ExportProgressOpened) ExportProgressOpened(*window);
  return window;
}

}  // namespace terrak
