#include "app/preview/PreviewModel.h"

#include <algorithm>

#include "app/preview/PreviewCaptions.h"
#include "plugin/PluginChecks.h"

void PreviewChecks::Update(const PreviewSnapshot& now) {
    m_checks = CheckRelease(now.form, now.record, now.baseFolder);
}

std::vector<Text> PreviewChecks::Lines() const {
    std::vector<Text> lines;
    lines.reserve(m_checks.size());
    for (const ReadmeCheck& check : m_checks) lines.push_back(check.message);
    if (lines.empty()) lines.emplace_back(kNoProblems);
    return lines;
}

const CheckedField* PreviewChecks::FieldOfLine(int line) const {
    if (line < 0 || static_cast<std::size_t>(line) >= m_checks.size()) return nullptr;
    return &m_checks[static_cast<std::size_t>(line)].field;
}

bool PreviewChecks::Offers(CheckOffer offer) const {
    return std::any_of(m_checks.begin(), m_checks.end(),
                       [offer](const ReadmeCheck& check) { return check.offer == offer; });
}
