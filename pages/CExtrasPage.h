#pragma once
// Tab 2, "Параметры 2": how to play, authors, note, warning, the two
// write options of Save and how line breaks reach the readme.

#include "platform/CDialog.h"
#include "readme/ExtrasIds.h"
#include "readme/ReadmeForm.h"

class CExtrasPage : public CDialog {
public:
    explicit CExtrasPage(WindowHandle parent = {});

    // The state the New command gives the page.
    void ResetDefaults();
    // The page's part of a form opened from a file or a draft.
    void ApplyForm(const ReadmeForm& form);

    void OnHowToPlayEnabled();
    void OnNoteEnabled();
    void OnWarningOther();
    void OnWarningStandard();
};
