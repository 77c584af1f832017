#pragma once
// Tab 3, "База данных": the fields of the site's database record.

#include "output/DatabaseRecord.h"
#include "platform/CDialog.h"
#include "readme/DatabaseIds.h"

class CDatabasePage : public CDialog {
public:
    explicit CDatabasePage(WindowHandle parent = {});

    // The state the New command gives the page.
    void ResetDefaults();
    // Enables the record's fields while a record is wanted.
    void UpdateControls();
    // A record opened from a file or a draft.
    void ApplyRecord(const DatabaseRecord& record);

    // The page's values as the record builder reads them.
    DatabaseRecord CaptureRecord() const;

    void OnRecordCheck();
    void OnBrowseArchive();
    void OnBrowseImage();
    void OnSizeChange();
    void OnSiteLinkCheck();

private:
    // The archive the browse button chose, with its folder; the edit shows
    // only its name.
    FilePath m_archivePath;
};
