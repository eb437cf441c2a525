#include "platform/ui/Layout.h"

#include <cctype>
#include <optional>
#include <vector>

#include "platform/foundation/Log.h"

namespace ui::layout {

namespace {

struct Element {
    std::string name;
    std::optional<double> size;
    std::string equalTo;
};

struct Rule {
    bool horizontal = true;
    bool leadingEdge = false, trailingEdge = false;
    std::vector<Element> elements;
    std::vector<double> gaps;   // gaps[i] before elements[i]; gaps[n] after the last
};

// A connection: "-N-", "-", or nothing (0).
bool parseConnection(const std::string& f, size_t& i, double& gap) {
    gap = 0;
    if (i >= f.size() || f[i] != '-') return true;
    ++i;
    if (i < f.size() && (std::isdigit(static_cast<unsigned char>(f[i])) || f[i] == '.')) {
        size_t start = i;
        while (i < f.size() && (std::isdigit(static_cast<unsigned char>(f[i])) || f[i] == '.')) ++i;
        gap = std::stod(f.substr(start, i - start));
        if (i >= f.size() || f[i] != '-') return false;
        ++i;
    } else {
        gap = 8;
    }
    return true;
}

std::optional<Rule> parse(const std::string& format) {
    Rule r;
    std::string f;
    for (char c : format) {
        if (!std::isspace(static_cast<unsigned char>(c))) f += c;
    }
    size_t i = 0;
    if (f.rfind("H:", 0) == 0) i = 2;
    else if (f.rfind("V:", 0) == 0) {
        r.horizontal = false;
        i = 2;
    }
    if (i < f.size() && f[i] == '|') {
        r.leadingEdge = true;
        ++i;
    }
    double gap = 0;
    if (!parseConnection(f, i, gap)) return std::nullopt;
    while (i < f.size() && f[i] == '[') {
        size_t close = f.find(']', i);
        if (close == std::string::npos) return std::nullopt;
        std::string body = f.substr(i + 1, close - i - 1);
        Element e;
        size_t paren = body.find('(');
        if (paren != std::string::npos) {
            if (body.back() != ')') return std::nullopt;
            std::string pred = body.substr(paren + 1, body.size() - paren - 2);
            if (pred.rfind("==", 0) == 0) pred = pred.substr(2);
            e.name = body.substr(0, paren);
            if (!pred.empty() && (std::isdigit(static_cast<unsigned char>(pred[0])) || pred[0] == '.')) {
                try {
                    e.size = std::stod(pred);
                } catch (...) {
                    return std::nullopt;
                }
            } else {
                e.equalTo = pred;
            }
        } else {
            e.name = body;
        }
        if (e.name.empty()) return std::nullopt;
        r.gaps.push_back(gap);
        r.elements.push_back(e);
        i = close + 1;
        if (!parseConnection(f, i, gap)) return std::nullopt;
    }
    r.gaps.push_back(gap);
    if (i < f.size() && f[i] == '|') {
        r.trailingEdge = true;
        ++i;
    }
    if (i != f.size() || r.elements.empty()) return std::nullopt;
    return r;
}

}  // namespace

bool applyVisualFormat(View& container, const std::string& format, const Views& views) {
    auto rule = parse(format);
    if (!rule) {
        foundation::log("layout: cannot read \"" + format + "\"");
        return false;
    }
    for (auto& e : rule->elements) {
        if (!views.count(e.name) || !views.at(e.name)) {
            foundation::log("layout: no view named " + e.name + " in \"" + format + "\"");
            return false;
        }
        if (!e.equalTo.empty() && (!views.count(e.equalTo) || !views.at(e.equalTo))) {
            foundation::log("layout: no view named " + e.equalTo + " in \"" + format + "\"");
            return false;
        }
    }
    bool h = rule->horizontal;
    double length = h ? container.bounds().width() : container.bounds().height();
    auto sizeOf = [h](const View& v) { return h ? v.frame().width() : v.frame().height(); };
    size_t n = rule->elements.size();
    std::vector<std::optional<double>> sizes(n);
    for (size_t k = 0; k < n; ++k) {
        auto& e = rule->elements[k];
        if (e.size) sizes[k] = *e.size;
        else if (!e.equalTo.empty()) sizes[k] = sizeOf(*views.at(e.equalTo));
    }
    double gapsTotal = 0;
    for (size_t k = 1; k < n; ++k) gapsTotal += rule->gaps[k];
    double lead = rule->gaps.front(), trail = rule->gaps.back();
    int unknown = 0;
    double known = 0;
    for (auto& s : sizes) {
        if (s) known += *s;
        else ++unknown;
    }
    if (rule->leadingEdge && rule->trailingEdge && unknown == 1) {
        for (auto& s : sizes) {
            if (!s) s = std::max(0.0, length - lead - trail - gapsTotal - known);
        }
    }
    for (size_t k = 0; k < n; ++k) {
        if (!sizes[k]) sizes[k] = sizeOf(*views.at(rule->elements[k].name));
    }
    std::vector<double> pos(n);
    if (rule->leadingEdge || !rule->trailingEdge) {
        double p = rule->leadingEdge ? lead : (h ? views.at(rule->elements[0].name)->frame().x()
                                                 : views.at(rule->elements[0].name)->frame().y());
        for (size_t k = 0; k < n; ++k) {
            if (k > 0) p += rule->gaps[k];
            pos[k] = p;
            p += *sizes[k];
        }
    } else {
        double p = length - trail;
        for (size_t k = n; k-- > 0;) {
            p -= *sizes[k];
            pos[k] = p;
            p -= rule->gaps[k];
        }
    }
    for (size_t k = 0; k < n; ++k) {
        auto& v = views.at(rule->elements[k].name);
        Rect f = v->frame();
        if (h) v->setFrame({pos[k], f.y(), *sizes[k], f.height()});
        else v->setFrame({f.x(), pos[k], f.width(), *sizes[k]});
    }
    return true;
}

bool addVisualFormat(View& container, const std::string& format, const Views& views) {
    if (!applyVisualFormat(container, format, views)) return false;
    View::FormatRule rule;
    rule.format = format;
    for (auto& [name, v] : views) rule.views[name] = v;
    container.addFormatRule(std::move(rule));
    return true;
}

Rect equalWidthSlot(Rect bounds, int count, int index, double gap) {
    if (count <= 0) return {};
    double w = (bounds.width() - gap * (count - 1)) / count;
    return {bounds.x() + index * (w + gap), bounds.y(), w, bounds.height()};
}

}  // namespace ui::layout
