#pragma once
// Pages and windows are built from layout tables: one row per control, as a
// dialog template lists them.

#include <string_view>

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
};

enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleDisabled = 1u << 0,
    kStyleReadOnly = 1u << 1,
    kStyleStaticEdge = 1u << 2,
};

inline constexpr int kNoControlId = -1;

struct ControlSpec {
    int id = kNoControlId;
    ControlKind kind = ControlKind::Label;
    std::string_view caption;  // Windows-1251
    DluRect rect;
    unsigned style = kStyleNone;
    int tabOrder = 0;  // 1, 2, ... for tab stops; 0 for none
};
