// The layering of the product folders, checked on the sources themselves.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {
using Folders = std::set<std::string>;
using Findings = std::map<int, std::string>; // by line, what is used against the rules

// What each folder may use besides itself: other folders, the Qt modules QtGui and QtWidgets, and
// "#if" (preprocessor conditionals); ui/main.cpp, which picks the platform adapters, has its own.
const std::map<std::string, Folders> kLayers = {
    {"common", {}},
    {"settings", {"common"}},
    {"roster", {"common"}},
    {"photo", {"common"}},
    {"checks", {"common", "photo"}},
    {"packaging", {"common"}},
    {"frame", {"common"}},
    {"report", {"common", "roster", "photo", "QtGui"}},
    {"platform", {"QtGui"}},
    {"platform/x11", {"platform", "QtGui", "QtWidgets", "#if"}},
    {"platform/qt", {"platform", "QtGui", "QtWidgets", "#if"}},
    {"platform/desktop", {"platform", "QtGui", "QtWidgets", "#if"}},
    {"platform/camera", {"platform", "QtGui", "QtWidgets", "#if"}},
    {"session",
     {"common", "settings", "roster", "photo", "checks", "packaging", "frame", "report", "platform",
      "QtGui"}},
    {"ui",
     {"common", "settings", "roster", "photo", "checks", "packaging", "frame", "report", "platform",
      "QtGui", "session", "QtWidgets"}},
    {"ui/main.cpp",
     {"common", "settings", "roster", "photo", "checks", "packaging", "frame", "report", "platform",
      "QtGui", "session", "QtWidgets", "platform/x11", "platform/qt", "platform/desktop",
      "platform/camera"}},
    {"cli",
     {"common", "settings", "roster", "photo", "checks", "packaging", "frame", "report", "QtGui"}},
};

// The Qt module (QtGui, QtWidgets) a header belongs to, found in the module's include folder.
std::string qtModuleOf(const std::string &header)
{
    static const std::regex moduleDir(R"(([^|]*/(QtGui|QtWidgets))(\||$))");
    static const std::string dirs = LUMO_QT_INCLUDE_DIRS;
    for (std::sregex_iterator it(dirs.begin(), dirs.end(), moduleDir), end; it != end; ++it)
        if (header.starts_with(it->str(2) + "/") || fs::is_regular_file(it->str(1) + "/" + header))
            return it->str(2);
    return {};
}

// What a source uses that its folder may not: "#if", a Qt module, or a folder of ours; a source
// outside the known folders "uses" its folder. The path is relative to the source root.
Findings check(const std::string &file, std::istream &&text)
{
    const std::string folder = fs::path(file).parent_path().generic_string();
    const auto layer = kLayers.find(kLayers.contains(file) ? file : folder);
    if (layer == kLayers.end())
        return {{1, "folder '" + folder + "'"}};
    static const std::regex directive(R"(^\s*#\s*(if|elif|include\s*(["<])([^">]*)))");
    Findings found;
    std::smatch parts;
    std::string line;
    for (int number = 1; std::getline(text, line); ++number) {
        if (!std::regex_search(line, parts, directive))
            continue;
        const std::string header = parts[3];
        const fs::path included = fs::path(header.starts_with(".") ? folder : "") / header;
        std::string used = parts[2].matched ? qtModuleOf(header) : "#if";
        if (used.empty() && (parts[2] == "\"" || kLayers.contains(included.begin()->string())))
            used = included.lexically_normal().parent_path().generic_string();
        if (!used.empty() && used != folder && !layer->second.contains(used))
            found[number] = used;
    }
    return found;
}
} // namespace

TEST(IncludeRules, TheCheckerFindsEachKindOfBrokenRule)
{
    using Text = std::istringstream;
    EXPECT_EQ(
        check("common/Bad.cpp", Text("#include \"common/Fine.h\"\n#include \"ui/MainWindow.h\"\n"
                                     "#include <QImage>\n  #  include <QtWidgets/QWidget>\n"
                                     "#ifdef __linux__\n#endif\n#include \"../session/Pane.h\"\n")),
        (Findings{{2, "ui"}, {3, "QtGui"}, {4, "QtWidgets"}, {5, "#if"}, {7, "session"}}));
    const std::string adapter = "#include \"platform/x11/X11KeyPoller.h\"\n";
    EXPECT_EQ(check("ui/main.cpp", Text(adapter)), Findings());
    EXPECT_EQ(check("ui/MainWindow.cpp", Text(adapter)), (Findings{{1, "platform/x11"}}));
    EXPECT_EQ(check("platform/Keys.h", Text("#if 1\n#include <QWidget>\n#include <QImage>\n")),
              (Findings{{1, "#if"}, {2, "QtWidgets"}}));
    EXPECT_EQ(check("platform/x11/Keys.cpp", Text("#if 1\n#include <QWidget>\n")), Findings());
    EXPECT_EQ(check("ui/widgets/Button.cpp", Text("")), (Findings{{1, "folder 'ui/widgets'"}}));
}

TEST(IncludeRules, TheProductFoldersKeepTheirLayers)
{
    // Top-level folders that are not part of the product.
    const Folders outside = {"bench", "data", "dist", "docs", "fuzz", "scripts", "tests", "tools"};
    const fs::path root = LUMO_SOURCE_ROOT;
    int sources = 0;
    for (auto entry = fs::recursive_directory_iterator(root); entry != decltype(entry)(); ++entry) {
        const fs::path file = fs::relative(entry->path(), root);
        if (entry->is_directory() && (file.string()[0] == '.' || outside.contains(file.string()) ||
                                      fs::exists(entry->path() / "CMakeCache.txt")))
            entry.disable_recursion_pending();
        if (!entry->is_regular_file() || (file.extension() != ".h" && file.extension() != ".cpp"))
            continue;
        ++sources;
        for (const auto &[line, used] : check(file.generic_string(), std::ifstream(entry->path())))
            ADD_FAILURE_AT(entry->path().c_str(), line) << "may not use " << used;
    }
    EXPECT_GT(sources, 0) << "no source below " << root;
}
