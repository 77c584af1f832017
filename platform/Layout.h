#pragma once
// Pages and windows are built from layout tables: one row per control, as a
// dialog template lists them.

#include <concepts>
#include <string_view>
#include <type_traits>

#include "platform/DialogUnits.h"

enum class ControlKind {
    GroupBox,
    Label,
    Edit,           // single line, scrolls horizontally
    MultiLineEdit,  // wraps, vertical scroll bar, Ctrl+Enter for a line break
    CheckBox,       // independent two-state box
    PushButton,
    DropDownCombo,  // with an edit field
    DropListCombo,  // choose among the items only
    TabControl,
    RichEdit,  // read-only formatted text: select, copy and scroll
    ListBox,   // lines to choose one of, scrolling
};

enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleDisabled = 1u << 0,
    kStyleReadOnly = 1u << 1,
    // A label that cuts a long text in its middle, keeping its start and end.
    kStyleElideMiddle = 1u << 2,
};

inline constexpr int kNoControlId = -1;

// A keyboard command: the key as Windows numbers it (a virtual-key code,
// 'N' for N) with Ctrl and Shift, and the command id it sends as a menu
// item would.
struct Accelerator {
    unsigned short key = 0;
    bool ctrl = false;
    bool shift = false;
    int command = 0;
};
inline constexpr unsigned short kKeyTab = 0x09;
inline constexpr unsigned short kKeyPageUp = 0x21;
inline constexpr unsigned short kKeyPageDown = 0x22;
inline constexpr unsigned short kKeyF5 = 0x74;

// An edit control's own commands, as its context menu offers them.
enum class EditCommand { Undo, Cut, Copy, Paste };

// A page's named control ids: a scoped enum over int that opts in with a
// `constexpr bool IsControlId(TheEnum)` beside it. The opt-in keeps other
// enums (pages, menu commands) from passing for a control.
template <class E>
concept OptsInAsControlId = requires(E id) {
    IsControlId(id);
};

template <class E>
concept ControlIdEnum = std::is_enum_v<E> && !std::is_convertible_v<E, int> &&
                        std::same_as<std::underlying_type_t<E>, int> && OptsInAsControlId<E>;

template <ControlIdEnum E>
constexpr int ControlIdValue(E id) {
    return static_cast<int>(id);
}

// A control's id as the dialogs take it: a number, or a page's named id.
class ItemId {
public:
    constexpr ItemId(int id) : m_id(id) {}
    template <ControlIdEnum E>
    constexpr ItemId(E id) : m_id(ControlIdValue(id)) {}
    constexpr operator int() const { return m_id; }

private:
    int m_id;
};

struct ControlSpec {
    int id = kNoControlId;
    ControlKind kind = ControlKind::Label;
    std::string_view caption;  // Windows-1251
    DluRect rect;
    unsigned style = kStyleNone;
    int tabOrder = 0;  // 1, 2, ... for tab stops; 0 for none

    constexpr ControlSpec() = default;
    constexpr ControlSpec(int controlId, ControlKind controlKind, std::string_view text = {}, DluRect place = {},
                          unsigned styles = kStyleNone, int tabStop = 0)
        : id(controlId), kind(controlKind), caption(text), rect(place), style(styles), tabOrder(tabStop) {}
    template <ControlIdEnum E>
    constexpr ControlSpec(E controlId, ControlKind controlKind, std::string_view text = {}, DluRect place = {},
                          unsigned styles = kStyleNone, int tabStop = 0)
        : ControlSpec(ControlIdValue(controlId), controlKind, text, place, styles, tabStop) {}
};
