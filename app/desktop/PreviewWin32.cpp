// The preview on Windows, where no browser engine is built in: the readme
// rendered into a temporary folder and opened in the default browser. The
// command again renders it again.

#include "app/desktop/CMainDlg.h"
#include "output/DatabaseRecord.h"
#include "platform/Dialogs.h"
#include "platform/win32/Win32Text.h"
#include "readme/CaptureReadmeForm.h"
#include "readme/ReadmeHtml.h"

class CPreview {
public:
    FilePath folder;  // with its "\" at the end
};

void PreviewDeleter::operator()(CPreview* preview) const { delete preview; }

void CMainDlg::PreviewFormChanged() {}

void CMainDlg::TogglePreview() {
    if (!m_preview) {
        std::wstring temp(MAX_PATH + 1, L'\0');
        temp.resize(::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
        temp += L"Quillsmith preview\\";
        ::CreateDirectoryW(temp.c_str(), nullptr);
        m_preview.reset(new CPreview{Utf8FromWide(temp)});
    }
    const ShowMessage show = [this](std::string_view text, MessageIcon icon) {
        ShowMessageBox(GetSafeHwnd(), text, icon);
    };
    const ReadmeForm form = CaptureReadmeForm(*m_pluginPage, *m_extrasPage);
    const Text readme = BuildReadmeHtml(form, m_template);
    const FilePath path = m_preview->folder + "ReadMe.htm";
    bool written = true;
    const ShowMessage showAndNote = [&](std::string_view text, MessageIcon icon) {
        if (text == kReadmeNotCreated) written = false;
        show(text, icon);
    };
    // The readme and its pictures, without the site's record.
    RunSaveFileWork(MakeSaveFileWork(form, readme, DatabaseRecord{}, Text(), path), m_template, m_textBuffer,
                    showAndNote);
    if (written) OpenInBrowser(path);
}
