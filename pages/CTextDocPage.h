#pragma once
// Tab 0, "Просмотр": a text file the author opened, to reuse passages of it
// in the form through the edit control's context menu.

#include <string_view>

#include "pages/CFieldEdit.h"
#include "pages/TextDocIds.h"
#include "platform/CDialog.h"

class CTextDocPage : public CDialog {
public:
    explicit CTextDocPage(WindowHandle parent = {});

    CFieldEdit& edit() { return m_edit; }
    // Open's text: UTF-8 with CR LF line breaks. Replaces the text and its
    // undo history.
    void SetDocumentText(std::string_view utf8);

protected:
    bool OnInitDialog();
    void OnScaleChanged() override { PlaceEdit(); }

private:
    void PlaceEdit();

    CFieldEdit m_edit{*this, ControlIdValue(TextDocId::Edit)};
};
