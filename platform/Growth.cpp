#include "platform/Growth.h"

#include <algorithm>
#include <climits>

namespace {

const GrowthRule* RuleOf(std::span<const GrowthRule> rules, int id) {
    if (id == kNoControlId) return nullptr;
    const auto found = std::find_if(rules.begin(), rules.end(), [id](const GrowthRule& rule) { return rule.id == id; });
    return found == rules.end() ? nullptr : &*found;
}

bool Stretches(ControlKind kind) {
    switch (kind) {
        case ControlKind::GroupBox:
        case ControlKind::TabControl:
        case ControlKind::MultiLineEdit:
        case ControlKind::RichEdit:
        case ControlKind::ListBox:
            return true;
        default:
            return false;
    }
}

bool Inside(const DluRect& inner, const DluRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

// A band of layout rows that takes its share of the extra height.
struct Band {
    int top = 0;
    int bottom = 0;  // exclusive, in dialog units
    int pixels = 0;
};

}  // namespace

std::vector<PixelEdges> GrowLayout(std::span<const ControlSpec> layout, std::span<const GrowthRule> rules,
                                   PixelSize extra, const DialogBaseUnits& units) {
    const int width = std::max(extra.width, 0);
    const int height = std::max(extra.height, 0);
    const auto across = [width](const Across& share, int part) { return share.of > 0 ? width * part / share.of : 0; };

    std::vector<Band> bands;
    int weights = 0;
    for (const ControlSpec& spec : layout)
        if (const GrowthRule* rule = RuleOf(rules, spec.id); rule && rule->down > 0) {
            bands.push_back({spec.rect.y, spec.rect.y + spec.rect.height, rule->down});
            weights += rule->down;
        }
    std::sort(bands.begin(), bands.end(), [](const Band& a, const Band& b) { return a.top < b.top; });
    // Shares of the running total, so that they add up to the whole extra.
    for (int sum = 0, given = 0; Band & band : bands) {
        sum += band.pixels;
        const int upTo = height * sum / weights;
        band.pixels = upTo - given;
        given = upTo;
    }
    const auto downAbove = [&bands](int y) {
        int by = 0;
        for (const Band& band : bands)
            if (band.bottom <= y) by += band.pixels;
        return by;
    };
    const auto downThrough = [&bands](int y) {
        int by = 0;
        for (const Band& band : bands)
            if (band.top < y) by += band.pixels;
        return by;
    };

    std::vector<PixelEdges> places;
    places.reserve(layout.size());
    for (const ControlSpec& spec : layout) {
        PixelEdges place = MapDialogUnits(spec.rect, units);
        const GrowthRule* rule = RuleOf(rules, spec.id);
        if (rule) {
            place.left += across(rule->across, rule->across.left);
            place.right += across(rule->across, rule->across.right);
        } else if (Stretches(spec.kind)) {
            int left = INT_MAX, right = INT_MIN;
            for (const ControlSpec& inner : layout)
                if (const GrowthRule* framed = RuleOf(rules, inner.id);
                    framed && &inner != &spec && Inside(inner.rect, spec.rect)) {
                    left = std::min(left, across(framed->across, framed->across.left));
                    right = std::max(right, across(framed->across, framed->across.right));
                }
            if (left != INT_MAX) {
                place.left += left;
                place.right += right;
            }
        }
        const int top = downAbove(spec.rect.y);
        const bool grows = rule ? rule->down > 0 : Stretches(spec.kind);
        const int bottom = grows ? downThrough(spec.rect.y + spec.rect.height) : top;
        place.top += top;
        place.bottom += bottom;
        places.push_back(place);
    }
    return places;
}
