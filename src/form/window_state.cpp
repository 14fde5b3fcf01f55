#include "form/window_state.h"

#include <algorithm>
#include <stdexcept>

namespace zelka::form {

void WindowState::AddControl(const std::string& name, Control control) {
  {
    std::lock_guard lock(mutex_);
    controls_[name] = std::move(control);
  }
  Notify(name);
}

Control WindowState::Snapshot(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name);
}

bool WindowState::Enabled(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name).enabled;
}

void WindowState::SetEnabled(const std::string& name, bool enabled) {
  {
    std::lock_guard lock(mutex_);
    Control& c = Find(name);
    if (c.enabled == enabled) return;
    c.enabled = enabled;
  }
  Notify(name);
}

bool WindowState::Checked(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name).checked;
}

void WindowState::SetChecked(const std::string& name, bool checked) {
  std::vector<std::string> changed;
  {
    std::lock_guard lock(mutex_);
    Control& c = Find(name);
    if (c.checked == checked) return;
    c.checked = checked;
    changed.push_back(name);
    if (checked && !c.radioGroup.empty()) {
      for (auto& [otherName, other] : controls_) {
        if (otherName != name && other.radioGroup == c.radioGroup && other.checked) {
          other.checked = false;
          changed.push_back(otherName);
        }
      }
    }
  }
  for (const auto& n : changed) Notify(n);
  if (checked) {
    if (Action action = ActionOf(clickActions_, name)) action();
  }
}

std::string WindowState::Caption(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name).caption;
}

void WindowState::SetCaption(const std::string& name, const std::string& caption) {
  {
    std::lock_guard lock(mutex_);
    Control& c = Find(name);
    if (c.caption == caption) return;
    c.caption = caption;
  }
  Notify(name);
}

std::uint32_t WindowState::Colour(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name).colour;
}

void WindowState::SetColour(const std::string& name, std::uint32_t colour) {
  {
    std::lock_guard lock(mutex_);
    Control& c = Find(name);
    if (c.colour == colour) return;
    c.colour = colour;
  }
  Notify(name);
}

void WindowState::SetValue(const std::string& name, const std::string& caption,
                           std::uint32_t colour) {
  {
    std::lock_guard lock(mutex_);
    Control& c = Find(name);
    if (c.caption == caption && c.colour == colour) return;
    c.caption = caption;
    c.colour = colour;
  }
  Notify(name);
}

int WindowState::Position(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name).position;
}

void WindowState::SetPosition(const std::string& name, int position) {
  {
    std::lock_guard lock(mutex_);
    Control& c = Find(name);
    const int clamped = std::clamp(position, c.minimum, std::max(c.minimum, c.maximum));
    if (c.position == clamped) return;
    c.position = clamped;
  }
  Notify(name);
  if (Action action = ActionOf(changeActions_, name)) action();
}

std::vector<std::string> WindowState::Items(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name).items;
}

std::vector<std::string> WindowState::ItemTips(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name).itemTips;
}

void WindowState::SetItems(const std::string& name, std::vector<std::string> items,
                           std::vector<std::string> tips) {
  bool selectionLost = false;
  tips.resize(tips.empty() ? 0 : items.size());
  {
    std::lock_guard lock(mutex_);
    Control& c = Find(name);
    c.items = std::move(items);
    c.itemTips = std::move(tips);
    selectionLost = c.selectedIndex != -1;
    c.selectedIndex = -1;
  }
  Notify(name);
  if (selectionLost) {
    if (Action action = ActionOf(changeActions_, name)) action();
  }
}

int WindowState::SelectedIndex(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name).selectedIndex;
}

void WindowState::SetSelectedIndex(const std::string& name, int index) {
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    Control& c = Find(name);
    const int before = c.selectedIndex;
    if (index < 0 || index >= static_cast<int>(c.items.size())) {
      c.selectedIndex = -1;
    } else {
      c.selectedIndex = index;
      c.caption = c.items[static_cast<std::size_t>(index)];
    }
    changed = c.selectedIndex != before;
  }
  Notify(name);
  if (changed) {
    if (Action action = ActionOf(changeActions_, name)) action();
  }
}

void WindowState::SetClickAction(const std::string& name, Action action) {
  std::lock_guard lock(mutex_);
  clickActions_[name] = std::move(action);
}

void WindowState::SetChangeAction(const std::string& name, Action action) {
  std::lock_guard lock(mutex_);
  changeActions_[name] = std::move(action);
}

void WindowState::SetObserver(Observer observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

Control& WindowState::Find(const std::string& name) {
  auto it = controls_.find(name);
  if (it == controls_.end()) throw std::logic_error("no control named " + name);
  return it->second;
}

const Control& WindowState::Find(const std::string& name) const {
  auto it = controls_.find(name);
  if (it == controls_.end()) throw std::logic_error("no control named " + name);
  return it->second;
}

void WindowState::Notify(const std::string& name) const {
  Observer observer;
  {
    std::lock_guard lock(mutex_);
    observer = observer_;
  }
  if (observer) observer(name);
}

WindowState::Action WindowState::ActionOf(const std::map<std::string, Action>& actions,
                                          const std::string& name) const {
  std::lock_guard lock(mutex_);
  auto it = actions.find(name);
  return it == actions.end() ? Action{} : it->second;
}

void WindowState::SetBusy(bool busy) {
  {
    std::lock_guard lock(mutex_);
    if (busy_ == busy) return;
    busy_ = busy;
  }
  Notify(kBusyChange);
}

bool WindowState::Busy() const {
  std::lock_guard lock(mutex_);
  return busy_;
}

}  // namespace zelka::form
