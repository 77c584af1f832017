#pragma once
// A page's controls as the capture reads them: by id, whatever platform
// shows them. The pages provide it.

#include "text/Text.h"

class ControlValues {
public:
    // The whole text; a multi-line text with CR LF line breaks.
    virtual Text GetItemText(int id) const = 0;
    // A single-line text as UTF-8, for file names.
    virtual std::string GetItemUtf8(int id) const = 0;
    virtual bool IsChecked(int id) const = 0;
    // Index of the selected list item, -1 when there is none.
    virtual int GetCurSel(int id) const = 0;

protected:
    ~ControlValues() = default;
};
