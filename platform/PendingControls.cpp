#include "platform/PendingControls.h"

#include "platform/CDialog.h"
#include "text/Cp1251.h"

namespace {

int g_whenNeeded = 0;

bool IsEdit(ControlKind kind) { return kind == ControlKind::Edit || kind == ControlKind::MultiLineEdit; }
bool IsCombo(ControlKind kind) { return kind == ControlKind::DropDownCombo || kind == ControlKind::DropListCombo; }

// What every system's edit gives back unchanged: printing characters, and
// in a multi-line edit CR LF. Anything else (a lone line break, a tab, a
// no-break space a text document turns into a blank, a reference) the made
// control decides.
constexpr std::size_t kLongestKept = 30000;

bool KeepsCp1251(std::string_view text, bool multiLine) {
    if (text.size() > kLongestKept || text.find("&#") != std::string_view::npos) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (multiLine && byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        if (byte < 0x20 || byte == 0x7F || byte == 0x98 || (multiLine && byte == 0xA0)) return false;
    }
    return true;
}

// A single-line edit's UTF-8 that every system keeps: printing characters
// of the Basic Multilingual Plane.
bool KeepsUtf8(std::string_view utf8) {
    if (utf8.size() > kLongestKept || utf8.find("&#") != std::string_view::npos) return false;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        const std::size_t length = cp1251::DecodeUtf8(utf8, i, cp);
        if (length == 0 || cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp > 0xFFFF) return false;
        i += length;
    }
    return true;
}

}  // namespace

ControlsWhenNeeded::ControlsWhenNeeded() { ++g_whenNeeded; }
ControlsWhenNeeded::~ControlsWhenNeeded() { --g_whenNeeded; }
bool ControlsWhenNeeded::active() { return g_whenNeeded > 0; }

void PendingControls::Add(std::span<const ControlSpec> layout) {
    for (const ControlSpec& spec : layout) {
        m_layout.push_back(spec);
        if (spec.id == kNoControlId) continue;
        PendingControl& control = m_controls[spec.id];
        control.kind = spec.kind;
        control.enabled = (spec.style & kStyleDisabled) == 0;
    }
}

PendingControl* PendingControls::Find(int id) {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : &found->second;
}

const PendingControl* PendingControls::Find(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : &found->second;
}

void PendingControls::Changed() const {
    if (m_changed) m_changed();
}

bool PendingControls::SetText(int id, std::string_view text, bool utf8) {
    PendingControl* control = Find(id);
    if (!control) return true;  // as on a page without the control: nothing
    if (!IsEdit(control->kind)) return false;
    const bool multiLine = control->kind == ControlKind::MultiLineEdit;
    Text now;
    if (utf8) {
        if (multiLine || !KeepsUtf8(text)) return false;
        now = cp1251::FromUtf8(text);
    } else {
        if (!KeepsCp1251(text, multiLine)) return false;
        now = Text(text);
    }
    control->setValue = std::string(text);
    control->setAsUtf8 = utf8;
    control->textSet = true;
    control->caretSet = false;  // a new text puts the caret at its start
    if (now == control->text) return true;
    control->text = std::move(now);
    if (control->textChanged) control->textChanged();
    Changed();
    return true;
}

bool PendingControls::GetText(int id, Text& text) const {
    const PendingControl* control = Find(id);
    if (!control) {
        text.clear();
        return true;
    }
    if (IsEdit(control->kind)) {
        text = control->text;
        return true;
    }
    if (IsCombo(control->kind)) {
        text = control->selection >= 0 ? control->items[static_cast<std::size_t>(control->selection)] : Text();
        return true;
    }
    return false;
}

bool PendingControls::GetUtf8(int id, std::string& utf8) const {
    const PendingControl* control = Find(id);
    if (!control) {
        utf8.clear();
        return true;
    }
    if (control->kind != ControlKind::Edit) return false;
    utf8 = control->setAsUtf8 ? control->setValue : cp1251::ToUtf8(control->text);
    return true;
}

bool PendingControls::GetTextLength(int id, int& length) const {
    const PendingControl* control = Find(id);
    if (!control) {
        length = 0;
        return true;
    }
    // A line break is one character on one system and two on another.
    if (!IsEdit(control->kind) || control->text.find('\r') != Text::npos) return false;
    std::string utf8;
    if (!GetUtf8(id, utf8)) utf8 = cp1251::ToUtf8(control->text);
    length = 0;
    for (const char c : utf8) length += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return true;
}

bool PendingControls::SetCaret(int id, int position) {
    PendingControl* control = Find(id);
    if (!control) return true;
    if (control->kind != ControlKind::Edit) return false;
    control->caret = position;
    control->caretSet = true;
    return true;
}

bool PendingControls::SetCheck(int id, bool checked) {
    PendingControl* control = Find(id);
    if (!control) return true;
    if (control->kind != ControlKind::CheckBox) return false;
    if (control->checked == checked) return true;
    control->checked = checked;
    Changed();
    return true;
}

bool PendingControls::SetSelection(int id, int index) {
    PendingControl* control = Find(id);
    if (!control) return true;
    if (!IsCombo(control->kind) || index < -1 || index >= static_cast<int>(control->items.size())) return false;
    if (control->selection == index) return true;
    control->selection = index;
    Changed();
    return true;
}

bool PendingControls::GetSelection(int id, int& index) const {
    const PendingControl* control = Find(id);
    if (!control) {
        index = -1;
        return true;
    }
    if (!IsCombo(control->kind)) return false;
    index = control->selection;
    return true;
}

bool CDialog::DeferControls(std::span<const ControlSpec> layout) {
    if (m_pending) {
        m_pending->Add(layout);
        return true;
    }
    if (!ControlsWhenNeeded::active()) return false;
    m_pending = std::make_unique<PendingControls>(layout);
    return true;
}

bool CDialog::Later(std::function<void()> call) {
    if (!m_pending) return false;
    m_pending->m_later.push_back(std::move(call));
    return true;
}

bool CDialog::LaterTextChange(ItemId id, const std::function<void()>& handler) {
    if (!m_pending) return false;
    // Told of the program's changes meanwhile, as the control would tell them.
    if (PendingControl* control = m_pending->Find(id)) control->textChanged = handler;
    return Later([this, id, handler] { OnTextChange(id, handler); });
}

void CDialog::AddComboItems(ItemId id, std::initializer_list<std::string_view> items) {
    if (m_pending) {
        if (PendingControl* control = m_pending->Find(id)) {
            control->items.insert(control->items.end(), items.begin(), items.end());
            control->selection = -1;
        }
        return;
    }
    AddComboItemsFrom(id, std::span(items.begin(), items.size()));
}

void CDialog::WhenControlsMade(std::function<void()> run) {
    if (!Later(run)) run();
}

void CDialog::CreateControlsNow() const {
    if (!m_pending) return;
    auto& self = const_cast<CDialog&>(*this);
    // Gone first: from here every member works on the made controls.
    const std::unique_ptr<PendingControls> pending = std::move(self.m_pending);
    self.CreateControls(pending->layout());
    // The values before the handlers: making the controls changes nothing
    // anyone was told of.
    for (const ControlSpec& spec : pending->layout()) {
        const PendingControl* control = pending->Find(spec.id);
        if (!control) continue;
        if (!control->items.empty()) {
            const std::vector<std::string_view> items(control->items.begin(), control->items.end());
            self.AddComboItemsFrom(spec.id, items);
        }
        if (control->selection >= 0) self.SetCurSel(spec.id, control->selection);
        if (control->textSet) {
            if (control->setAsUtf8)
                self.SetItemUtf8(spec.id, control->setValue);
            else
                self.SetItemText(spec.id, control->setValue);
        }
        if (control->caretSet) self.SetCaret(spec.id, control->caret);
        if (control->checked) self.SetCheck(spec.id, true);
        if (control->enabled != ((spec.style & kStyleDisabled) == 0)) self.EnableItem(spec.id, control->enabled);
    }
    if (pending->m_changed) self.OnChanged(pending->m_changed);
    for (const std::function<void()>& call : pending->m_later) call();
}
