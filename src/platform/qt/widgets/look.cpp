// SPDX-License-Identifier: MIT
#include "platform/qt/widgets/look.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace nimbra::qt {

QFont classic_font(platform::Language language) {
  QFont font(language == platform::Language::Japanese ? QStringLiteral("Noto Sans CJK JP")
                                                      : QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(9);
  return font;
}

void apply_classic_look(platform::Language language) {
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(style);
    QApplication::setPalette(style->standardPalette());
  }
  QApplication::setFont(classic_font(language));
}

}  // namespace nimbra::qt
