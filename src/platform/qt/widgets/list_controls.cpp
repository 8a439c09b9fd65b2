// SPDX-License-Identifier: MIT
// Controls that show a list: tab strips, tree views with check boxes, combo boxes, list boxes.
#include <QComboBox>
#include <QFrame>
#include <QListWidget>
#include <QTabBar>
#include <QTreeWidget>

#include "platform/qt/widgets/control_widgets.h"

namespace nimbra::qt {
namespace {

using platform::Control;
using platform::ControlKind;

QStringList to_qstring_list(const std::vector<std::string>& items) {
  QStringList list;
  list.reserve(static_cast<qsizetype>(items.size()));
  for (const auto& item : items) list.append(to_qstring(item));
  return list;
}

void apply_list_colors(QPalette& palette, const QColor& back, const QColor& fore) {
  set_back_role(palette, QPalette::Base, back);
  set_text_role(palette, QPalette::Text, fore);
}

// A row of tabs over a framed area. The page frames are the logic's own controls, placed over
// the strip's client area, so the strip holds no pages.
class TabStripBinding : public ControlBinding {
 public:
  TabStripBinding(platform::TabStrip& strip, QWidget* parent, const Context& context)
      : ControlBinding(strip, new QWidget(parent), context),
        strip_(strip),
        pane_(new QFrame(widget())),
        bar_(new QTabBar(widget())) {
    pane_->setFrameShape(QFrame::StyledPanel);
    bar_->setDrawBase(false);
    bar_->setExpanding(false);
    QObject::connect(bar_, &QTabBar::currentChanged, bar_, [this](int index) {
      if (input_open() && index >= 0 && index + 1 != strip_.selected) strip_.user_select(index + 1);
    });
  }

 protected:
  void apply_kind() override {
    const QStringList captions = to_qstring_list(strip_.tab_captions);
    while (bar_->count() > captions.size()) bar_->removeTab(bar_->count() - 1);
    for (int i = 0; i < captions.size(); ++i) {
      if (i == bar_->count()) bar_->addTab(captions[i]);
      if (bar_->tabText(i) != captions[i]) bar_->setTabText(i, captions[i]);
    }
    const int selected = strip_.selected;
    if (selected >= 1 && selected <= bar_->count()) bar_->setCurrentIndex(selected - 1);

    const int row = scale().y(strip_.client_top() - strip_.top);
    const QSize size = widget()->size();
    bar_->setGeometry(0, 0, size.width(), row);
    // The pane's top border runs under the tabs so the selected tab joins it.
    pane_->setGeometry(0, row - 1, size.width(), std::max(0, size.height() - row + 1));
  }

 private:
  platform::TabStrip& strip_;
  QFrame* pane_;
  QTabBar* bar_;  // after the pane: stacked above it
};

class TreeViewBinding : public ControlBinding {
 public:
  TreeViewBinding(platform::TreeView& tree, QWidget* parent, const Context& context)
      : ControlBinding(tree, new QTreeWidget(parent), context), tree_(tree) {
    auto* view = static_cast<QTreeWidget*>(widget());
    view->setColumnCount(1);
    view->setHeaderHidden(true);
    view->setRootIsDecorated(false);
    QObject::connect(view, &QTreeWidget::itemChanged, view,
                     [this, view](QTreeWidgetItem* item, int) {
                       if (!input_open()) return;
                       const int index = view->indexOfTopLevelItem(item);
                       if (index < 0 || index >= static_cast<int>(tree_.nodes.get().size())) return;
                       const bool checked = item->checkState(0) == Qt::Checked;
                       if (tree_.node(index + 1).checked != checked) {
                         tree_.user_check(index + 1, checked);
                       }
                     });
  }

 protected:
  void apply_kind() override {
    auto* view = static_cast<QTreeWidget*>(widget());
    const auto& nodes = tree_.nodes.get();
    const int count = static_cast<int>(nodes.size());
    while (view->topLevelItemCount() > count) delete view->takeTopLevelItem(count);
    while (view->topLevelItemCount() < count) {
      auto* item = new QTreeWidgetItem(view);
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    }
    for (int i = 0; i < count; ++i) {
      QTreeWidgetItem* item = view->topLevelItem(i);
      const QString text = to_qstring(nodes[static_cast<size_t>(i)].text);
      if (item->text(0) != text) item->setText(0, text);
      item->setCheckState(0, nodes[static_cast<size_t>(i)].checked ? Qt::Checked : Qt::Unchecked);
    }
  }
  void apply_colors(QPalette& palette, const QColor& back, const QColor& fore) const override {
    apply_list_colors(palette, back, fore);
  }

 private:
  platform::TreeView& tree_;
};

class ComboBoxBinding : public ControlBinding {
 public:
  ComboBoxBinding(platform::ComboBox& combo, QWidget* parent, const Context& context)
      : ControlBinding(combo, new QComboBox(parent), context), combo_(combo) {
    auto* box = static_cast<QComboBox*>(widget());
    box->setEditable(false);
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [this](int index) {
      if (input_open() && index >= 0 && index != combo_.list_index) combo_.user_select(index);
    });
  }

 protected:
  void apply_kind() override {
    auto* box = static_cast<QComboBox*>(widget());
    const QStringList items = to_qstring_list(combo_.items);
    bool same = box->count() == items.size();
    for (int i = 0; same && i < items.size(); ++i) same = box->itemText(i) == items[i];
    if (!same) {
      box->clear();
      box->addItems(items);
    }
    const int index = combo_.list_index;
    box->setCurrentIndex(index < box->count() ? index : -1);
  }
  void apply_colors(QPalette& palette, const QColor& back, const QColor& fore) const override {
    apply_list_colors(palette, back, fore);
  }

 private:
  platform::ComboBox& combo_;
};

class ListBoxBinding : public ControlBinding {
 public:
  ListBoxBinding(platform::ListBox& list, QWidget* parent, const Context& context)
      : ControlBinding(list, new QListWidget(parent), context), list_(list) {
    auto* view = static_cast<QListWidget*>(widget());
    QObject::connect(view, &QListWidget::currentRowChanged, view, [this](int row) {
      if (input_open() && row >= 0 && row != list_.list_index) list_.user_select(row);
    });
  }

 protected:
  void apply_kind() override {
    auto* view = static_cast<QListWidget*>(widget());
    const auto& items = list_.items.get();
    // Items only added since the view last took the list are appended alone: a list that
    // grows one item at a time costs one item per change, not the whole list.
    if (list_.items_replaced() != replaced_seen_ ||
        static_cast<size_t>(view->count()) > items.size()) {
      view->clear();
      replaced_seen_ = list_.items_replaced();
    }
    for (size_t i = static_cast<size_t>(view->count()); i < items.size(); ++i) {
      view->addItem(to_qstring(items[i]));
    }
    const int index = list_.list_index;
    view->setCurrentRow(index < view->count() ? index : -1);
  }
  void apply_colors(QPalette& palette, const QColor& back, const QColor& fore) const override {
    apply_list_colors(palette, back, fore);
  }

 private:
  platform::ListBox& list_;
  uint64_t replaced_seen_ = ~uint64_t{0};
};

}  // namespace

std::unique_ptr<ControlBinding> bind_list_control(Control& control, QWidget* parent,
                                                  const ControlBinding::Context& context) {
  switch (control.kind()) {
    case ControlKind::TabStrip:
      return std::make_unique<TabStripBinding>(static_cast<platform::TabStrip&>(control), parent,
                                               context);
    case ControlKind::TreeView:
      return std::make_unique<TreeViewBinding>(static_cast<platform::TreeView&>(control), parent,
                                               context);
    case ControlKind::ComboBox:
      return std::make_unique<ComboBoxBinding>(static_cast<platform::ComboBox&>(control), parent,
                                               context);
    case ControlKind::ListBox:
      return std::make_unique<ListBoxBinding>(static_cast<platform::ListBox&>(control), parent,
                                              context);
    default:
      return nullptr;
  }
}

}  // namespace nimbra::qt
