// SPDX-License-Identifier: MIT
#include "platform/qt/short_date.h"

#include <QDate>

namespace nimbra::qt {

std::string short_date_in(const QLocale& locale, const platform::LocalDateTime& date) {
  const QDate day(date.year, date.month, date.day);
  if (!day.isValid()) return {};
  return locale.toString(day, QLocale::ShortFormat).toStdString();
}

}  // namespace nimbra::qt
