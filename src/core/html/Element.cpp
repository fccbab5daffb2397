#include <memory>
#include <string>
#include <unordered_map>

#include "html/ElementData.h"
#include "html/ElementTag.h"
#include "html/Elements.h"
#include "text/TextUtil.h"

namespace HTMLParser {

namespace {

const std::string kEmpty;

}  // namespace

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;
constexpr std::size_t kBlocksKept = 16;

}  // namespace

void* Elements::Allocate(std::size_t size, std::size_t align) {
    for (;;) {
        if (block_ < blocks_.size()) {
            const std::size_t start = (used_ + align - 1) / align * align;
            if (start + size <= kBlockBytes) {
                used_ = start + size;
                return blocks_[block_].get() + start;
            }
            ++block_;
            used_ = 0;
            continue;
        }
        blocks_.emplace_back(new std::byte[kBlockBytes]);  // uninitialised
    }
}

void Elements::Clear() {
    for (Element* e : items_)
        e->~Element();
    items_.clear();
    if (blocks_.size() > kBlocksKept)
        blocks_.resize(kBlocksKept);
    block_ = 0;
    used_ = 0;
}

ElementKind KindOfName(std::string_view name) {
    using K = ElementKind;
    static const std::unordered_map<std::string_view, K> kinds = {
        {"data", K::Data},
        {"a", K::A},
        {"/a", K::AEnd},
        {"img", K::Img},
        {"table", K::Table},
        {"/table", K::TableEnd},
        {"caption", K::Caption},
        {"/caption", K::CaptionEnd},
        {"tr", K::Tr},
        {"/tr", K::TrEnd},
        {"td", K::Td},
        {"/td", K::TdEnd},
        {"th", K::Th},
        {"/th", K::ThEnd},
        {"ol", K::Ol},
        {"/ol", K::OlEnd},
        {"ul", K::Ul},
        {"/ul", K::UlEnd},
        {"dl", K::Dl},
        {"/dl", K::DlEnd},
        {"menu", K::Menu},
        {"/menu", K::MenuEnd},
        {"dir", K::Dir},
        {"/dir", K::DirEnd},
        {"li", K::Li},
        {"dt", K::Dt},
        {"dd", K::Dd},
        {"blockquote", K::Blockquote},
        {"/blockquote", K::BlockquoteEnd},
        {"pre", K::Pre},
        {"/pre", K::PreEnd},
        {"xmp", K::Xmp},
        {"/xmp", K::XmpEnd},
        {"plaintext", K::Plaintext},
        {"p", K::P},
        {"/p", K::PEnd},
        {"div", K::Div},
        {"/div", K::DivEnd},
        {"h1", K::H1},
        {"h2", K::H2},
        {"h3", K::H3},
        {"/h1", K::H1End},
        {"/h2", K::H2End},
        {"/h3", K::H3End},
        {"br", K::Br},
        {"hr", K::Hr},
    };
    auto it = kinds.find(name);
    return it == kinds.end() ? K::Other : it->second;
}

void ElementTag::SetAttribute(std::string attrName, std::string value) {
    auto it = attributes_.begin();
    while (it != attributes_.end() && it->first < attrName)
        ++it;
    if (it != attributes_.end() && it->first == attrName)
        return;
    attributes_.emplace(it, std::move(attrName), std::move(value));
}

const std::string& ElementTag::Attribute(std::string_view attrName) const {
    for (const auto& [n, v] : attributes_)
        if (n == attrName)
            return v;
    return kEmpty;
}

const std::string& ElementTag::Text() const {
    return kEmpty;
}

long ElementTag::Width() const {
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

const std::string& ElementData::Attribute(std::string_view) const {
    return kEmpty;
}

}  // namespace HTMLParser
