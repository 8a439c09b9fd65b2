// SPDX-License-Identifier: MIT
// The widget of each kind of control, bound both ways to its control object.
#pragma once

#include <memory>

#include "platform/qt/widgets/control_binding.h"

namespace nimbra::qt {

// Builds the widget for `control` inside `parent` and binds it (a timer gets no widget).
std::unique_ptr<ControlBinding> bind_control(platform::Control& control, QWidget* parent,
                                             const ControlBinding::Context& context);

// Builders per family of kinds, each in its own file.
std::unique_ptr<ControlBinding> bind_static_control(platform::Control& control, QWidget* parent,
                                                    const ControlBinding::Context& context);
std::unique_ptr<ControlBinding> bind_text_box(platform::TextBox& box, QWidget* parent,
                                              const ControlBinding::Context& context);
std::unique_ptr<ControlBinding> bind_list_control(platform::Control& control, QWidget* parent,
                                                  const ControlBinding::Context& context);

}  // namespace nimbra::qt
