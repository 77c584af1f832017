// The pages, the same source as on Linux, on the Win32 layer: a form goes
// in and comes back whole, dropped files fill the screenshot slots, the
// text document's selection counts in the program's text, and the
// reference pages read their documents.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "pages/CExtrasPage.h"
#include "pages/CPluginPage.h"
#include "pages/CTextDocPage.h"
#include "platform/win32/Win32Controls.h"
#include "platform/win32/Win32Dialog.h"
#include "readme/CaptureReadmeForm.h"
#include "reference/CAboutPage.h"
#include "reference/CHelpPage.h"
#include "text/Cp1251.h"

namespace {

// A window for the pages to live in.
class Host : public CDialog {
public:
    Host() {
        EXPECT_TRUE(InitControls());
        EXPECT_TRUE(CreateTopLevel("host", {0, 0, 440, 310}));
    }
};

TEST(Win32Pages, AFormGoesInAndComesBackWhole) {
    Host host;
    CPluginPage plugin(host.GetSafeHwnd());
    CExtrasPage extras(host.GetSafeHwnd());
    ASSERT_NE(Hwnd(plugin), nullptr);
    ReadmeForm form = NewReadmeForm();
    form.pluginName = "Маяк у Тихой заводи"_cp;
    form.description = "Первая строка\r\nвторая"_cp;
    form.requiresOther = true;
    form.otherRequirements = "Ещё"_cp;
    form.screenshotCount = 2;
    form.screenshotPath = {"..\\shots\\первый.jpg", "C:\\снимки\\2.png", ""};
    form.howToPlayEnabled = true;
    form.howToPlay = "Играть"_cp;
    form.authors = "Автор"_cp;
    plugin.ApplyForm(form);
    extras.ApplyForm(form);
    EXPECT_EQ(CaptureReadmeForm(plugin, extras), form);
    EXPECT_TRUE(plugin.IsItemEnabled(PluginId::Screenshot2));
    EXPECT_FALSE(plugin.IsItemEnabled(PluginId::Screenshot3));

    plugin.ResetDefaults();
    extras.ResetDefaults();
    EXPECT_EQ(CaptureReadmeForm(plugin, extras), NewReadmeForm());
}

TEST(Win32Pages, DroppedScreenshotsFillTheBoxOrTheFreeSlots) {
    Host host;
    CPluginPage plugin(host.GetSafeHwnd());
    plugin.ResetDefaults();
    plugin.OnDropFiles({"C:\\shots\\второй.jpg"}, ControlIdValue(PluginId::Screenshot2));
    EXPECT_EQ(plugin.GetItemUtf8(PluginId::Screenshot2), "C:\\shots\\второй.jpg");
    EXPECT_EQ(plugin.GetCurSel(PluginId::ScreenshotCount), 2);
    plugin.OnDropFiles({"a.png", "b.png"}, kNoControlId);
    EXPECT_EQ(plugin.GetItemUtf8(PluginId::Screenshot1), "a.png");
    EXPECT_EQ(plugin.GetItemUtf8(PluginId::Screenshot3), "b.png");
    EXPECT_EQ(plugin.GetCurSel(PluginId::ScreenshotCount), 3);
    EXPECT_TRUE(plugin.IsItemEnabled(PluginId::Screenshot3));
}

TEST(Win32Pages, TheTextDocumentCountsItsSelectionInTheProgramsText) {
    Host host;
    CTextDocPage page(host.GetSafeHwnd());
    page.SetDocumentText("Маяк\r\n日x");
    EXPECT_EQ(page.edit().GetWindowText(), Text("Маяк\r\n&#26085;x"_cp));
    EXPECT_FALSE(page.edit().CanUndo());
    ::SendMessageW(ItemHwnd(page, TextDocId::Edit), EM_SETSEL, 6, 8);  // 日x
    int start = -1, end = -1;
    page.edit().GetSel(start, end);
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 15);
    // The edit fills the frame, inside the page.
    RECT place{};
    ::GetWindowRect(ItemHwnd(page, TextDocId::Edit), &place);
    ::MapWindowPoints(nullptr, Hwnd(page), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, page.ScreenPixels(16));
    EXPECT_EQ(place.bottom, page.ClientSize().height - page.ScreenPixels(16));
}

TEST(Win32Pages, ReferencePagesReadTheirDocumentsAndTheLicenceStaysBelowTheBanner) {
    Host host;
    CHelpPage help(host.GetSafeHwnd());
    CAboutPage about(host.GetSafeHwnd());
    EXPECT_NE(help.GetItemText(HelpId::Guide).find("Как пользоваться"_cp), Text::npos);
    EXPECT_EQ(help.GetItemText(HelpId::Guide).find("\\rtf"), Text::npos);
    EXPECT_GT(about.GetItemTextLength(AboutId::Licence), 1000);

    const PixelEdges banner = about.BannerRect();
    EXPECT_EQ(banner.right - banner.left, about.ScreenPixels(580));
    RECT box{};
    ::GetWindowRect(ItemHwnd(about, AboutId::Licence), &box);
    ::MapWindowPoints(nullptr, Hwnd(about), reinterpret_cast<POINT*>(&box), 2);
    EXPECT_GE(box.top, banner.bottom);

    about.LoadBanner({});
    EXPECT_TRUE(about.banner().isNull());
    EXPECT_EQ(about.BannerRect().right, 0);
}

}  // namespace
