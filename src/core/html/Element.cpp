#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <string>

#include "html/Elements.h"
#include "html/NameTable_p.h"
#include "text/TextUtil.h"

namespace HTMLParser {

namespace {

// A tag's stored attributes, after its name and NUL: calls f(name, value) for each until
// f returns true.
template <typename F>
void forEachAttribute(std::string_view stored, F&& f) {
    std::size_t pos = stored.find('\0');
    if (pos == std::string_view::npos)
        return;
    ++pos;
    while (pos < stored.size()) {
        const std::size_t nameEnd = stored.find('\0', pos);
        const std::size_t valueEnd = stored.find('\0', nameEnd + 1);
        if (f(stored.substr(pos, nameEnd - pos),
              stored.substr(nameEnd + 1, valueEnd - nameEnd - 1)))
            return;
        pos = valueEnd + 1;
    }
}

}  // namespace

Element::Element(ElementKind elementKind, std::string_view stored)
    : kind(elementKind), stored_(stored) {
    if (elementKind == ElementKind::Data) {
        name = "data";
    } else {
        const void* nul = std::memchr(stored.data(), 0, stored.size());
        name =
            stored.substr(0, nul ? static_cast<const char*>(nul) - stored.data() : stored.size());
    }
}

std::string_view Element::Attribute(std::string_view attrName) const {
    std::string_view found;
    if (kind != ElementKind::Data && stored_.size() > name.size() + 1) {
        forEachAttribute(stored_, [&](std::string_view n, std::string_view v) {
            if (n != attrName)
                return false;
            found = v;
            return true;
        });
    }
    return found;
}

std::vector<std::pair<std::string_view, std::string_view>> Element::Attributes() const {
    std::vector<std::pair<std::string_view, std::string_view>> all;
    if (kind != ElementKind::Data)
        forEachAttribute(stored_, [&](std::string_view n, std::string_view v) {
            all.emplace_back(n, v);
            return false;
        });
    return all;
}

long Element::Width() const {
    if (kind == ElementKind::Data)
        return static_cast<long>(stored_.size());
    std::string_view value = Attribute("width");
    if (value.empty())
        return 0;
    long number = 0;
    if (value.back() == '%') {
        if (!ReadInteger(value.substr(0, value.size() - 1), number))
            return 0;
        return static_cast<long>(static_cast<long long>(number) * 72 / 100);
    }
    if (!ReadInteger(value, number))
        return 0;
    return (number + 3) / 6;
}

void Elements::Start(ElementKind kind, std::size_t more) {
    if (bytes_.size() + more > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    starts_.push_back(static_cast<std::uint32_t>(bytes_.size()));
    try {
        kinds_.push_back(kind);
    } catch (...) {
        starts_.pop_back();
        throw;
    }
}

void Elements::AddText(std::string_view text) {
    Start(ElementKind::Data, text.size());
    bytes_.append(text);
}

void Elements::AppendToLastText(std::string_view text) {
    if (bytes_.size() + text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::bad_alloc();
    bytes_.append(text);
}

void Elements::AddTag(std::string_view name, ElementKind kind,
                      std::pair<std::string, std::string>* attributes, std::size_t count) {
    std::size_t size = name.size() + 1;
    for (std::size_t i = 0; i < count; ++i)
        size += attributes[i].first.size() + attributes[i].second.size() + 2;
    Start(kind, size);
    bytes_.append(name);
    bytes_ += '\0';
    if (count > 1)
        std::sort(attributes, attributes + count,
                  [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < count; ++i) {
        const auto& [n, v] = attributes[i];
        bytes_.append(n);
        bytes_ += '\0';
        bytes_.append(v);
        bytes_ += '\0';
    }
}

void Elements::Clear() {
    bytes_.clear();
    starts_.clear();
    kinds_.clear();
}

ElementKind KindOfName(std::string_view name) {
    using K = ElementKind;
    static constexpr std::array<std::pair<std::string_view, K>, 46> kinds = {{
        {"/a", K::AEnd},
        {"/blockquote", K::BlockquoteEnd},
        {"/caption", K::CaptionEnd},
        {"/dir", K::DirEnd},
        {"/div", K::DivEnd},
        {"/dl", K::DlEnd},
        {"/h1", K::H1End},
        {"/h2", K::H2End},
        {"/h3", K::H3End},
        {"/menu", K::MenuEnd},
        {"/ol", K::OlEnd},
        {"/p", K::PEnd},
        {"/pre", K::PreEnd},
        {"/table", K::TableEnd},
        {"/td", K::TdEnd},
        {"/th", K::ThEnd},
        {"/tr", K::TrEnd},
        {"/ul", K::UlEnd},
        {"/xmp", K::XmpEnd},
        {"a", K::A},
        {"blockquote", K::Blockquote},
        {"br", K::Br},
        {"caption", K::Caption},
        {"data", K::Data},
        {"dd", K::Dd},
        {"dir", K::Dir},
        {"div", K::Div},
        {"dl", K::Dl},
        {"dt", K::Dt},
        {"h1", K::H1},
        {"h2", K::H2},
        {"h3", K::H3},
        {"hr", K::Hr},
        {"img", K::Img},
        {"li", K::Li},
        {"menu", K::Menu},
        {"ol", K::Ol},
        {"p", K::P},
        {"plaintext", K::Plaintext},
        {"pre", K::Pre},
        {"table", K::Table},
        {"td", K::Td},
        {"th", K::Th},
        {"tr", K::Tr},
        {"ul", K::Ul},
        {"xmp", K::Xmp},
    }};
    static const internal::NameTable<K> table = [] {
        internal::NameTable<K> t;
        for (const auto& [n, k] : kinds)
            t.Add(n, k);
        return t;
    }();
    const K* kind = table.Find(name);
    return kind ? *kind : K::Other;
}

}  // namespace HTMLParser
