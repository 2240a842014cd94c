#include "ui/viewer/MultiviewerPanel.h"

#include <QKeyEvent>
#include <QPainter>

#include "ui/controls/ShadeButton.h"
#include "ui/skin/Palette.h"
#include "ui/skin/Skin.h"
#include "ui/viewer/pages/AudioPage.h"
#include "ui/viewer/pages/ColourPage.h"
#include "ui/viewer/pages/ModePage.h"
#include "ui/viewer/pages/PageWidget.h"
#include "ui/viewer/pages/SwitcherPage.h"
#include "ui/viewer/pages/SystemPage.h"
#include "ui/viewer/pages/UmdPage.h"

namespace quintara::ui {

MultiviewerPanel::MultiviewerPanel(DeviceSession& session, NetworkLink& network, Executor& executor,
                                   const DpiScale& scale, QWidget* parent)
    : QWidget(parent),
      session_(session),
      scale_(scale),
      controls_(BuildControls(MultiviewerPanelControls(), PageWidget::Colours(), *this, scale)),
      pageArea_(controls_.Find(MultiviewerPanelId::PageArea)->geometry()),
      presenter_(session, network, executor) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  for (const PageTab& tab : PageTabs()) {
    controls_.OnClicked(tab.id, this, [this, page = tab.page] { SwitchPage(page); });
  }
}

MultiviewerPanel::~MultiviewerPanel() = default;

void MultiviewerPanel::Initialise() {
  presenter_.ReadState([this](std::uint8_t firstPage) { Open(firstPage); });
}

void MultiviewerPanel::Open(std::uint8_t firstPage) {
  // The preview draws from the mirror, so it appears once the read-back has filled it.
  preview_ = new LayoutPreview(session_.Viewer(), presenter_.Selections(), scale_, this);
  preview_->setGeometry(kPreviewLeft, kPreviewTop, scale_.X(720), scale_.Y(480));
  preview_->show();
  attachment_ = session_.ViewerViews().Attach(*this);
  SwitchPage(firstPage);
  presenter_.StartListener();
}

void MultiviewerPanel::SwitchPage(std::uint8_t page) {
  const auto change = presenter_.SwitchPage(page);
  if (!change) {
    return;
  }
  if (const int tab = TabOfPage(change->from); tab != 0) {
    controls_.Get<ShadeButton>(tab)->ShowActive(false);
  }
  page_.reset();
  page_ = MakePage(change->to);
  controls_.Get<ShadeButton>(TabOfPage(change->to))->ShowActive(true);
  page_->setGeometry(pageArea_);
  page_->show();
  // The switcher grid and the windows take turns in the preview.
  RepaintPreview();
}

std::unique_ptr<QWidget> MultiviewerPanel::MakePage(std::uint8_t page) {
  switch (page) {
    case ViewerPage::Mode:
      return std::make_unique<ModePage>(session_, scale_, this);
    case ViewerPage::Switcher:
      return std::make_unique<SwitcherPage>(session_, scale_, this);
    case ViewerPage::Colour:
      return std::make_unique<ColourPage>(session_, presenter_.Selections(), scale_, this);
    case ViewerPage::Audio:
      return std::make_unique<AudioPage>(session_, presenter_.Selections(), scale_, this);
    case ViewerPage::System:
      return std::make_unique<SystemPage>(session_, scale_, this);
    case ViewerPage::Umd:
      return std::make_unique<UmdPage>(session_, scale_, this);
    default:
      return std::make_unique<PageWidget>(0, this);
  }
}

void MultiviewerPanel::RepaintPreview() {
  if (preview_ != nullptr) {
    preview_->RequestRepaint();
  }
}

void MultiviewerPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(rect(), Skin::Bitmap(SkinId::PanelBackground));
}

void MultiviewerPanel::keyPressEvent(QKeyEvent* event) {
  if (!SwallowEnterAndEscape(event)) {
    QWidget::keyPressEvent(event);
  }
}

void MultiviewerPanel::mousePressEvent(QMouseEvent* event) {
  KeepPress(event);
}

}  // namespace quintara::ui
