// SPDX-License-Identifier: MIT
// Lets each Qt Test file register its test classes with the one qt_tests executable:
//   static nimbra::qttest::Register<MyTest> reg;
// and keeps the suite free of toolkit warnings.
#pragma once

#include <QObject>
#include <QRegularExpression>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

namespace nimbra::qttest {

using Factory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<Factory>& factories() {
  static std::vector<Factory> list;
  return list;
}

// Every toolkit warning fails the test that prints it, but the test platform's own notes on
// what it cannot do (an offscreen screen has no window manager to raise a window or to honour
// size hints). Each test class calls it first in its init().
inline void fail_on_warnings() {
  QTest::failOnWarning(QRegularExpression(QStringLiteral("^(?!This plugin does not support )")));
}

template <class T>
struct Register {
  Register() {
    factories().push_back([] { return std::make_unique<T>(); });
  }
};

}  // namespace nimbra::qttest
