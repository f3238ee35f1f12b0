// The layering of the product folders, checked on the sources themselves: which folder may
// include which, which Qt modules a folder may use, preprocessor conditionals only in the platform
// adapters, and no source outside the known folders.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using Folders = std::set<std::string>;

struct Layer
{
    Folders mayInclude; // besides its own folder
    bool gui = false, widgets = false, conditionals = false;
};

Folders operator+(Folders folders, const Folders &more)
{
    folders.insert(more.begin(), more.end());
    return folders;
}

const Folders kCore = {"common", "settings", "roster", "photo", "packaging", "frame"};
const Folders kBelowSession = kCore + Folders{"platform"};
const Folders kBelowUi = kBelowSession + Folders{"session"};
const Layer kAdapter = {{"platform"}, true, true, true};

// By folder; ui/main.cpp, the one place that picks the adapters, has a row of its own.
const std::map<std::string, Layer> kLayers = {
    {"common", {}},
    {"settings", {{"common"}}},
    {"roster", {{"common"}}},
    {"photo", {{"common"}}},
    {"packaging", {{"common"}}},
    {"frame", {{"common"}}},
    {"platform", {{}, true}},
    {"platform/x11", kAdapter},
    {"platform/qt", kAdapter},
    {"platform/desktop", kAdapter},
    {"session", {kBelowSession, true}},
    {"ui", {kBelowUi, true, true}},
    {"ui/main.cpp",
     {kBelowUi + Folders{"platform/x11", "platform/qt", "platform/desktop"}, true, true}},
    {"cli", {kCore}},
};

// Top-level folders that are not part of the product.
const Folders kOutsideTheProduct = {"bench", "data",    "dist",  "docs",
                                    "fuzz",  "scripts", "tests", "tools"};

// The Qt module (QtGui, QtWidgets) a header belongs to, found in Qt's include folders; nothing
// for a header of Qt Core or of no Qt module.
std::string qtModuleOf(const std::string &header)
{
    static const std::vector<fs::path> modules = [] {
        std::vector<fs::path> found;
        std::stringstream dirs(LUMO_QT_INCLUDE_DIRS);
        for (std::string dir; std::getline(dirs, dir, '|');)
            if (fs::path(dir).filename() == "QtGui" || fs::path(dir).filename() == "QtWidgets")
                found.push_back(dir);
        return found;
    }();
    for (const fs::path &module : modules) {
        const std::string name = module.filename().string();
        if (header.starts_with(name + "/") || fs::is_regular_file(module / header))
            return name;
    }
    return {};
}

using Findings = std::vector<std::pair<int, std::string>>; // line, broken rule

// The findings in one source, given its path relative to the source root.
Findings check(const std::string &file, std::istream &text)
{
    const std::string folder = fs::path(file).parent_path().generic_string();
    const auto layer = kLayers.contains(file) ? kLayers.find(file) : kLayers.find(folder);
    if (layer == kLayers.end())
        return {{1, "lies outside the known folders"}};
    const Layer &rules = layer->second;

    static const std::regex directive(R"(^\s*#\s*(\w+)\s*(["<])?([^">]*))");
    Findings findings;
    std::smatch parts;
    int number = 0;
    for (std::string line; std::getline(text, line);) {
        ++number;
        if (!std::regex_search(line, parts, directive))
            continue;
        const std::string name = parts[1], header = parts[3];
        if ((name.starts_with("if") || name.starts_with("elif")) && !rules.conditionals)
            findings.emplace_back(number, "#" + name + " outside the platform adapters");
        if (name != "include" || !parts[2].matched)
            continue;
        const std::string module = qtModuleOf(header);
        if ((module == "QtGui" && !rules.gui) || (module == "QtWidgets" && !rules.widgets))
            findings.emplace_back(number, layer->first + " may not use " + module + ": " + header);
        const fs::path included = header.starts_with(".")
                                      ? (fs::path(folder) / header).lexically_normal()
                                      : fs::path(header);
        const std::string includedFolder = included.parent_path().generic_string();
        const bool ours = parts[2] == "\"" || kLayers.contains(included.begin()->string());
        if (ours && !includedFolder.empty() && includedFolder != folder &&
            !rules.mayInclude.contains(includedFolder))
            findings.emplace_back(number, layer->first + " may not include " + included.string());
    }
    return findings;
}

std::vector<int> findingLines(const std::string &file, const std::string &text)
{
    std::istringstream source(text);
    std::vector<int> lines;
    for (const auto &finding : check(file, source))
        lines.push_back(finding.first);
    return lines;
}

} // namespace

TEST(IncludeRules, TheCheckerReportsEachKindOfViolation)
{
    EXPECT_EQ(findingLines("common/Bad.cpp", "#include \"common/Fine.h\"\n"
                                             "#include \"ui/MainWindow.h\"\n"
                                             "#include <QImage>\n"
                                             "  #  include <QtWidgets/QWidget>\n"
                                             "#ifdef __linux__\n"
                                             "#endif\n"
                                             "#include \"../session/StudentPane.h\"\n"),
              (std::vector<int>{2, 3, 4, 5, 7}));
    const std::string adapter = "#include \"platform/x11/X11KeyPoller.h\"\n";
    EXPECT_TRUE(findingLines("ui/main.cpp", adapter).empty());
    EXPECT_EQ(findingLines("ui/MainWindow.cpp", adapter), std::vector<int>{1});
    EXPECT_EQ(findingLines("platform/Keys.h", "#if 1\n#include <QWidget>\n#include <QImage>\n"),
              (std::vector<int>{1, 2}));
    EXPECT_TRUE(findingLines("platform/x11/Keys.cpp", "#if 1\n#include <QWidget>\n").empty());
    EXPECT_EQ(findingLines("ui/widgets/Button.cpp", ""), std::vector<int>{1});
}

TEST(IncludeRules, TheProductFoldersKeepTheirLayers)
{
    const fs::path root = LUMO_SOURCE_ROOT;
    int sources = 0;
    for (auto entry = fs::recursive_directory_iterator(root); entry != decltype(entry)(); ++entry) {
        const fs::path file = fs::relative(entry->path(), root);
        if (entry->is_directory() &&
            (file.string().starts_with(".") || kOutsideTheProduct.contains(file.string()) ||
             fs::exists(entry->path() / "CMakeCache.txt")))
            entry.disable_recursion_pending();
        if (!entry->is_regular_file() || (file.extension() != ".h" && file.extension() != ".cpp"))
            continue;
        ++sources;
        std::ifstream text(entry->path());
        for (const auto &[line, rule] : check(file.generic_string(), text))
            ADD_FAILURE_AT(entry->path().c_str(), line) << rule;
    }
    EXPECT_GT(sources, 0) << "no source below " << root;
}
