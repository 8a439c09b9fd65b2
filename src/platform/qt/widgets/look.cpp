// SPDX-License-Identifier: MIT
#include "platform/qt/widgets/look.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace nimbra::qt {

QFont classic_font() {
  QFont font(QStringLiteral("Noto Sans CJK JP"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(9);
  return font;
}

void apply_classic_look() {
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(style);
    QApplication::setPalette(style->standardPalette());
  }
  QApplication::setFont(classic_font());
}

}  // namespace nimbra::qt
