// SPDX-License-Identifier: MIT
// The whole program logic on a simulated machine, shown by the real Qt window family, and a
// recorder of what its widgets looked like each time they were painted.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <optional>
#include <vector>

#include "platform/qt/qt_window.h"
#include "platform/sim/machine.h"
#include "platform/sim/dialup/sim_ras.h"
#include "shell/startup.h"
#include "wiring/subsystems.h"

namespace nimbra::qt {

// One program instance with the Qt window family in place of the simulated one; the browser
// cache is the machine's unless the test brings its own.
struct QtProgram {
  explicit QtProgram(sim::Machine& machine, platform::UrlCache* cache = nullptr)
      : process(machine.start_process()),
        ras(machine.dialup(), window),
        services{machine.kernel(), machine.registry(), process.runtime(),
                 window,           process.comm(),     ras,
                 process.shell(),  process.http(),     cache ? *cache : machine.url_cache()},
        app(services) {
    app::install_subsystems(app);
    shell::Main(app);
  }

  sim::Process& process;
  QtWindow window;
  sim::SimRas ras;
  platform::Platform services;
  shell::AppContext app;
};

// The program's visible main window, or null.
inline QWidget* main_view() {
  QWidget* view = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == QLatin1String("MainForm") && top->isVisible()) view = top;
  }
  return view;
}

// The named widget under view; a missing one ends the test run.
template <class W = QWidget>
W* child(QWidget* view, const char* name) {
  auto* found = view->findChild<W*>(QString::fromLatin1(name));
  if (!found) qFatal("no widget %s", name);
  return found;
}

// Each painting of the watched widgets with the machine's virtual time and what it showed: a
// box's or label's text, a bar's value, otherwise the background colour.
class PaintRecorder : public QObject {
 public:
  struct Painting {
    QString widget;
    uint64_t at;
    QString look;
  };

  PaintRecorder(sim::Machine& machine, std::initializer_list<QWidget*> widgets)
      : machine_(machine) {
    for (QWidget* w : widgets) w->installEventFilter(this);
  }
  const std::vector<Painting>& paintings() const { return paintings_; }
  // When any watched widget was first painted showing the look.
  std::optional<uint64_t> first_painted(const QString& look) const {
    for (const auto& p : paintings_) {
      if (p.look == look) return p.at;
    }
    return std::nullopt;
  }
  // What the widget showed when painted at the time.
  QString painted_at(const QWidget* w, uint64_t at) const {
    for (const auto& p : paintings_) {
      if (p.widget == w->objectName() && p.at == at) return p.look;
    }
    return QStringLiteral("not painted");
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      auto* w = static_cast<QWidget*>(watched);
      QString look = w->palette().color(QPalette::Window).name();
      if (auto* box = qobject_cast<QLineEdit*>(w)) look = box->text();
      if (auto* label = qobject_cast<QLabel*>(w)) look = label->text();
      if (auto* bar = qobject_cast<QProgressBar*>(w)) look = QString::number(bar->value());
      paintings_.push_back({w->objectName(), machine_.scheduler().now_ms(), look});
    }
    return false;
  }

 private:
  sim::Machine& machine_;
  std::vector<Painting> paintings_;
};

}  // namespace nimbra::qt
