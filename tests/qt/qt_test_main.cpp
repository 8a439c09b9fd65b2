// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QTest>

#include "qt_test_registry.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failures = 0;
  for (const auto& make : nimbra::qttest::factories()) {
    auto test = make();
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
