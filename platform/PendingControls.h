#pragma once
// A page's controls before they exist: what the program set, read back as
// the controls would give it, and what it asked of them (handlers, tips,
// growth) kept for when they are made. Only the values whose reading back
// is the same on every system are kept here; any other makes the controls
// first (CDialog's members in each layer ask NeedsControls).

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Layout.h"
#include "text/Text.h"

struct PendingControl {
    ControlKind kind = ControlKind::Label;
    bool enabled = true;
    bool checked = false;
    int selection = -1;
    std::vector<Text> items;  // a combo box's
    // An edit's text as GetItemText gives it, and the call that set it,
    // made again on the control.
    Text text;
    std::string setValue;
    bool setAsUtf8 = false;
    bool textSet = false;
    bool caretSet = false;  // by SetCaret since the text was set
    int caret = 0;
    std::function<void()> textChanged;
};

class PendingControls {
public:
    explicit PendingControls(std::span<const ControlSpec> layout) { Add(layout); }
    void Add(std::span<const ControlSpec> layout);

    const std::vector<ControlSpec>& layout() const { return m_layout; }
    // nullptr for an id the layout does not have.
    PendingControl* Find(int id);
    const PendingControl* Find(int id) const;

    // Each false when only the made controls can answer as they would.
    bool SetText(int id, std::string_view text, bool utf8);
    bool GetText(int id, Text& text) const;
    bool GetUtf8(int id, std::string& utf8) const;
    bool GetTextLength(int id, int& length) const;
    bool SetCaret(int id, int position);
    bool SetCheck(int id, bool checked);
    bool SetSelection(int id, int index);
    bool GetSelection(int id, int& index) const;

    // Told when a value changes, as the controls tell it.
    std::function<void()> m_changed;
    // Made again on the controls, in the order they were asked for.
    std::vector<std::function<void()>> m_later;

private:
    void Changed() const;

    std::vector<ControlSpec> m_layout;
    std::map<int, PendingControl> m_controls;
};

// Pages made while one of these lives make their controls when first
// needed: shown, focused, edited as the user edits, or looked at through
// the system.
class ControlsWhenNeeded {
public:
    ControlsWhenNeeded();
    ~ControlsWhenNeeded();
    ControlsWhenNeeded(const ControlsWhenNeeded&) = delete;
    ControlsWhenNeeded& operator=(const ControlsWhenNeeded&) = delete;
    static bool active();
};
