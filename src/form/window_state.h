// The main window as its handlers see it: its controls by name (Button7,
// Label2, TrackBar1, RadioButton57mm, ComboBox1, ...) with their enabled and checked
// states, captions, colours, track bar positions and combo box items.
//
// The handlers never touch a toolkit widget. They read and write this state; the front
// end shows it (an observer is told the name of every control that changed) and feeds the
// user's own changes back in. Two rules that toolkits differ on are explicit here:
// - checking a radio button that was unchecked unchecks the others of its group and then
//   runs its click action, whether the user or the program checked it; checking one that
//   is checked already runs nothing;
// - setting a track bar's position clamps it to the bar's range and runs its change
//   action only when the position really changes.
//
// Thread-safety: every member may be called from any thread. Click and change actions
// and the observer run on the calling thread, after the internal lock is released, so an
// action may read and write the state itself. The observer must not block.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace zelka::form {

// Font colours of the value labels.
inline constexpr std::uint32_t kWindowTextColour = 0xFF000008;  // the system's window text
inline constexpr std::uint32_t kRedColour = 255;                // red in the low byte

// The name the observer gets when the busy state changes.
inline constexpr const char* kBusyChange = "";

struct Control {
  bool enabled = true;
  bool visible = true;
  bool checked = false;
  std::string caption;  // UTF-8; the text of a label, button, edit box or combo box
  std::uint32_t colour = kWindowTextColour;
  int position = 0;  // track bars
  int minimum = 0;
  int maximum = 0;
  std::vector<std::string> items;  // combo boxes
  std::vector<std::string> itemTips;  // combo boxes: a tooltip per item ("" for none)
  int selectedIndex = -1;
  std::string radioGroup;  // radio buttons of one group uncheck each other
};

class WindowState {
 public:
  using Action = std::function<void()>;
  using Observer = std::function<void(const std::string& name)>;

  // Adds a control, or replaces one of that name. Done once while the window is built.
  void AddControl(const std::string& name, Control control);
  Control Snapshot(const std::string& name) const;

  bool Enabled(const std::string& name) const;
  void SetEnabled(const std::string& name, bool enabled);

  bool Checked(const std::string& name) const;
  // Checking an unchecked radio button runs its click action (see above). Unchecking
  // runs nothing.
  void SetChecked(const std::string& name, bool checked);

  std::string Caption(const std::string& name) const;
  void SetCaption(const std::string& name, const std::string& caption);
  std::uint32_t Colour(const std::string& name) const;
  void SetColour(const std::string& name, std::uint32_t colour);
  // A value label: caption and font colour in one step.
  void SetValue(const std::string& name, const std::string& caption, std::uint32_t colour);

  int Position(const std::string& name) const;
  // Clamps to [minimum, maximum]; runs the change action only when the position changes.
  void SetPosition(const std::string& name, int position);

  std::vector<std::string> Items(const std::string& name) const;
  // New items lose the selection (running the change action if there was one). `tips`:
  // one tooltip per item, or none at all.
  void SetItems(const std::string& name, std::vector<std::string> items,
                std::vector<std::string> tips = {});
  std::vector<std::string> ItemTips(const std::string& name) const;
  int SelectedIndex(const std::string& name) const;
  // Selecting an item also makes it the combo box's caption; -1 selects nothing. Runs the
  // change action when the selection changes.
  void SetSelectedIndex(const std::string& name, int index);

  void SetClickAction(const std::string& name, Action action);
  void SetChangeAction(const std::string& name, Action action);
  void SetObserver(Observer observer);

  // While a printer job of the window runs, the printer's controls are shown disabled
  // (their own enabled state stays as it is) and the window shows that it is busy. The
  // observer is told with the name kBusyChange.
  void SetBusy(bool busy);
  bool Busy() const;

 private:
  Control& Find(const std::string& name);  // lock held; unknown names are a programming error
  const Control& Find(const std::string& name) const;
  void Notify(const std::string& name) const;
  Action ActionOf(const std::map<std::string, Action>& actions, const std::string& name) const;

  mutable std::mutex mutex_;
  std::map<std::string, Control> controls_;
  std::map<std::string, Action> clickActions_;
  std::map<std::string, Action> changeActions_;
  Observer observer_;
  bool busy_ = false;
};

}  // namespace zelka::form
