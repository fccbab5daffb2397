// The folders of src/ include one another only as doc/architecture.md allows: its table
// "folder | may include" is read, every #include "..." under src/ is resolved as the
// compiler resolves it, and an include of a folder the table does not allow fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path kSource = fs::path(BREVILO_SOURCE_DIR).lexically_normal();

using Rules = std::map<std::string, std::set<std::string>>;

// Rows "| `core/mail` | `core/base`, `core/text` |" of the page; "core/*" is every core folder.
Rules ReadRules() {
    std::ifstream page(kSource / "doc" / "architecture.md");
    Rules rules;
    const std::regex row(R"(^\| `([a-z/]+)` \|(.*)\|\s*$)"), name(R"(`([a-z/*]+)`)");
    std::string line;
    while (std::getline(page, line)) {
        std::smatch m;
        if (!std::regex_match(line, m, row))
            continue;
        auto& allowed = rules[m[1]];
        const std::string list = m[2];
        for (std::sregex_iterator it(list.begin(), list.end(), name), end; it != end; ++it)
            allowed.insert((*it)[1]);
    }
    return rules;
}

// The folder a file belongs to: "core/mail", "app/view", "cli", or "app" for src/app itself.
std::string FolderOf(const fs::path& file) {
    const fs::path rel = file.lexically_relative(kSource / "src");
    auto part = rel.begin();
    std::string folder = part->string();
    ++part;
    if (folder != "cli" && std::next(part) != rel.end())
        folder += "/" + part->string();
    return folder;
}

// Where #include "name" leads from this file: the file's own folder, then its target's
// include roots in order (src/app or src/cli first, then src/core). Empty when none
// holds it (a generated or a system header).
fs::path Resolve(const fs::path& file, const std::string& name) {
    const std::string target = file.lexically_relative(kSource / "src").begin()->string();
    std::vector<fs::path> roots = {file.parent_path()};
    if (target != "core")
        roots.push_back(kSource / "src" / target);
    roots.push_back(kSource / "src" / "core");
    for (const fs::path& root : roots)
        if (fs::is_regular_file(root / name))
            return (root / name).lexically_normal();
    return {};
}

bool Allowed(const Rules& rules, const std::string& from, const std::string& to) {
    if (from == to)
        return true;
    const auto& allowed = rules.at(from);
    return allowed.count(to) || (to.rfind("core/", 0) == 0 && allowed.count("core/*"));
}

}  // namespace

TEST(IncludeOrder, EveryIncludeIsAllowedByTheArchitecturePage) {
    const Rules rules = ReadRules();
    ASSERT_TRUE(rules.count("core/base")) << "no rules read from doc/architecture.md";

    const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
        int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kSource / "src")) {
        const fs::path& file = entry.path();
        if (!entry.is_regular_file() || (file.extension() != ".h" && file.extension() != ".cpp"))
            continue;
        const std::string from = FolderOf(file);
        if (!rules.count(from)) {
            ADD_FAILURE() << from << " (" << file.filename()
                          << ") has no row in doc/architecture.md";
            continue;
        }
        std::ifstream in(file);
        std::string line;
        while (std::getline(in, line)) {
            std::smatch m;
            if (!std::regex_search(line, m, include))
                continue;
            const fs::path target = Resolve(file, m[1]);
            if (target.empty())
                continue;
            const std::string to = FolderOf(target);
            ++checked;
            EXPECT_TRUE(Allowed(rules, from, to))
                << file.lexically_relative(kSource).string() << " includes \"" << m[1].str()
                << "\" (" << to << "), which doc/architecture.md does not allow " << from;
        }
    }
    EXPECT_GT(checked, 100);
}

// The engines' order is one way: no core folder reaches itself through the rules.
TEST(IncludeOrder, CoreFoldersFormNoCycle) {
    const Rules rules = ReadRules();
    std::map<std::string, int> state;  // 1 on the current path, 2 done
    std::function<void(const std::string&, std::string)> visit = [&](const std::string& folder,
                                                                     std::string path) {
        path += folder;
        if (state[folder] == 1) {
            ADD_FAILURE() << "cycle: " << path;
            return;
        }
        if (state[folder] == 2)
            return;
        state[folder] = 1;
        for (const std::string& next : rules.at(folder))
            if (next != folder && next.rfind("core/", 0) == 0 && rules.count(next))
                visit(next, path + " -> ");
        state[folder] = 2;
    };
    for (const auto& [folder, allowed] : rules)
        if (folder.rfind("core/", 0) == 0)
            visit(folder, "");
}
