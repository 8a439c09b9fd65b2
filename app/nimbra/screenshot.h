#pragma once

#include <QString>

namespace nimbra::app {

// Once the program's window is up, saves a picture of it to `file` and quits the program.
void take_screenshot_when_shown(const QString& file, int delay_ms);

}  // namespace nimbra::app
