#include "app/widget_binding.h"

#include <QApplication>
#include <QCoreApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include "form/translation.h"

namespace zelka::app {

using form::ControlKind;

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A caption as the user reads it: the state keeps the Russian text, shown through the
// catalogue (a port name, a number or a printer's answer has no entry and stays as it is).
QString Caption(const std::string& s) {
  return QCoreApplication::translate(form::kWindowContext, s.c_str());
}

}  // namespace

WidgetBinding::WidgetBinding(form::MainForm& form, QWidget* window,
                             const std::vector<form::ControlSpec>& specs, std::string prefix)
    : QObject(window), form_(form), prefix_(std::move(prefix)) {
  for (const auto& control : specs) {
    QWidget* parent = control.parent.empty() ? window : Widget(prefix_ + control.parent);
    QWidget* widget = Create(control, parent ? parent : window);
    widget->setObjectName(Q(control.name));
    widget->setGeometry(control.left, control.top, control.width, control.height);
    if (control.fontPixelHeight > 0) {
      QFont font = widget->font();
      font.setPixelSize(control.fontPixelHeight);
      widget->setFont(font);
    }
    const std::string stateName = prefix_ + control.name;
    widgets_[stateName] = widget;
    kinds_[stateName] = control.kind;
    Connect(control, widget);
    Apply(stateName);
  }
}

QWidget* WidgetBinding::Widget(const std::string& name) const {
  auto it = widgets_.find(name);
  return it == widgets_.end() ? nullptr : it->second.data();
}

QWidget* WidgetBinding::Create(const form::ControlSpec& control, QWidget* parent) {
  switch (control.kind) {
    case ControlKind::Button: return new QPushButton(parent);
    case ControlKind::Label: return new QLabel(parent);
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      return combo;
    }
    case ControlKind::GroupBox: return new QGroupBox(parent);
    case ControlKind::RadioButton: {
      auto* radio = new QRadioButton(parent);
      // The window state keeps the buttons of a group exclusive, for the program's
      // checks as well as the user's.
      radio->setAutoExclusive(false);
      return radio;
    }
    case ControlKind::TrackBar: {
      auto* slider = new QSlider(Qt::Horizontal, parent);
      slider->setTickPosition(QSlider::TicksBelow);
      slider->setRange(control.state.minimum, control.state.maximum);
      return slider;
    }
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(parent);
      edit->setReadOnly(true);
      return edit;
    }
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(control.state.minimum, control.state.maximum);
      bar->setTextVisible(false);
      return bar;
    }
    case ControlKind::Image: return new QLabel(parent);
  }
  return new QWidget(parent);
}

void WidgetBinding::Connect(const form::ControlSpec& control, QWidget* widget) {
  const std::string name = prefix_ + control.name;
  switch (control.kind) {
    case ControlKind::Button:
      connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
              [this, name] { form_.Click(name); });
      break;
    case ControlKind::RadioButton:
      connect(static_cast<QRadioButton*>(widget), &QRadioButton::clicked, this, [this, name] {
        form_.Window().SetChecked(name, true);
        Apply(name);  // a click on the checked button must not uncheck it
      });
      break;
    case ControlKind::TrackBar:
      connect(static_cast<QSlider*>(widget), &QSlider::valueChanged, this,
              [this, name](int value) { form_.Window().SetPosition(name, value); });
      break;
    case ControlKind::ComboBox:
      connect(static_cast<QComboBox*>(widget), &QComboBox::activated, this,
              [this, name](int index) { form_.Window().SetSelectedIndex(name, index); });
      break;
    default:
      break;
  }
}

void WidgetBinding::Apply(const std::string& stateName) {
  if (stateName == form::kBusyChange) {
    ApplyBusy();
    return;
  }
  auto it = widgets_.find(stateName);
  if (it == widgets_.end() || !it->second) return;
  QWidget* widget = it->second;
  const form::Control c = form_.Window().Snapshot(stateName);
  const QSignalBlocker blocker(widget);
  const ControlKind kind = kinds_[stateName];
  // While a printer job runs, nothing that would start another one can be pressed.
  const bool heldBack = (kind == ControlKind::Button || kind == ControlKind::RadioButton) &&
                        form_.Window().Busy();
  widget->setEnabled(c.enabled && !heldBack);
  widget->setVisible(c.visible);
  switch (kind) {
    case ControlKind::Button: static_cast<QPushButton*>(widget)->setText(Caption(c.caption)); break;
    case ControlKind::Label: {
      auto* label = static_cast<QLabel*>(widget);
      label->setText(Caption(c.caption));
      QPalette palette = label->palette();
      palette.setColor(QPalette::WindowText, c.colour == form::kRedColour
                                                 ? QColor(Qt::red)
                                                 : QApplication::palette().color(QPalette::WindowText));
      label->setPalette(palette);
      break;
    }
    case ControlKind::ComboBox: {
      auto* combo = static_cast<QComboBox*>(widget);
      QStringList items;
      for (const auto& item : c.items) items << Q(item);
      QStringList current;
      for (int i = 0; i < combo->count(); ++i) current << combo->itemText(i);
      if (items != current) {
        combo->clear();
        combo->addItems(items);
      }
      for (int i = 0; i < combo->count(); ++i) {
        const auto index = static_cast<std::size_t>(i);
        const bool tip = index < c.itemTips.size() && !c.itemTips[index].empty();
        combo->setItemData(i, tip ? QVariant(Q(c.itemTips[index])) : QVariant(), Qt::ToolTipRole);
      }
      combo->setCurrentIndex(c.selectedIndex);
      combo->setEditText(Caption(c.caption));
      break;
    }
    case ControlKind::GroupBox: static_cast<QGroupBox*>(widget)->setTitle(Caption(c.caption)); break;
    case ControlKind::RadioButton: {
      auto* radio = static_cast<QRadioButton*>(widget);
      radio->setText(Caption(c.caption));
      radio->setChecked(c.checked);
      break;
    }
    case ControlKind::TrackBar: static_cast<QSlider*>(widget)->setValue(c.position); break;
    case ControlKind::Edit: static_cast<QLineEdit*>(widget)->setText(Q(c.caption)); break;
    case ControlKind::ProgressBar: static_cast<QProgressBar*>(widget)->setValue(c.position); break;
    case ControlKind::Image: break;
  }
}

void WidgetBinding::ApplyBusy() {
  for (const auto& [name, widget] : widgets_) Apply(name);
  QWidget* window = qobject_cast<QWidget*>(parent());
  if (!window) return;
  if (form_.Window().Busy()) {
    window->setCursor(Qt::WaitCursor);
  } else {
    window->unsetCursor();
  }
}

}  // namespace zelka::app
