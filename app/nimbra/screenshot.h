#pragma once

#include <QString>

namespace nimbra::app {

// Once the program's window is up, saves a picture of it to `file` and quits the program.
void take_screenshot_when_shown(const QString& file, int delay_ms);

// Once the window is up, shows each of its pages in turn as a user's tab click would and saves
// PREFIX-1.png to PREFIX-5.png, then quits the program.
void take_page_screenshots_when_shown(const QString& prefix, int delay_ms);

}  // namespace nimbra::app
