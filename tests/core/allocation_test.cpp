// Counts the heap allocations of one call, to pin down that the readme is
// built in one buffer however large the form's texts are.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "readme/ReadmeHtml.h"
#include "template/TemplatePackage.h"

namespace {
bool g_counting = false;
int g_largeAllocations = 0;
constexpr std::size_t kLarge = 1024;
}  // namespace

void* operator new(std::size_t size) {
    if (g_counting && size >= kLarge) ++g_largeAllocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(BuildReadmeHtml, AllocatesItsResultOnceForLargeTexts) {
    TemplatePackage package;
    ASSERT_EQ(package.LoadBuiltIn(), kTemplateLoaded);
    ReadmeForm form = NewReadmeForm();
    const std::string text(32 * 1024, 'x');
    for (Text* t : {&form.pluginName, &form.pluginFile, &form.description, &form.otherRequirements, &form.installText,
                    &form.uninstallText, &form.howToPlay, &form.authors, &form.note, &form.warningText})
        *t = text + "\r\n\r\n" + text;
    form.requiresBsaArchive = form.requiresOther = form.installOther = form.uninstallOther = true;
    form.howToPlayEnabled = form.noteEnabled = form.warningOther = true;
    form.screenshotCount = 3;
    form.screenshotPath = {text, text, text};

    g_largeAllocations = 0;
    g_counting = true;
    const Text html = BuildReadmeHtml(form, package);
    g_counting = false;
    EXPECT_EQ(g_largeAllocations, 1);
    EXPECT_GT(html.size(), 10 * text.size());
}

}  // namespace
