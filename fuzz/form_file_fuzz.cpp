// The renderer's form-file reader on any bytes: it answers with a form or an
// error, never throws or crashes, and a form it accepts renders.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "form/FormFile.h"
#include "readme/ReadmeHtml.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FormFileResult result = ReadFormFile({reinterpret_cast<const char*>(data), size});
    if (result.ok() == !result.error.empty()) std::abort();
    // The message quotes none of the bytes: it is UTF-8 without a control character.
    if (!cp1251::IsValidUtf8(result.error)) std::abort();
    for (char c : result.error)
        if (static_cast<unsigned char>(c) < 0x20) std::abort();
    if (result.ok()) {
        static TemplatePackage package = [] {
            TemplatePackage p;
            p.LoadBuiltIn();
            return p;
        }();
        (void)BuildReadmeHtml(result.file.form, package).size();
    }
    return 0;
}
