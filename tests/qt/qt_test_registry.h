// Lets each Qt Test file register its test classes with the one qt_tests executable:
//   static nimbra::qttest::Register<MyTest> reg;
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace nimbra::qttest {

using Factory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<Factory>& factories() {
  static std::vector<Factory> list;
  return list;
}

template <class T>
struct Register {
  Register() {
    factories().push_back([] { return std::make_unique<T>(); });
  }
};

}  // namespace nimbra::qttest
