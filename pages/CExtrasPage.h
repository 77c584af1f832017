#pragma once
// Tab 2, "Параметры 2": how to play, authors, note, warning and the two
// write options of Save.

#include "platform/CDialog.h"
#include "readme/ExtrasIds.h"

class CExtrasPage : public CDialog {
    Q_OBJECT
public:
    explicit CExtrasPage(QWidget* parent = nullptr);

    // The state the New command gives the page.
    void ResetDefaults();

    void OnHowToPlayEnabled();
    void OnNoteEnabled();
    void OnWarningOther();
    void OnWarningStandard();
};
