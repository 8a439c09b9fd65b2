// SPDX-License-Identifier: MIT
// The short date of a locale, kept apart from the system locale so that tests can choose one.
#pragma once

#include <QLocale>
#include <string>

#include "platform/kernel.h"

namespace nimbra::qt {

// `date` in `locale`'s short date format (UTF-8); empty when no such day exists.
std::string short_date_in(const QLocale& locale, const platform::LocalDateTime& date);

}  // namespace nimbra::qt
