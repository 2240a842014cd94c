#include "ui/app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/Version.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

constexpr int kIconSide = 48;

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Quintara"));
  setWindowIcon(Skin::WindowIcon());

  auto* icon = new QLabel(this);
  icon->setPixmap(Skin::WindowIcon().pixmap(kIconSide, kIconSide));
  icon->setAlignment(Qt::AlignTop);

  // The skin's style sheet colours the title by this name.
  auto* title = new QLabel(QStringLiteral("Quintara"), this);
  title->setObjectName(QStringLiteral("AboutTitle"));
  QFont titleFont = title->font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
  titleFont.setBold(true);
  title->setFont(titleFont);
  auto* version = new QLabel(QString::fromLatin1(kVersionText), this);

  auto* texts = new QVBoxLayout;
  texts->addWidget(title);
  texts->addWidget(version);
  texts->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(icon);
  top->addSpacing(12);
  top->addLayout(texts, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 18, 20, 14);
  layout->addLayout(top);
  layout->addSpacing(12);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace quintara::ui
