// SPDX-License-Identifier: MIT
#include "platform/linux/desktop/xdg_apps.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <vector>

#include "nimbra_test/run_program.h"
#include "nimbra_test/temp_dir.h"
#include "platform/host/file_io.h"
#include "platform/text/ini_file.h"
#include "platform/linux/desktop/xdg_mime.h"

namespace nimbra::lnx {
namespace {

namespace fs = std::filesystem;

// A fresh XDG tree: config/ and etc/ as configuration directories, home/ and share/ as data
// directories, bin/ as PATH with the executables a, b and c.
class XdgTree {
 public:
  explicit XdgTree(const std::map<std::string, std::string>& files,
                   std::string_view desktops = "") {
    for (const char* program : {"a", "b", "c"}) write("bin/" + std::string(program), "", 0755);
    for (const auto& [name, text] : files) write(name, text, 0644);
    const std::string root = dir_.path().string();
    vars_ = {
        {"HOME", "/nonexistent"},
        {"XDG_CONFIG_HOME", root + "/config"},
        {"XDG_CONFIG_DIRS", root + "/etc:relative/ignored"},
        {"XDG_DATA_HOME", root + "/home"},
        {"XDG_DATA_DIRS", root + "/share"},
        {"XDG_CURRENT_DESKTOP", std::string(desktops)},
        {"PATH", root + "/bin"},
    };
    env_ = XdgEnvironment::from([this](const char* name) -> std::optional<std::string> {
      const auto it = vars_.find(name);
      return it == vars_.end() ? std::nullopt : std::optional(it->second);
    });
  }

  // Runs a tool of the system in the tree's environment (its own PATH after the tree's bin/);
  // its standard output, or nothing when it could not run.
  std::optional<std::string> run(const std::vector<std::string>& argv) const {
    std::vector<std::string> environment;
    for (const auto& [name, value] : vars_) {
      environment.push_back(name + "=" + value + (name == "PATH" ? ":/usr/bin:/bin" : ""));
    }
    const auto run = test::run_program(argv, environment);
    return run ? std::optional(run->output) : std::nullopt;
  }

  const XdgEnvironment& env() const { return env_; }
  fs::path operator/(const std::string& name) const { return dir_ / name; }

  // The program for the type, relative to the tree ("bin/a"), or "" for none.
  std::string program_for(std::string_view mime_type) const {
    const auto program = default_program_for(mime_type, env_);
    return program ? program->lexically_relative(dir_.path()).string() : "";
  }

 private:
  void write(const std::string& name, const std::string& text, unsigned mode) {
    fs::create_directories((dir_ / name).parent_path());
    std::string expanded = text;
    for (size_t at; (at = expanded.find("@bin@")) != std::string::npos;) {
      expanded.replace(at, 5, (dir_ / "bin").string());
    }
    ASSERT_TRUE(platform::write_text_file_atomic(dir_ / name, expanded, mode));
  }

  test::TempDir dir_;
  std::map<std::string, std::string> vars_;
  XdgEnvironment env_;
};

std::string entry(std::string_view exec, std::string_view extra = "") {
  return "[Desktop Entry]\nType=Application\nName=X\n" + std::string(extra) +
         "Exec=" + std::string(exec) + "\n[Desktop Action new]\nExec=@bin@/c\n";
}

// The default application's program comes from the lists in precedence order, through the
// desktop entry's Exec line, resolved to a full path.
TEST(XdgApps, DefaultProgramFollowsTheAssociationRules) {
  struct Row {
    std::string_view name;
    std::map<std::string, std::string> files;
    std::string_view desktops;
    std::string_view expected;
  };
  const Row rows[] = {
      {"field codes and quoting in Exec",
       {{"config/mimeapps.list", "[Default Applications]\ntext/html=web.desktop\n"},
        {"share/applications/web.desktop", entry(R"("@bin@/a" --new %u)")}},
       "",
       "bin/a"},
      {"a relative Exec name goes through PATH",
       {{"etc/mimeapps.list", "[Default Applications]\ntext/html=web.desktop;\n"},
        {"home/applications/web.desktop", entry("b %U")}},
       "",
       "bin/b"},
      {"a default anywhere wins over an added association",
       {{"config/mimeapps.list", "[Added Associations]\ntext/html=one.desktop\n"},
        {"share/applications/mimeapps.list", "[Default Applications]\ntext/html=two.desktop\n"},
        {"share/applications/one.desktop", entry("a")},
        {"share/applications/two.desktop", entry("b")}},
       "",
       "bin/b"},
      {"an added association when no default resolves",
       {{"config/mimeapps.list",
         "[Default Applications]\ntext/html=gone.desktop\n[Added Associations]\n"
         "text/html=one.desktop;two.desktop\n"},
        {"share/applications/one.desktop", entry("a")}},
       "",
       "bin/a"},
      {"the desktop's own list comes first",
       {{"config/mimeapps.list", "[Default Applications]\ntext/html=one.desktop\n"},
        {"config/kde-mimeapps.list", "[Default Applications]\ntext/html=two.desktop\n"},
        {"share/applications/one.desktop", entry("a")},
        {"share/applications/two.desktop", entry("b")}},
       "KDE",
       "bin/b"},
      {"the user's configuration wins over the system's",
       {{"config/mimeapps.list", "[Default Applications]\ntext/html=one.desktop\n"},
        {"etc/mimeapps.list", "[Default Applications]\ntext/html=two.desktop\n"},
        {"share/applications/one.desktop", entry("a")},
        {"share/applications/two.desktop", entry("b")}},
       "",
       "bin/a"},
      {"a desktop id with a dash may live in a subdirectory",
       {{"config/mimeapps.list", "[Default Applications]\ntext/html=vendor-web-app.desktop\n"},
        {"share/applications/vendor/web-app.desktop", entry("c")}},
       "",
       "bin/c"},
      {"the MIME cache's order within a directory",
       {{"share/applications/one.desktop", entry("a", "MimeType=text/html\n")},
        {"share/applications/two.desktop", entry("b", "MimeType=text/html\n")},
        {"share/applications/mimeinfo.cache",
         "[MIME Cache]\ntext/html=two.desktop;one.desktop;\n"}},
       "",
       "bin/b"},
      {"a removed association and an entry whose TryExec is missing do not count",
       {{"config/mimeapps.list", "[Removed Associations]\ntext/html=one.desktop\n"},
        {"share/applications/one.desktop", entry("a", "MimeType=text/html\n")},
        {"share/applications/two.desktop", entry("b", "TryExec=gone\nMimeType=text/html\n")},
        {"share/applications/three.desktop", entry("c", "MimeType=text/html\n")}},
       "",
       "bin/c"},
      {"a removal in a later list or in a desktop's own list leaves an addition",
       {{"config/mimeapps.list", "[Added Associations]\ntext/html=one.desktop\n"},
        {"etc/mimeapps.list",
         "[Removed Associations]\ntext/html=one.desktop\n[Added Associations]\n"
         "text/html=two.desktop\n"},
        {"config/x-mimeapps.list", "[Removed Associations]\ntext/html=one.desktop\n"},
        {"share/applications/one.desktop", entry("a")},
        {"share/applications/two.desktop", entry("b")}},
       "X",
       "bin/a"},
      {"a data directory's list does not reach the directories before it",
       {{"share/applications/mimeapps.list", "[Removed Associations]\ntext/html=one.desktop\n"},
        {"home/applications/one.desktop", entry("a", "MimeType=text/html\n")},
        {"share/applications/two.desktop", entry("b", "MimeType=text/html\n")}},
       "",
       "bin/a"},
      {"missing or hidden entries, unknown programs and ids leaving the folder are passed over",
       {{"config/mimeapps.list",
         "[Default Applications]\ntext/html=gone.desktop;hidden.desktop;"
         "nowhere.desktop;../x.desktop;web.desktop\n"},
        {"share/applications/hidden.desktop", entry("a", "Hidden=true\n")},
        {"share/applications/nowhere.desktop", entry("no-such-program")},
        {"share/x.desktop", entry("b")},
        {"share/applications/web.desktop", entry("c")}},
       "",
       "bin/c"},
      {"no usable entry at all", {{"share/applications/x.desktop", entry("a")}}, "", ""},
  };
  for (const Row& row : rows) {
    const XdgTree tree(row.files, row.desktops);
    EXPECT_EQ(tree.program_for("text/html"), row.expected) << row.name;
  }
}

// Where the desktop's own query names a default, the lookup finds that entry's program: real
// desktop entries in a temporary tree, the MIME cache built by the system's tool where asked.
TEST(XdgApps, AgreesWithXdgMime) {
  if (::access("/usr/bin/xdg-mime", X_OK) != 0) GTEST_SKIP() << "xdg-mime is not installed";
  struct Row {
    std::string_view name;
    std::map<std::string, std::string> files;
    bool build_cache;
  };
  const auto browser = [](std::string_view exec) {
    return "[Desktop Entry]\nType=Application\nName=Browser\nGenericName=Web Browser\n"
           "Exec=" +
           std::string(exec) +
           " %u\nIcon=browser\nCategories=Network;WebBrowser;\n"
           "MimeType=text/html;text/xml;application/xhtml+xml;x-scheme-handler/http;\n";
  };
  const Row rows[] = {
      {"one browser installed, its MIME cache built",
       {{"share/applications/org.example.Browser.desktop", browser("a")}},
       true},
      {"one browser installed, no MIME cache",
       {{"share/applications/web.desktop", browser("b")}},
       false},
      {"the user's browser before the system's",
       {{"share/applications/one.desktop", browser("a")},
        {"home/applications/two.desktop", browser("c")}},
       true},
  };
  for (const Row& row : rows) {
    const XdgTree tree(row.files, "X-Generic");
    if (row.build_cache) {
      for (const char* dir : {"home/applications", "share/applications"}) {
        if (fs::exists(tree / dir)) {
          ASSERT_TRUE(tree.run({"/usr/bin/update-desktop-database", (tree / dir).string()}))
              << row.name;
        }
      }
    }
    const auto answer = tree.run({"/usr/bin/xdg-mime", "query", "default", "text/html"});
    ASSERT_TRUE(answer) << row.name;
    const auto id = std::string(platform::trim_blanks(answer->substr(0, answer->find('\n'))));
    const auto file = find_desktop_entry(id, tree.env());
    ASSERT_TRUE(file) << row.name << ": xdg-mime named '" << id << "'";
    const auto program =
        resolve_program(desktop_entry_program(*file).value_or(""), tree.env().path);
    ASSERT_TRUE(program) << row.name;
    EXPECT_EQ(tree.program_for("text/html"), program->lexically_relative(tree / "").string())
        << row.name;
  }
}

// The variables give the directories in order; unset ones take the XDG defaults and relative
// ones are dropped.
TEST(XdgApps, EnvironmentDefaults) {
  const auto env = XdgEnvironment::from([](const char* name) -> std::optional<std::string> {
    if (std::string_view(name) == "HOME") return "/home/u";
    if (std::string_view(name) == "XDG_CURRENT_DESKTOP") return "ubuntu:GNOME";
    if (std::string_view(name) == "PATH") return "/usr/bin::bin:/bin";
    return std::nullopt;
  });
  EXPECT_EQ(env.config_dirs, (std::vector<fs::path>{"/home/u/.config", "/etc/xdg"}));
  EXPECT_EQ(env.data_dirs,
            (std::vector<fs::path>{"/home/u/.local/share", "/usr/local/share", "/usr/share"}));
  EXPECT_EQ(env.desktops, (std::vector<std::string>{"ubuntu", "gnome"}));
  EXPECT_EQ(env.path, (std::vector<fs::path>{"/usr/bin", "/bin"}));
  EXPECT_EQ(mimeapps_lists(env).front(), "/home/u/.config/ubuntu-mimeapps.list");
}

// A file's type comes from the first MIME directory with a matching glob, by weight and then by
// the longer glob; the built-in table covers the probe types when no database knows them.
TEST(XdgMime, TypeOfFileName) {
  const XdgTree tree(std::map<std::string, std::string>{
      {"home/mime/globs2",
       "# comment\n50:text/html:*.html\n60:text/x-page:*.page.html\n"
       "50:text/x-long:*.part.html\n50:text/x-Case:*.CS:cs\nbroken line\n"},
      {"share/mime/globs", "message/x-other:*.eml\ntext/plain:*.txt\n"}});
  const auto dirs = tree.env().mime_dirs();
  struct Row {
    std::string_view name;
    std::optional<std::string> type;
  };
  const Row rows[] = {
      {"xxx.html", "text/html"},      {"XXX.HTML", "text/html"},
      {"a.page.html", "text/x-page"}, {"a.part.html", "text/x-long"},
      {"a.CS", "text/x-Case"},        {"a.cs", std::nullopt},
      {"xxx.eml", "message/x-other"}, {"xxx.msg", "application/vnd.ms-outlook"},
      {"noext", std::nullopt},
  };
  for (const Row& row : rows) EXPECT_EQ(mime_type_of(row.name, dirs), row.type) << row.name;
  EXPECT_EQ(mime_type_of("xxx.eml", {}), "message/rfc822");
}

}  // namespace
}  // namespace nimbra::lnx
